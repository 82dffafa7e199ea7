// SPDX-License-Identifier: GPL-3.0-or-later
// The window's state, filling its two lists, and the events that choose the folder and the type:
// start-up, drops, the navigator, the check boxes, "Select a folder", clicks on the type list and
// F5; with the window's own behaviour (hints, "Select all", the skin, registration).

#include "window/WindowCore.h"

#include "lists/DisplayTexts.h"
#include "reports/ReportText.h"
#include "scan/TypeSummary.h"
#include "shell/ContextMenuRegistration.h"
#include "window/ScanWork.h"
#include "window/StartupArguments.h"

#include <chrono>

namespace pellamy {
namespace {

constexpr const char* kScanStopped = "Stopped: the lists show what they showed before";
constexpr const char* kNoTreeWalker = "Sub-folders cannot be read on this system: the lists show the folder alone";
// How many unread folders the status panel's tooltip names; the rest are counted.
constexpr std::size_t kUnreadFoldersNamed = 20;

// The summary of `folder` and every folder below it, as the one-folder summary gives it: one row
// per type with its description, the totals of the whole tree, the folder's own attributes.
TypeSummary SummarizeTree(TreeSource& tree, DirectorySource& directory, TypeInfoSource& types,
                          const std::string& folder, const ScanOptions& options,
                          const std::function<void(const TreeProgress&)>& progress,
                          std::vector<UnreadFolder>& unread)
{
    TreeWalkOptions walk;
    walk.Scan = options;
    TreeWalkResult found = WalkTree(tree, folder, walk, progress);
    unread = std::move(found.Unread);
    return SummaryOfRows(std::move(found.Rows), types, directory.ReadAttributes(folder));
}

// The busy cursor for as long as a handler fills a list.
class BusyWhile
{
public:
    explicit BusyWhile(WindowView& view)
        : m_view(view)
    {
        m_view.SetBusy(true);
    }
    ~BusyWhile() { m_view.SetBusy(false); }
    BusyWhile(const BusyWhile&) = delete;
    BusyWhile& operator=(const BusyWhile&) = delete;

private:
    WindowView& m_view;
};

} // namespace

WindowCore::WindowCore(WindowView& view, Platform& platform)
    : m_view(view)
    , m_platform(platform)
    , m_settings(platform.Settings())
{}

void WindowCore::FormCreate(const std::vector<std::string>& args)
{
    OpenFolder(FirstFolder(args, m_platform.Directory()));
    m_view.NudgeWindowWidth();
    m_hintsAttached = true;
    const bool skin = SkinRequested(args);
    m_view.SetSkin(skin);
    m_view.SetChecked(WindowCheckBox::Useskin1, skin);
}

ScanOptions WindowCore::CurrentScanOptions() const
{
    ScanOptions options;
    options.ISF = m_view.IsChecked(WindowCheckBox::ISF);
    options.AttrChk = m_view.IsChecked(WindowCheckBox::AttrChk);
    options.Boxes = {m_view.IsChecked(WindowCheckBox::roFile), m_view.IsChecked(WindowCheckBox::hidFile),
                     m_view.IsChecked(WindowCheckBox::sysFile), m_view.IsChecked(WindowCheckBox::arcFile)};
    return options;
}

bool WindowCore::RunScan(bool tree, const Scan& scan)
{
    ScanOptions options = CurrentScanOptions();
    const auto started = std::chrono::steady_clock::now();
    bool countShown = false;
    ScanWork work([this, tree, started, &countShown](std::uint64_t namesRead, std::uint64_t foldersRead) {
        if (std::chrono::steady_clock::now() - started < std::chrono::milliseconds(ScanProgressAfterMs)) {
            return;
        }
        countShown = true;
        if (tree) {
            m_view.SetStatusPanel(0,
                                  "Reading folders: " + std::to_string(foldersRead) + " folders, " +
                                      std::to_string(namesRead) + " files",
                                  true);
        } else {
            m_view.SetStatusPanel(0, "Reading folder: " + std::to_string(namesRead) + " entries", true);
        }
    });
    options.Stop = work.StopToken();
    work.Start([&scan, options](const ScanWork::Progress& progress) { scan(options, progress); });
    m_view.WaitFor(work);
    work.Join();
    if (!work.StopRequested()) {
        // The last count, for a scan that ran long enough to show one.
        work.ShowProgress();
    }
    if (work.StopRequested()) {
        m_view.SetStatusPanel(0, kScanStopped);
        m_stopShown = true;
        return false;
    }
    // The count (or the word that the last scan was stopped) took the hint line's place; the hint
    // of the control under the pointer comes back, as after any other change of the hint.
    if (countShown || m_stopShown || m_treeNoteShown) {
        m_view.SetStatusPanel(0, m_currentHint);
        m_stopShown = false;
    }
    if (m_treeNoteShown) {
        m_view.SetStatusPanelTip(0, {});
        m_treeNoteShown = false;
    }
    return true;
}

TreeSource* WindowCore::TreeToWalk()
{
    if (!m_view.IsChecked(WindowCheckBox::SubFolders)) {
        return nullptr;
    }
    return m_platform.Tree();
}

void WindowCore::ShowUnreadFolders(const std::vector<UnreadFolder>& unread)
{
    if (unread.empty()) {
        return;
    }
    m_view.SetStatusPanel(0, std::to_string(unread.size()) + (unread.size() == 1 ? " folder" : " folders") +
                                 " could not be read");
    std::string tip;
    for (std::size_t i = 0; i < unread.size() && i < kUnreadFoldersNamed; ++i) {
        if (!tip.empty()) {
            tip += '\n';
        }
        tip += m_currentFolder + unread[i].RelativePath + ": " + unread[i].Error.message();
    }
    if (unread.size() > kUnreadFoldersNamed) {
        tip += "\n... and " + std::to_string(unread.size() - kUnreadFoldersNamed) + " more";
    }
    m_view.SetStatusPanelTip(0, tip);
    m_treeNoteShown = true;
}

void WindowCore::ShowTreeNotes(const TreeSource* walked, const std::vector<UnreadFolder>& unread)
{
    if (walked != nullptr) {
        ShowUnreadFolders(unread);
    } else if (m_view.IsChecked(WindowCheckBox::SubFolders)) {
        // Checked on a system without a tree walker: the one folder was shown instead.
        m_view.SetStatusPanel(0, kNoTreeWalker);
        m_treeNoteShown = true;
    }
}

void WindowCore::SetFileCount()
{
    m_view.SetStatusPanel(1, "Files: " + std::to_string(m_fileRows.RowCount()));
}

bool WindowCore::BuildTypeSummary()
{
    const BusyWhile busy(m_view);
    // The summary needs only names and sizes, so the scanned entries are grouped as they arrive
    // rather than kept. The lists keep what they show until it is complete.
    TypeSummary summary;
    const std::string folder = m_currentFolder;
    TreeSource* tree = TreeToWalk();
    std::vector<UnreadFolder> unread;
    const bool complete = RunScan(tree != nullptr, [&](const ScanOptions& options, const ScanProgress& progress) {
        if (tree != nullptr) {
            summary = SummarizeTree(*tree, m_platform.Directory(), m_platform.Types(), folder, options,
                                    [&progress](const TreeProgress& read) { progress(read.Files, read.Folders); },
                                    unread);
            return;
        }
        summary = SummarizeFolder(m_platform.Directory(), folder, options, m_platform.Types(), nullptr,
                                  [&progress](std::uint64_t namesRead) { progress(namesRead, 0); });
    });
    if (!complete) {
        return false;
    }
    ShowTreeNotes(tree, unread);
    m_totalFiles = summary.TotalFiles;
    m_totalSize = summary.TotalSize;
    m_view.BeginListReset(WindowList::Files);
    m_fileRows.Clear();
    m_view.EndListReset(WindowList::Files);
    SetFileCount();
    m_view.BeginListReset(WindowList::Types);
    m_typeRows.Fill(std::move(summary.Rows), m_settings, m_platform.Collator());
    m_view.EndListReset(WindowList::Types);

    m_view.SetNavigatorFolder(NavigatorFolderText(m_currentFolder));
    m_view.SetTotalsLine(TotalsLine(summary.FolderAttributes, m_totalFiles, m_totalSize, m_settings));
    return true;
}

bool WindowCore::BuildFileList(const NamePattern& pattern)
{
    // Rows are built straight from the scan in the form the list keeps them, names in one block.
    FileTable::Rows rows;
    const std::string folder = m_currentFolder;
    TreeSource* tree = TreeToWalk();
    std::vector<UnreadFolder> unread;
    const bool complete = RunScan(tree != nullptr, [&](const ScanOptions& options, const ScanProgress& progress) {
        if (tree != nullptr) {
            TreeWalkOptions walk;
            walk.Scan = options;
            walk.Pattern = pattern;
            walk.ListFiles = true;
            TreeWalkResult found = WalkTree(*tree, folder, walk, [&progress](const TreeProgress& read) {
                progress(read.Files, read.Folders);
            });
            rows.Reserve(found.Files.Count(), found.Files.TextBytes());
            found.Files.Take(
                [&rows](std::string_view below, const DirectoryEntryView& file) { rows.Add(below, file); });
            unread = std::move(found.Unread);
            return;
        }
        ScanFolder(
            m_platform.Directory(), folder, pattern, options,
            [&rows](const DirectoryEntryView& entry) { rows.Add(entry); }, nullptr,
            [&progress](std::uint64_t namesRead) { progress(namesRead, 0); });
    });
    if (!complete) {
        return false;
    }
    ShowTreeNotes(tree, unread);
    m_view.BeginListReset(WindowList::Files);
    m_fileRows.Fill(std::move(rows), m_settings, m_platform.Collator());
    m_view.EndListReset(WindowList::Files);
    SetFileCount();
    return true;
}

bool WindowCore::OpenFolder(std::string folder)
{
    std::string previous = std::exchange(m_currentFolder, std::move(folder));
    if (BuildTypeSummary()) {
        return true;
    }
    // Stopped: the folder of the lists is still the one shown.
    m_currentFolder = std::move(previous);
    if (!m_currentFolder.empty()) {
        m_view.SetNavigatorFolder(NavigatorFolderText(m_currentFolder));
    }
    return false;
}

std::size_t WindowCore::ReadSelection(WindowList list)
{
    auto select = [this, list](std::size_t first, std::size_t last) {
        for (std::size_t row = first; row <= last; ++row) {
            if (list == WindowList::Types) {
                m_typeRows.Select(row, true);
            } else {
                m_fileRows.Select(row, true);
            }
        }
    };
    if (list == WindowList::Types) {
        m_typeRows.SelectAll(false);
    } else {
        m_fileRows.SelectAll(false);
    }
    m_view.ReadSelection(list, select);
    if (list == WindowList::Files) {
        return m_fileRows.SelectedCount();
    }
    std::size_t count = 0;
    for (std::size_t row = 0; row < m_typeRows.RowCount(); ++row) {
        count += m_typeRows.IsSelected(row) ? 1 : 0;
    }
    return count;
}

ListRows& WindowCore::Rows(WindowList list)
{
    if (list == WindowList::Types) {
        return m_typeRows;
    }
    return m_fileRows;
}

void WindowCore::ListSelectedType(bool allFiles)
{
    if (ReadSelection(WindowList::Types) == 0) {
        return;
    }
    std::size_t selected = 0;
    while (!m_typeRows.IsSelected(selected)) {
        ++selected;
    }
    const BusyWhile busy(m_view);
    const NamePattern pattern =
        allFiles ? NamePattern::AllFiles() : NamePattern::OfExtension(m_typeRows.Caption(selected));
    if (BuildFileList(pattern)) {
        m_currentPattern = pattern;
        m_view.NudgeWindowWidth();
    }
}

void WindowCore::sLViewClick()
{
    ListSelectedType(false);
}

void WindowCore::sLViewDblClick()
{
    ListSelectedType(true);
}

void WindowCore::HandleFileDrop(const std::vector<std::string>& paths)
{
    if (paths.empty()) {
        return;
    }
    OpenFolder(FolderOfPath(paths.front(), m_platform.Directory()));
}

void WindowCore::ShowNavigatorFolder()
{
    if (OpenFolder(WithTrailingSlash(m_view.NavigatorFolder()))) {
        m_view.NudgeWindowWidth();
    }
}

void WindowCore::dListClick()
{
    ShowNavigatorFolder();
}

void WindowCore::roFileClick()
{
    dListClick();
}

void WindowCore::ISFClick()
{
    dListClick();
}

void WindowCore::SubFoldersClick()
{
    dListClick();
}

void WindowCore::JvDriveCombo1Change()
{
    dListClick();
}

void WindowCore::SElectafolder1Click()
{
    // The dialog opens on the navigator's folder while that still is one, else where it was.
    const std::string navigatorFolder = m_view.NavigatorFolder();
    std::optional<std::string> initial;
    if (m_platform.Folders().IsFolder(navigatorFolder)) {
        initial = navigatorFolder;
    }
    const auto chosen = m_view.RunSelectFolderDialog(FolderDialogUse::ShowFolder, initial);
    if (!chosen) {
        return;
    }
    OpenFolder(WithTrailingSlash(*chosen));
}

void WindowCore::FormKeyDown(int key)
{
    if (key == kKeyF5) {
        sLViewClick();
    }
}

void WindowCore::sLViewKeyDown(int key)
{
    if (key == kKeyReturn) {
        sLViewClick();
    }
}

void WindowCore::DisplayHint(const std::string& hint)
{
    if (!m_hintsAttached) {
        return;
    }
    const auto bar = hint.find('|');
    m_currentHint = bar == std::string::npos ? hint : hint.substr(bar + 1);
    m_stopShown = false;
    m_view.SetStatusPanel(0, m_currentHint);
}

void WindowCore::Selectall1Click()
{
    m_view.SelectAllRows(WindowList::Files);
}

void WindowCore::Useskin1Click()
{
    m_view.SetSkin(m_view.IsChecked(WindowCheckBox::Useskin1));
}

void WindowCore::Registerunregisterincontextmenu1Click()
{
    const std::unique_ptr<RegistrationStore> store = m_platform.Registration();
    const RegistrationOutcome outcome = ToggleContextMenuRegistration(
        *store, m_platform.ProgramPath(), m_view.IsChecked(WindowCheckBox::Useskin1));
    if (outcome.Failure) {
        m_view.ShowErrorReport(*outcome.Failure);
        return;
    }
    m_view.ShowMessage(outcome.Registered ? "Pellamy registered" : "Pellamy unregistered");
}

void WindowCore::SettingsChanged()
{
    m_settings = m_platform.Settings();
}

} // namespace pellamy
