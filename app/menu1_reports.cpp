// SPDX-License-Identifier: GPL-3.0-or-later
// The report commands of both popup menus: names, CSV, XML and HTML to the clipboard, and the two
// save commands that write any of the three formats to a file chosen in the save dialog.

#include "app/menu1.h"
#include "reports/CsvReports.h"
#include "reports/HtmlReport.h"
#include "reports/ReportFiles.h"
#include "reports/ReportText.h"
#include "reports/XmlReports.h"
#include "scan/FileRows.h"
#include "scan/TypeSummary.h"
#include "shell/qt/ClipboardData.h"
#include "widgets/DirectoryList.h"
#include "widgets/FileListModel.h"
#include "widgets/ListViewRows.h"
#include "widgets/SortListViews.h"
#include "widgets/TypeListModel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QMimeData>

#include <exception>

namespace pellamy {
namespace {

// A report's bytes as the clipboard's plain text, unchanged: a name that is not valid UTF-8 reaches
// the receiver as the same bytes that pellamy-report writes, never with replacement characters.
void ToClipboard(std::string bytes)
{
    PlaceTextOnClipboard(std::move(bytes));
}

bool HasSelectedRows(const TSortListView* list)
{
    return list->selectionModel() != nullptr && list->selectionModel()->hasSelection();
}

// A report's text to the clipboard (no file name) or to the file; the failure's message, if any.
// The report's bytes are moved on, never copied, so a long report is held once.
std::optional<std::string> Deliver(ReportText text, const ReportFiles& files, const std::string& fileName)
{
    std::string bytes = text.TakeBytes();
    if (fileName.empty()) {
        ToClipboard(std::move(bytes));
        return std::nullopt;
    }
    return WriteFileReplacing(files, fileName, bytes);
}

// The 1-based place of the dialog's chosen filter among `filters`, 0 for none. With its details
// hidden the dialog names the chosen filter by the caption it shows ("CSV File(*.csv)") rather
// than by the whole filter ("CSV File(*.csv) (*.csv)"), so both forms are recognised.
int FilterIndex(const QStringList& filters, const QString& chosen)
{
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters[i] == chosen) {
            return static_cast<int>(i) + 1;
        }
    }
    const QString caption = chosen.simplified();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString& filter = filters[i];
        if (filter.left(filter.lastIndexOf(u'(')).simplified() == caption) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

std::string NavigatorFolder(const DirectoryList* list)
{
    return ToStdString(list->Directory());
}

// The document that `build` makes, streamed to the clipboard (no file name) or to the file, so a
// list of any length is never held as a tree.
std::optional<std::string> DeliverXml(XmlWriter& writer, const XmlWriter::Builder& build,
                                      const ReportFiles& files, const std::string& fileName)
{
    if (fileName.empty()) {
        ToClipboard(writer.StreamedText(build));
        return std::nullopt;
    }
    return writer.StreamToFile(files, fileName, build);
}

} // namespace

void TForm1::ConnectReportCommands()
{
    connect(Copyfilelist1, &QAction::triggered, this, &TForm1::Copyfilelist1Click);
    connect(Copyalldetails1, &QAction::triggered, this, &TForm1::Copyalldetails1Click);
    connect(XML1, &QAction::triggered, this, &TForm1::XML1Click);
    connect(CopyselectedfiledetailsasHTML1, &QAction::triggered, this,
            &TForm1::CopyselectedfiledetailsasHTML1Click);
    connect(Saveselectedfiledetailsttofile1, &QAction::triggered, this,
            &TForm1::Saveselectedfiledetailsttofile1Click);
    connect(CopyfolderdetailsasCSV1, &QAction::triggered, this, &TForm1::CopyfolderdetailsasCSV1Click);
    connect(CopyfolderdetailsasXML1, &QAction::triggered, this, &TForm1::CopyfolderdetailsasXML1Click);
    connect(Print1, &QAction::triggered, this, &TForm1::Print1Click);
    connect(Savefolderdetails1, &QAction::triggered, this, &TForm1::Savefolderdetails1Click);
    connect(Copyfoldername1, &QAction::triggered, this, &TForm1::Copyfoldername1Click);
}

void TForm1::ShowMessage(const QString& text)
{
    if (MessageShower) {
        MessageShower(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, this);
    box.exec();
}

void TForm1::Copyfilelist1Click()
{
    if (m_fileRows->RowCount() == 0) {
        return;
    }
    // The text is made once, in the clipboard's own buffer, straight from the rows' names: a
    // million selected names cost their bytes and nothing per line.
    const ListViewRows rows(*LView2);
    qsizetype size = 0;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        if (rows.IsSelected(row)) {
            size += static_cast<qsizetype>(m_currentFolder.size() + m_fileRows->Name(row).size() + 2);
        }
    }
    QByteArray text;
    text.reserve(size);
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        if (rows.IsSelected(row)) {
            const std::string_view name = m_fileRows->Name(row);
            text.append(m_currentFolder.data(), static_cast<qsizetype>(m_currentFolder.size()));
            text.append(name.data(), static_cast<qsizetype>(name.size()));
            text.append("\r\n", 2);
        }
    }
    PlaceTextOnClipboard(std::move(text));
}

