// SPDX-License-Identifier: GPL-3.0-or-later
// Filling the two lists: the type summary of the folder and the file list of one type.

#include "app/BusyCursor.h"
#include "app/StatusBar.h"
#include "app/menu1.h"
#include "platform/qt/QtRegionalSettings.h"
#include "reports/ReportText.h"
#include "scan/FileRows.h"
#include "scan/TypeSummary.h"
#include "shell/qt/TypeIcons.h"
#include "widgets/DirectoryList.h"
#include "widgets/FileListModel.h"
#include "widgets/SortListViews.h"
#include "widgets/TypeListModel.h"

#include <QCheckBox>
#include <QDateTime>
#include <QItemSelectionModel>
#include <QLabel>

namespace pellamy {
namespace {

constexpr std::int64_t kProgressEveryMs = 100;

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

ScanOptions TForm1::CurrentScanOptions() const
{
    ScanOptions options;
    options.ISF = ISF->isChecked();
    options.AttrChk = AttrChk->isChecked();
    options.Boxes = {roFile->isChecked(), hidFile->isChecked(), sysFile->isChecked(), arcFile->isChecked()};
    return options;
}

std::function<void(std::uint64_t)> TForm1::BeginScanProgress()
{
    m_scanStartedMs = QDateTime::currentMSecsSinceEpoch();
    m_lastProgressMs = 0;
    m_progressShown = false;
    return [this](std::uint64_t namesRead) {
        const std::int64_t now = QDateTime::currentMSecsSinceEpoch();
        if (now - m_scanStartedMs < ScanProgressAfterMs || now - m_lastProgressMs < kProgressEveryMs) {
            return;
        }
        m_lastProgressMs = now;
        m_progressShown = true;
        // Repainted at once, with no input processed, so a large folder never looks frozen.
        StatusBar1->SetPanelText(0, QStringLiteral("Reading folder: %1 entries").arg(namesRead));
        StatusBar1->repaint();
    };
}

void TForm1::EndScanProgress()
{
    // The count took the hint line's place for the scan; the hint of the control under the
    // pointer comes back, as after any other change of the hint.
    if (m_progressShown) {
        StatusBar1->SetPanelText(0, m_currentHint);
    }
}

void TForm1::SetFileCount()
{
    StatusBar1->SetPanelText(1, QStringLiteral("Files: %1").arg(m_fileRows->RowCount()));
}

void TForm1::BuildTypeSummary()
{
    const BusyCursor busy(this);
    Panel3Caption->setText(QStringLiteral("?"));
    m_typeRows->Clear();
    m_fileRows->Clear();
    SetFileCount();
    m_totalFiles = 0;
    m_totalSize = 0;

    // The summary needs only names and sizes, so the scanned entries are grouped as they arrive
    // rather than kept. Descriptions come from the cache the rows' icons are looked up in.
    TypeSummary summary = SummarizeFolder(m_directory, m_currentFolder, CurrentScanOptions(),
                                          TypeIcons::Shared().Descriptions(), nullptr, BeginScanProgress());
    EndScanProgress();
    m_totalFiles = summary.TotalFiles;
    m_totalSize = summary.TotalSize;
    m_typeRows->SetRows(std::move(summary.Rows), m_settings);

    dList->SetDirectory(FromStdString(NavigatorFolderText(m_currentFolder)));
    Panel3Caption->setText(
        FromUtf8(TotalsLine(summary.FolderAttributes, m_totalFiles, m_totalSize, m_settings)));
}

void TForm1::BuildFileList(const NamePattern& pattern)
{
    // Rows are built straight from the scan in the form the list keeps them, names in one block.
    FileListModel::Rows rows;
    ScanFolder(
        m_directory, m_currentFolder, pattern, CurrentScanOptions(),
        [&rows](const DirectoryEntryView& entry) { rows.Add(entry); }, nullptr, BeginScanProgress());
    EndScanProgress();
    m_fileRows->SetRows(std::move(rows), m_settings);
    SetFileCount();
}

void TForm1::ListSelectedType(bool allFiles)
{
    const QModelIndexList selected = sLView->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        return;
    }
    const BusyCursor busy(this);
    m_fileRows->Clear();
    m_currentPattern =
        allFiles
            ? NamePattern::AllFiles()
            : NamePattern::OfExtension(m_typeRows->Caption(static_cast<std::size_t>(selected.front().row())));
    BuildFileList(m_currentPattern);
    NudgeWindowWidth();
}

void TForm1::sLViewClick()
{
    ListSelectedType(false);
}

void TForm1::sLViewDblClick()
{
    ListSelectedType(true);
}

} // namespace pellamy
