// SPDX-License-Identifier: GPL-3.0-or-later
// The report commands of both popup menus: names, CSV, XML and HTML to the clipboard, and the two
// save commands that write any of the three formats to a file chosen in the save dialog.

#include "lists/ColumnCaptions.h"
#include "lists/FileRows.h"
#include "reports/CsvReports.h"
#include "reports/HtmlReport.h"
#include "reports/ReportFiles.h"
#include "reports/ReportText.h"
#include "reports/XmlReports.h"
#include "scan/TypeSummary.h"
#include "shell/ClipboardFiles.h"
#include "shell/FileCommands.h"
#include "window/WindowCore.h"

#include <algorithm>
#include <array>
#include <exception>

namespace pellamy {
namespace {

constexpr const char* kErrorOccured = "Error occured";

// The name a save writes: a name typed without an extension gets the chosen filter's, as the
// system's own save dialog gives it.
std::string SavedFileName(const std::string& fileName, int filterIndex)
{
    static constexpr std::array<std::string_view, 3> kExtensions = {".csv", ".xml", ".html"};
    if (filterIndex < 1 || filterIndex > 3 || fileName.empty() || fileName.back() == '/' ||
        !ExtensionOf(FileNamePart(fileName)).empty()) {
        return fileName;
    }
    return fileName + std::string(kExtensions[static_cast<std::size_t>(filterIndex - 1)]);
}

} // namespace

// A report's bytes to the clipboard (no file name) or to the file; the failure's message, if any.
// The bytes are moved on, never copied, so a long report is held once.
std::optional<std::string> WindowCore::Deliver(std::string bytes, const std::string& fileName)
{
    if (fileName.empty()) {
        m_view.PutTextOnClipboard(std::move(bytes));
        return std::nullopt;
    }
    return WriteFileReplacing(m_platform.Reports(), fileName, bytes);
}

// The document that `build` makes, streamed to the clipboard (no file name) or to the file, so a
// list of any length is never held as a tree.
std::optional<std::string> WindowCore::DeliverXml(const XmlWriter::Builder& build, const std::string& fileName)
{
    if (fileName.empty()) {
        m_view.PutTextOnClipboard(XmlWriter1.StreamedText(build));
        return std::nullopt;
    }
    return XmlWriter1.StreamToFile(m_platform.Reports(), fileName, build);
}

void WindowCore::Copyfilelist1Click()
{
    if (m_fileRows.RowCount() == 0) {
        return;
    }
    ReadSelection(WindowList::Files);
    // The text is made once, in the clipboard's own buffer, straight from the rows' names: a
    // million selected names cost their bytes and nothing per line.
    std::size_t size = 0;
    for (std::size_t row = 0; row < m_fileRows.RowCount(); ++row) {
        if (m_fileRows.IsSelected(row)) {
            const FileRowView file = m_fileRows.At(row);
            size += m_currentFolder.size() + file.Folder.size() + file.Name.size() + 2;
        }
    }
    m_view.PutTextOnClipboard(size, [this](char* out) {
        for (std::size_t row = 0; row < m_fileRows.RowCount(); ++row) {
            if (m_fileRows.IsSelected(row)) {
                const FileRowView file = m_fileRows.At(row);
                out = std::copy(m_currentFolder.begin(), m_currentFolder.end(), out);
                out = std::copy(file.Folder.begin(), file.Folder.end(), out);
                out = std::copy(file.Name.begin(), file.Name.end(), out);
                *out++ = '\r';
                *out++ = '\n';
            }
        }
    });
}

std::optional<std::string> WindowCore::ExportFilesCsv(const std::string& fileName)
{
    ReadSelection(WindowList::Files);
    auto text = pellamy::ExportFilesCsv(m_fileRows, m_currentFolder);
    return text ? Deliver(text->TakeBytes(), fileName) : std::nullopt;
}

std::optional<std::string> WindowCore::ExportFolderCsv(const std::string& fileName)
{
    ReadSelection(WindowList::Types);
    auto text = pellamy::ExportFolderCsv(m_typeRows);
    return text ? Deliver(text->TakeBytes(), fileName) : std::nullopt;
}

std::optional<std::string> WindowCore::ExportFilesXml(const std::string& fileName)
{
    ReadSelection(WindowList::Files);
    return DeliverXml([&](XmlWriter& writer) { pellamy::ExportFilesXml(writer, m_fileRows, m_currentFolder); },
                      fileName);
}

std::optional<std::string> WindowCore::ExportFolderXml(const std::string& fileName)
{
    ReadSelection(WindowList::Types);
    const std::string folder = m_view.NavigatorFolder();
    return DeliverXml(
        [&](XmlWriter& writer) {
            pellamy::ExportFolderXml(writer, m_typeRows, folder, m_totalFiles, m_totalSize, m_settings);
        },
        fileName);
}

bool WindowCore::ExportHtml(WindowList list, const std::string& title, const std::string& fileName)
{
    try {
        const bool fileList = list == WindowList::Files;
        std::vector<std::string_view> captions;
        if (fileList) {
            captions.assign(kFileColumns.begin(), kFileColumns.end());
        } else {
            captions.assign(kTypeColumns.begin(), kTypeColumns.end());
        }
        ReadSelection(list);
        ReportText text = pellamy::ExportHtml(Rows(list), captions,
                                              fileList ? ExportedRows::Selected : ExportedRows::All,
                                              m_view.NavigatorFolder(), title);
        if (fileName.empty()) {
            PutHtmlOnClipboard(text.TakeBytes());
            return true;
        }
        return !Deliver(text.TakeBytes(), fileName).has_value();
    } catch (const std::exception&) {
        return false;
    }
}

void WindowCore::PutHtmlOnClipboard(std::string page)
{
    std::vector<ClipboardTarget> targets(2);
    targets[0].mimeType = kTextTarget;
    targets[0].bytes = page;
    targets[1].mimeType = kHtmlTarget;
    targets[1].bytes = std::move(page);
    m_view.PutOnClipboard(std::move(targets));
}

void WindowCore::Copyalldetails1Click()
{
    if (ReadSelection(WindowList::Files) > 0) {
        ExportFilesCsv(std::string());
    }
}

void WindowCore::XML1Click()
{
    if (ReadSelection(WindowList::Files) > 0) {
        ExportFilesXml(std::string());
    }
}

void WindowCore::CopyselectedfiledetailsasHTML1Click()
{
    if (ReadSelection(WindowList::Files) > 0 && !ExportHtml(WindowList::Files, "Files by type", std::string())) {
        m_view.ShowMessage(kErrorOccured);
    }
}

void WindowCore::CopyfolderdetailsasCSV1Click()
{
    ExportFolderCsv(std::string());
}

void WindowCore::CopyfolderdetailsasXML1Click()
{
    ExportFolderXml(std::string());
}

void WindowCore::Print1Click()
{
    if (!ExportHtml(WindowList::Types, "Folder content", std::string())) {
        m_view.ShowMessage(kErrorOccured);
    }
}

void WindowCore::Copyfoldername1Click()
{
    m_view.PutTextOnClipboard(m_view.NavigatorFolder());
}

bool WindowCore::RunSaveDialog(std::string& fileName, int& filterIndex)
{
    if (!m_view.RunSaveDialog(m_platform.Folders().WorkingFolder(), fileName, filterIndex)) {
        return false;
    }
    fileName = SavedFileName(fileName, filterIndex);
    return true;
}

void WindowCore::SaveReport(bool fileList, const std::string& fileName, int filterIndex)
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
        if (!ExportHtml(fileList ? WindowList::Files : WindowList::Types,
                        fileList ? "Files by type" : "Folder details", fileName)) {
            failure = kErrorOccured;
        }
        break;
    default:
        break;
    }
    if (failure) {
        m_view.ShowMessage(*failure);
    }
}

void WindowCore::SaveFileDetails(const std::string& fileName, int filterIndex)
{
    SaveReport(true, fileName, filterIndex);
}

void WindowCore::SaveFolderDetails(const std::string& fileName, int filterIndex)
{
    SaveReport(false, fileName, filterIndex);
}

void WindowCore::Saveselectedfiledetailsttofile1Click()
{
    if (ReadSelection(WindowList::Files) == 0) {
        return;
    }
    std::string fileName;
    int filterIndex = 0;
    if (RunSaveDialog(fileName, filterIndex)) {
        SaveFileDetails(fileName, filterIndex);
    }
}

void WindowCore::Savefolderdetails1Click()
{
    if (m_typeRows.RowCount() == 0) {
        return;
    }
    std::string fileName;
    int filterIndex = 0;
    if (RunSaveDialog(fileName, filterIndex)) {
        SaveFolderDetails(fileName, filterIndex);
    }
}

} // namespace pellamy