std::optional<std::string> TForm1::ExportFilesCsv(const std::string& fileName)
{
    auto text = pellamy::ExportFilesCsv(ListViewRows(*LView2), m_currentFolder);
    return text ? Deliver(std::move(*text), m_reportFiles, fileName) : std::nullopt;
}

std::optional<std::string> TForm1::ExportFolderCsv(const std::string& fileName)
{
    auto text = pellamy::ExportFolderCsv(ListViewRows(*sLView));
    return text ? Deliver(std::move(*text), m_reportFiles, fileName) : std::nullopt;
}

std::optional<std::string> TForm1::ExportFilesXml(const std::string& fileName)
{
    const ListViewRows rows(*LView2);
    return DeliverXml(
        XmlWriter1, [&](XmlWriter& writer) { pellamy::ExportFilesXml(writer, rows, m_currentFolder); },
        m_reportFiles, fileName);
}

std::optional<std::string> TForm1::ExportFolderXml(const std::string& fileName)
{
    const ListViewRows rows(*sLView);
    const std::string folder = NavigatorFolder(dList);
    return DeliverXml(
        XmlWriter1,
        [&](XmlWriter& writer) {
            pellamy::ExportFolderXml(writer, rows, folder, m_totalFiles, m_totalSize, m_settings);
        },
        m_reportFiles, fileName);
}

bool TForm1::ExportHtml(const TSortListView* view, const std::string& title, const std::string& fileName)
{
    try {
        const bool fileList = view == LView2;
        std::vector<std::string_view> captions;
        if (fileList) {
            captions.assign(kFileColumns.begin(), kFileColumns.end());
        } else {
            captions.assign(kTypeColumns.begin(), kTypeColumns.end());
        }
        ReportText text = pellamy::ExportHtml(ListViewRows(*view), captions,
                                              fileList ? ExportedRows::Selected : ExportedRows::All,
                                              NavigatorFolder(dList), title);
        return !Deliver(std::move(text), m_reportFiles, fileName).has_value();
    } catch (const std::exception&) {
        return false;
    }
}

void TForm1::Copyalldetails1Click()
{
    if (HasSelectedRows(LView2)) {
        ExportFilesCsv(std::string());
    }
}

void TForm1::XML1Click()
{
    if (HasSelectedRows(LView2)) {
        ExportFilesXml(std::string());
    }
}

void TForm1::CopyselectedfiledetailsasHTML1Click()
{
    if (HasSelectedRows(LView2) && !ExportHtml(LView2, "Files by type", std::string())) {
        ShowMessage(QStringLiteral("Error occured"));
    }
}

void TForm1::CopyfolderdetailsasCSV1Click()
{
    ExportFolderCsv(std::string());
}

void TForm1::CopyfolderdetailsasXML1Click()
{
    ExportFolderXml(std::string());
}

void TForm1::Print1Click()
{
    if (!ExportHtml(sLView, "Folder content", std::string())) {
        ShowMessage(QStringLiteral("Error occured"));
    }
}

void TForm1::Copyfoldername1Click()
{
    ToClipboard(NavigatorFolder(dList));
}

bool TForm1::RunSaveDialog(std::string& fileName, int& filterIndex)
{
    if (SaveDialogRunner) {
        return SaveDialogRunner(fileName, filterIndex);
    }
    if (SD1->exec() != QDialog::Accepted || SD1->selectedFiles().isEmpty()) {
        return false;
    }
    // The dialog keeps its filter and name for its next use in this run.
    filterIndex = FilterIndex(SD1->nameFilters(), SD1->selectedNameFilter());
    fileName = QFile::encodeName(SD1->selectedFiles().front()).toStdString();
    return true;
}

void TForm1::SaveReport(bool fileList, const std::string& fileName, int filterIndex)
{
    std::optional<std::string> failure;
    switch (filterIndex) {
    case 1:
        failure = fileList ? ExportFilesCsv(fileName) : ExportFolderCsv(fileName);
        break;
    case 2:
        failure = fileList ? ExportFilesXml(fileName) : ExportFolderXml(fileName);
        break;
    case 3:
        if (!ExportHtml(fileList ? LView2 : sLView, fileList ? "Files by type" : "Folder details",
                        fileName)) {
            failure = "Error occured";
        }
        break;
    default:
        break;
    }
    if (failure) {
        ShowMessage(QString::fromStdString(*failure));
    }
}

void TForm1::SaveFileDetails(const std::string& fileName, int filterIndex)
{
    SaveReport(true, fileName, filterIndex);
}

void TForm1::SaveFolderDetails(const std::string& fileName, int filterIndex)
{
    SaveReport(false, fileName, filterIndex);
}

void TForm1::Saveselectedfiledetailsttofile1Click()
{
    if (!HasSelectedRows(LView2)) {
        return;
    }
    std::string fileName;
    int filterIndex = 0;
    if (RunSaveDialog(fileName, filterIndex)) {
        SaveFileDetails(fileName, filterIndex);
    }
}

void TForm1::Savefolderdetails1Click()
{
    if (m_typeRows->RowCount() == 0) {
        return;
    }
    std::string fileName;
    int filterIndex = 0;
    if (RunSaveDialog(fileName, filterIndex)) {
        SaveFolderDetails(fileName, filterIndex);
    }
}

} // namespace pellamy
