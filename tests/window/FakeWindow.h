// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_WINDOW_FAKEWINDOW_H
#define PELLAMY_TESTS_WINDOW_FAKEWINDOW_H

#include "../scan/FakeDirectorySource.h"
#include "../reports/MemoryReportFiles.h"
#include "../shell/MemoryRegistrationStore.h"
#include "shell/Platform.h"
#include "window/WindowCore.h"
#include "window/WindowView.h"

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace pellamy {

/// File operations that only record what they were asked to do, and succeed.
class RecordedFileOperations final : public FileOperations
{
public:
    std::vector<std::string> Calls;
    /// Destinations that exist already.
    std::set<std::string> Existing;

    std::error_code Copy(const std::string& source, const std::string& destination, bool failIfExists,
                         const std::optional<ListedFile>&) override
    {
        return Record("copy " + source + " -> " + destination, destination, failIfExists);
    }
    std::error_code Move(const std::string& source, const std::string& destination, bool replaceExisting,
                         const std::optional<ListedFile>&) override
    {
        return Record("move " + source + " -> " + destination, destination, !replaceExisting);
    }
    std::error_code Remove(const std::string& path) override
    {
        Calls.push_back("remove " + path);
        return {};
    }

private:
    std::error_code Record(std::string call, const std::string& destination, bool failIfExists)
    {
        if (failIfExists && Existing.count(destination) != 0) {
            return std::make_error_code(std::errc::file_exists);
        }
        Calls.push_back(std::move(call));
        return {};
    }
};

/// Folders by name: `Folders` are folders, anything else is not.
class NamedFolders final : public FolderSystem
{
public:
    std::set<std::string> Folders;

    std::vector<Drive> MountedDrives() override { return {Drive{"/", DriveKind::Fixed, {}, {}}}; }
    using FolderSystem::ReadFolderListing;
    FolderListing ReadFolderListing(const std::string&, bool, std::error_code&) override { return {}; }
    bool IsFolder(const std::string& path) override { return Folders.count(path) != 0; }
    bool CanEnterFolder(const std::string& path) override { return IsFolder(path); }
    bool SetWorkingFolder(const std::string&) override { return true; }
    bool MakeFolders(const std::string&) override { return true; }
    std::string WorkingFolder() override { return "/work"; }
};

/// Describes ".txt" as "Text Document" and anything else as the platform would not know it.
class KnownTypes final : public TypeInfoSource
{
public:
    std::string GetTypeDescription(const std::string& extension) override
    {
        return extension == ".txt" ? "Text Document" : "Other";
    }
};

/// A platform in memory: one folder read by `Directory`, files and reports recorded.
class FakePlatform final : public Platform
{
public:
    FakeDirectorySource DirectorySource;
    KnownTypes TypeDescriptions;
    ByteCollator CaptionOrder;
    RegionalSettings Regional;
    MemoryReportFiles ReportFiles;
    RecordedFileOperations FileOperations;
    MemoryRegistrationStore Store{CommandSyntax::DesktopEntry};
    NamedFolders FolderNames;
    /// Where folders and trees are read: the fake folder and no tree walker unless a test says.
    pellamy::DirectorySource* Directories = &DirectorySource;
    TreeSource* TreeWalker = nullptr;

    pellamy::DirectorySource& Directory() override { return *Directories; }
    TreeSource* Tree() override { return TreeWalker; }
    TypeInfoSource& Types() override { return TypeDescriptions; }
    const TextCollator& Collator() const override { return CaptionOrder; }
    RegionalSettings Settings() const override { return Regional; }
    const pellamy::ReportFiles& Reports() const override { return ReportFiles; }
    pellamy::FileOperations& Files() override { return FileOperations; }
    std::unique_ptr<RegistrationStore> Registration() override { return std::make_unique<StoreHandle>(Store); }
    std::string ProgramPath() const override { return "/usr/bin/pellamy"; }
    FolderSystem& Folders() override { return FolderNames; }

private:
    // Each registration gets its own handle on the one store, as each gets the real store anew.
    class StoreHandle final : public RegistrationStore
    {
    public:
        explicit StoreHandle(RegistrationStore& store)
            : m_store(store)
        {}
        CommandSyntax Syntax() const override { return m_store.Syntax(); }
        bool KeyExists(const std::string& key) override { return m_store.KeyExists(key); }
        void DeleteKeyTree(const std::string& key) override { m_store.DeleteKeyTree(key); }
        std::unique_ptr<RegistrationKey> OpenOrCreateKey(const std::string& key, RegistrationFailure& failure) override
        {
            return m_store.OpenOrCreateKey(key, failure);
        }

    private:
        RegistrationStore& m_store;
    };
};

/// The window's controls as plain values: what the core set, what the user chose, and every
/// dialog answered from a script.
class FakeView final : public WindowView
{
public:
    std::map<WindowCheckBox, bool> Checks{{WindowCheckBox::arcFile, true}, {WindowCheckBox::Useskin1, true}};
    std::string Navigator = "/usr";
    std::string Totals;
    std::string Panels[2];
    std::string PanelTips[2];
    int Repaints = 0;
    /// The last text drawn at once while a scan held the thread.
    std::string LastRepainted;
    /// Selected rows per list, in display order; a reset of the list clears them.
    std::map<WindowList, std::set<std::size_t>> Selected;
    std::vector<std::string> Resets;
    int BusyDepth = 0;
    int BusyShown = 0;
    int Nudges = 0;
    std::optional<bool> Skin;

    std::deque<bool> Answers;
    std::vector<std::string> Questions;
    std::optional<std::pair<std::string, int>> SaveChoice;
    int SaveDialogsRun = 0;
    std::string SaveDialogFolder;
    /// Esc pressed while the next scans run.
    bool StopScans = false;
    int Waits = 0;
    int ProgressShown = 0;
    /// The opener's answer: nothing when it opens, else its reason.
    std::optional<std::string> OpenFailure;
    std::optional<std::string> FolderChoice;
    std::vector<std::optional<std::string>> FolderDialogStarts;
    std::vector<std::string> Messages;
    std::vector<std::string> ErrorReports;
    std::optional<std::string> ClipboardText;
    std::vector<ClipboardTarget> ClipboardFiles;
    std::vector<std::string> Opened;
    std::vector<std::string> PropertiesShown;
    /// Row counts of the lists, for "select all".
    std::function<std::size_t(WindowList)> RowCount;

    bool IsChecked(WindowCheckBox box) const override
    {
        const auto it = Checks.find(box);
        return it != Checks.end() && it->second;
    }
    void SetChecked(WindowCheckBox box, bool checked) override { Checks[box] = checked; }
    std::string NavigatorFolder() const override { return Navigator; }
    void SetNavigatorFolder(const std::string& folder) override { Navigator = folder; }
    void SetTotalsLine(const std::string& text) override { Totals = text; }
    void SetStatusPanel(int panel, const std::string& text, bool repaintNow) override
    {
        Panels[panel] = text;
        Repaints += repaintNow ? 1 : 0;
        if (repaintNow) {
            LastRepainted = text;
        }
    }
    void SetStatusPanelTip(int panel, const std::string& tip) override { PanelTips[panel] = tip; }
    void BeginListReset(WindowList list) override
    {
        Resets.push_back(list == WindowList::Types ? "types" : "files");
        Selected[list].clear();
    }
    void EndListReset(WindowList) override {}
    void ReadSelection(WindowList list,
                       const std::function<void(std::size_t first, std::size_t last)>& range) const override
    {
        const auto it = Selected.find(list);
        if (it == Selected.end()) {
            return;
        }
        for (std::size_t row : it->second) {
            range(row, row);
        }
    }
    void SelectAllRows(WindowList list) override
    {
        for (std::size_t row = 0; row < RowCount(list); ++row) {
            Selected[list].insert(row);
        }
    }
    void NudgeWindowWidth() override { ++Nudges; }
    void SetBusy(bool busy) override
    {
        BusyDepth += busy ? 1 : -1;
        BusyShown += busy ? 1 : 0;
    }
    void SetSkin(bool on) override { Skin = on; }
    bool AskYesNo(const std::string& question, const std::string& caption) override
    {
        Questions.push_back(caption + ": " + question);
        const bool answer = !Answers.empty() && Answers.front();
        if (!Answers.empty()) {
            Answers.pop_front();
        }
        return answer;
    }
    void WaitFor(BackgroundWork& work) override
    {
        ++Waits;
        if (StopScans) {
            work.Stop();
        }
        while (!work.Finished()) {
            work.ShowProgress();
            ++ProgressShown;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    bool RunSaveDialog(const std::string& folder, std::string& fileName, int& filterIndex) override
    {
        ++SaveDialogsRun;
        SaveDialogFolder = folder;
        if (!SaveChoice) {
            return false;
        }
        fileName = SaveChoice->first;
        filterIndex = SaveChoice->second;
        return true;
    }
    std::optional<std::string> RunSelectFolderDialog(FolderDialogUse,
                                                     const std::optional<std::string>& initialFolder) override
    {
        FolderDialogStarts.push_back(initialFolder);
        return FolderChoice;
    }
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    void ShowErrorReport(const std::string& message) override { ErrorReports.push_back(message); }
    void PutTextOnClipboard(std::string bytes) override { ClipboardText = std::move(bytes); }
    void PutTextOnClipboard(std::size_t size, const std::function<void(char* buffer)>& write) override
    {
        std::string text(size, '\0');
        write(text.data());
        ClipboardText = std::move(text);
    }
    bool PutOnClipboard(std::vector<ClipboardTarget> targets) override
    {
        ClipboardFiles = std::move(targets);
        return true;
    }
    void Open(const std::string& path, std::function<void(const std::string& reason)> failed) override
    {
        Opened.push_back(path);
        if (OpenFailure) {
            failed(*OpenFailure);
        }
    }
    void ShowProperties(const std::string& path) override { PropertiesShown.push_back(path); }

    /// The bytes of one form of what was last put on the clipboard as several forms; empty without
    /// that form.
    std::string ClipboardForm(std::string_view mimeType) const
    {
        for (const ClipboardTarget& target : ClipboardFiles) {
            if (target.mimeType == mimeType) {
                return target.bytes;
            }
        }
        return {};
    }
};

/// The names of the file list's rows, in display order.
inline std::vector<std::string> Names(const FileTable& rows)
{
    std::vector<std::string> names;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        names.emplace_back(rows.Name(row));
    }
    return names;
}

/// A window core over a fake view and platform, with the folder "/data/" holding `a.txt`,
/// `b.txt` and `c.log`.
struct FakeWindow
{
    FakePlatform Platform;
    FakeView View;
    WindowCore Core{View, Platform};

    FakeWindow()
    {
        View.RowCount = [this](WindowList list) {
            return list == WindowList::Types ? Core.TypeRows().RowCount() : Core.FileRows().RowCount();
        };
        Platform.DirectorySource.Entries = {{"a.txt", Attr::kArchive, 10, 0, 0, 0},
                                            {"b.txt", Attr::kArchive | Attr::kReadOnly, 2048, 0, 0, 0},
                                            {"c.log", Attr::kArchive, 5, 0, 0, 0}};
    }

    /// Opens "/data/" as the command line would, then lists the type captioned `caption`.
    void OpenAndList(const std::string& caption)
    {
        Core.FormCreate({"/data/"});
        SelectType(caption);
        Core.sLViewClick();
    }

    void SelectType(const std::string& caption)
    {
        View.Selected[WindowList::Types].clear();
        for (std::size_t row = 0; row < Core.TypeRows().RowCount(); ++row) {
            if (Core.TypeRows().Caption(row) == caption) {
                View.Selected[WindowList::Types].insert(row);
            }
        }
    }

    /// Selects the file rows with these names.
    void SelectFiles(const std::set<std::string>& names)
    {
        View.Selected[WindowList::Files].clear();
        for (std::size_t row = 0; row < Core.FileRows().RowCount(); ++row) {
            if (names.count(std::string(Core.FileRows().Name(row))) != 0) {
                View.Selected[WindowList::Files].insert(row);
            }
        }
    }
};

} // namespace pellamy

#endif
