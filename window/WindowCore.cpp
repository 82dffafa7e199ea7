// SPDX-License-Identifier: GPL-3.0-or-later
// The window's state, filling its two lists, and the events that choose the folder and the type:
// start-up, drops, the navigator, the check boxes, "Select a folder", clicks on the type list and
// F5; with the window's own behaviour (hints, "Select all", the skin, registration).

#include "window/WindowCore.h"

#include "lists/DisplayTexts.h"
#include "reports/ReportText.h"
#include "scan/TypeSummary.h"
#include "shell/ContextMenuRegistration.h"
#include "window/StartupArguments.h"

namespace pellamy {
namespace {

constexpr std::chrono::milliseconds kProgressEvery{100};

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
    m_currentFolder = FirstFolder(args, m_platform.Directory());
    BuildTypeSummary();
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

std::function<void(std::uint64_t)> WindowCore::BeginScanProgress()
{
    m_scanStarted = std::chrono::steady_clock::now();
    m_lastProgress = {};
    m_progressShown = false;
    return [this](std::uint64_t namesRead) {
        const auto now = std::chrono::steady_clock::now();
        if (now - m_scanStarted < std::chrono::milliseconds(ScanProgressAfterMs) ||
            now - m_lastProgress < kProgressEvery) {
            return;
        }
        m_lastProgress = now;
        m_progressShown = true;
        // Drawn at once, with no input processed, so a large folder never looks frozen.
        m_view.SetStatusPanel(0, "Reading folder: " + std::to_string(namesRead) + " entries", true);
    };
}

void WindowCore::EndScanProgress()
{
    // The count took the hint line's place for the scan; the hint of the control under the
    // pointer comes back, as after any other change of the hint.
    if (m_progressShown) {
        m_view.SetStatusPanel(0, m_currentHint);
    }
}

void WindowCore::SetFileCount()
{
    m_view.SetStatusPanel(1, "Files: " + std::to_string(m_fileRows.RowCount()));
}

void WindowCore::ClearLists()
{
    m_view.BeginListReset(WindowList::Types);
    m_typeRows.Clear();
    m_view.EndListReset(WindowList::Types);
    m_view.BeginListReset(WindowList::Files);
    m_fileRows.Clear();
    m_view.EndListReset(WindowList::Files);
}

void WindowCore::BuildTypeSummary()
{
    const BusyWhile busy(m_view);
    m_view.SetTotalsLine("?");
    ClearLists();
    SetFileCount();
    m_totalFiles = 0;
    m_totalSize = 0;

    // The summary needs only names and sizes, so the scanned entries are grouped as they arrive
    // rather than kept.
    TypeSummary summary = SummarizeFolder(m_platform.Directory(), m_currentFolder, CurrentScanOptions(),
                                          m_platform.Types(), nullptr, BeginScanProgress());
    EndScanProgress();
    m_totalFiles = summary.TotalFiles;
    m_totalSize = summary.TotalSize;
    m_view.BeginListReset(WindowList::Types);
    m_typeRows.Fill(std::move(summary.Rows), m_settings, m_platform.Collator());
    m_view.EndListReset(WindowList::Types);

    m_view.SetNavigatorFolder(NavigatorFolderText(m_currentFolder));
    m_view.SetTotalsLine(TotalsLine(summary.FolderAttributes, m_totalFiles, m_totalSize, m_settings));
}

void WindowCore::BuildFileList(const NamePattern& pattern)
{
    // Rows are built straight from the scan in the form the list keeps them, names in one block.
    FileTable::Rows rows;
    ScanFolder(
        m_platform.Directory(), m_currentFolder, pattern, CurrentScanOptions(),
        [&rows](const DirectoryEntryView& entry) { rows.Add(entry); }, nullptr, BeginScanProgress());
    EndScanProgress();
    m_view.BeginListReset(WindowList::Files);
    m_fileRows.Fill(std::move(rows), m_settings, m_platform.Collator());
    m_view.EndListReset(WindowList::Files);
    SetFileCount();
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
    m_view.BeginListReset(WindowList::Files);
    m_fileRows.Clear();
    m_view.EndListReset(WindowList::Files);
    m_currentPattern = allFiles ? NamePattern::AllFiles() : NamePattern::OfExtension(m_typeRows.Caption(selected));
    BuildFileList(m_currentPattern);
    m_view.NudgeWindowWidth();
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
    m_currentFolder = FolderOfPath(paths.front(), m_platform.Directory());
    ClearLists();
    BuildTypeSummary();
}

void WindowCore::ShowNavigatorFolder()
{
    m_currentFolder = WithTrailingSlash(m_view.NavigatorFolder());
    BuildTypeSummary();
    m_view.NudgeWindowWidth();
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
    m_currentFolder = WithTrailingSlash(*chosen);
    BuildTypeSummary();
}

void WindowCore::FormKeyDown(int key)
{
    if (key == kKeyF5) {
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
