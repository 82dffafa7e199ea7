// SPDX-License-Identifier: GPL-3.0-or-later
// The report commands of both popup menus: names, CSV, XML and HTML to the clipboard, and the two
// save commands that write any of the three formats to a file chosen in the save dialog.

#include "app/menu1.h"
#include "reports/CsvReports.h"
#include "reports/FileDestination.h"
#include "reports/HtmlReport.h"
#include "reports/ReportText.h"
#include "reports/XmlReports.h"
#include "scan/FileRows.h"
#include "scan/TypeSummary.h"
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

#include <exception>

namespace pellamy {
namespace {

void ToClipboard(const std::string& bytes)
{
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool HasSelectedRows(const TSortListView* list)
{
    return list->selectionModel() != nullptr && list->selectionModel()->hasSelection();
}

// A report's text to the clipboard (no file name) or to the file; the failure's message, if any.
std::optional<std::string> Deliver(const ReportText& text, const std::string& fileName)
{
    if (fileName.empty()) {
        ToClipboard(text.Bytes());
        return std::nullopt;
    }
    return WriteFileReplacing(fileName, text.Bytes());
}

std::string NavigatorFolder(const DirectoryList* list)
{
    return ToStdString(list->Directory());
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
    const ListViewRows rows(*LView2);
    ReportText text;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        if (rows.IsSelected(row)) {
            text.AddLine(m_currentFolder + rows.CellText(row, 1));
        }
    }
    ToClipboard(text.Bytes());
}

std::optional<std::string> TForm1::ExportFilesCsv(const std::string& fileName)
{
    const auto text = pellamy::ExportFilesCsv(ListViewRows(*LView2), m_currentFolder);
    return text ? Deliver(*text, fileName) : std::nullopt;
}

std::optional<std::string> TForm1::ExportFolderCsv(const std::string& fileName)
{
    const auto text = pellamy::ExportFolderCsv(ListViewRows(*sLView));
    return text ? Deliver(*text, fileName) : std::nullopt;
}

std::optional<std::string> TForm1::ExportFilesXml(const std::string& fileName)
{
    pellamy::ExportFilesXml(XmlWriter1, ListViewRows(*LView2), m_currentFolder);
    if (fileName.empty()) {
        ToClipboard(XmlWriter1.Text());
        return std::nullopt;
    }
    return XmlWriter1.SaveToFile(fileName);
}

std::optional<std::string> TForm1::ExportFolderXml(const std::string& fileName)
{
    pellamy::ExportFolderXml(XmlWriter1, ListViewRows(*sLView), NavigatorFolder(dList), m_totalFiles,
                             m_totalSize, m_settings);
    if (fileName.empty()) {
        ToClipboard(XmlWriter1.Text());
        return std::nullopt;
    }
    return XmlWriter1.SaveToFile(fileName);
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
        const ReportText text = pellamy::ExportHtml(ListViewRows(*view), captions,
                                                    fileList ? ExportedRows::Selected : ExportedRows::All,
                                                    NavigatorFolder(dList), title);
        return !Deliver(text, fileName).has_value();
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
    QGuiApplication::clipboard()->setText(dList->Directory());
}

bool TForm1::RunSaveDialog(std::string& fileName, int& filterIndex)
{
    if (SaveDialogRunner) {
        return SaveDialogRunner(fileName, filterIndex);
    }
    if (SD1->exec() != QDialog::Accepted || SD1->selectedFiles().isEmpty()) {
        return false;
    }
    fileName = QFile::encodeName(SD1->selectedFiles().front()).toStdString();
    filterIndex = static_cast<int>(SD1->nameFilters().indexOf(SD1->selectedNameFilter())) + 1;
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
