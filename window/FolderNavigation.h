// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WINDOW_FOLDERNAVIGATION_H
#define PELLAMY_WINDOW_FOLDERNAVIGATION_H

#include "lists/TextCollator.h"
#include "shell/FolderSystem.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace pellamy {

/// One row of a folder list.
struct FolderRow
{
    /// The part the row plays.
    enum class Kind {
        Chain, ///< a folder between the drive root and the open folder, the root included
        Open,  ///< the open folder
        Sub,   ///< a sub-folder of the open folder
    };

    std::string Path; ///< the folder's full clean path
    std::string Name; ///< the root's whole path, else the folder's own name
    int Depth = 0;    ///< folder steps below the drive root: 0 for the root
    Kind Role = Kind::Sub;

    bool operator==(const FolderRow&) const = default;
};

/// The folder navigator without its controls: the open folder, its rows, and the drive that the
/// drive box shows, kept by the rules of the directory list and its linked drive box. Folders are
/// read and entered through a `FolderSystem`; a front-end draws `Rows()` and the drive box's
/// `ListedDrives()` and hands the user's choices back to `SetDirectory` and `PickDrive`.
///
/// Paths take one of two forms: a drive letter, a colon and "/"-separated steps ("C:/Program
/// Files", the root "C:/"), where "\" separates too and case does not tell folders apart; or a
/// POSIX path from "/", taken only when the system has a drive rooted in "/" form.
class FolderNavigation
{
public:
    /// Starts in the process's working folder with the system's drives; the rows are read at once.
    /// Both references must outlive the navigation.
    FolderNavigation(FolderSystem& folders, const TextCollator& collator);

    /// The open folder, clean: no trailing "/" except at a drive root.
    const std::string& Directory() const { return m_directory; }

    /// The chain from the drive root down to the open folder, then its visible sub-folders in the
    /// collator's order.
    const std::vector<FolderRow>& Rows() const { return m_rows; }

    /// The index in `Rows()` of the open folder's row.
    std::size_t OpenRow() const { return m_openRow; }

    /// Every drive of the last reading, the kinds the drive box leaves out included.
    const std::vector<Drive>& Drives() const { return m_drives; }

    /// The drives that the drive box has items for, in the system's order.
    std::vector<Drive> ListedDrives() const;

    /// The root of the drive the drive box shows; empty when it lists no drive.
    const std::string& SelectedDrive() const { return m_selectedDrive; }

    /// Opens `path`: an empty path, the open folder itself and a path that is not absolute change
    /// nothing. A path on another drive that the drive box lists first enters that drive's root
    /// and selects that drive. Then `path` is entered when it is a folder that can be entered;
    /// otherwise the list stays where it is (or, when that folder has gone, climbs to the nearest
    /// ancestor that can be entered). The rows are read anew and the drive box follows the open
    /// folder's drive when it lists it. False when nothing was done.
    bool SetDirectory(std::string_view path);

    /// What came of a drive picked in the drive box.
    enum class DrivePick {
        Same,    ///< the drive already selected: nothing to do, nothing to report
        Entered, ///< its root is open now
        Refused, ///< its root cannot be entered: the list stayed and the box returned
    };

    /// The user picked the drive whose root is `root`: its root is entered and the rows read
    /// anew, or, when it cannot be entered, the box returns to the open folder's drive (or to the
    /// drive it showed before, when it does not list that one).
    DrivePick PickDrive(const std::string& root);

    /// Reads the drives anew (a volume arrived or left) and selects the open folder's drive
    /// again, else the drive selected before, else the first one listed. The rows stay.
    void RefreshDrives();

    /// Reads the sub-folders of each folder opened from now on apart from the rest: the rows then
    /// hold the chain and the open folder until `ShowSubFolders` brings the sub-folders, read by
    /// the caller (on another thread, say, with `SortedSubFolders`).
    void ReadSubFoldersApart(bool apart) { m_subFoldersApart = apart; }
    /// The open folder whose sub-folders are still to come, and the number of that opening; empty
    /// when none are awaited.
    const std::string& AwaitedFolder() const { return m_awaitedFolder; }
    std::uint64_t Opening() const { return m_opening; }
    /// Adds the sub-folders, in order, read for the opening numbered `opening`; false (nothing
    /// changed) when another folder has been opened since.
    bool ShowSubFolders(std::uint64_t opening, const std::vector<std::string>& subFolders);

    /// Whether the drive box lists drives of `kind`: removable, fixed, remote and CD-ROM ones.
    static bool IsListedKind(DriveKind kind);

    /// `path` in its clean form: separators single, "." and ".." resolved, the drive letter upper
    /// case, no trailing "/" except at a root. Empty for a path of neither form.
    static std::string CleanPath(std::string_view path);

    /// The root of the drive of `drives` that holds the clean `path`: its letter's root for a
    /// drive path, the longest mount root for a POSIX one; empty when no drive holds it.
    static std::string RootOf(const std::vector<Drive>& drives, const std::string& path);

    /// The rows of a list open at the clean `folder` whose drive root is `root`, the sub-folders'
    /// names already ordered.
    static std::vector<FolderRow> RowsFor(const std::string& root, const std::string& folder,
                                          const std::vector<std::string>& subFolders);

    /// The visible sub-folders of `folder` in the collator's order; none when it cannot be read.
    static std::vector<std::string> SortedSubFolders(FolderSystem& folders, const TextCollator& collator,
                                                     const std::string& folder, std::stop_token stop = {});

    /// Whether two clean paths name the same folder: drive paths compared without regard to case.
    static bool SameFolder(const std::string& a, const std::string& b);

private:
    bool Enter(const std::string& folder);
    bool Lists(const std::string& root) const;
    void Fill();

    FolderSystem& m_folders;
    const TextCollator& m_collator;
    std::vector<Drive> m_drives;
    std::string m_directory;
    std::string m_selectedDrive;
    std::vector<FolderRow> m_rows;
    std::size_t m_openRow = 0;
    bool m_subFoldersApart = false;
    std::string m_awaitedFolder;
    std::uint64_t m_opening = 0;
};

/// The threads on which a navigator reads sub-folders: each reading makes those before it
/// unwanted, so they are asked to stop when it starts, and those that have ended are joined then.
/// All are asked to stop and waited for by `StopAll` and when this goes.
class SubFolderReaders
{
public:
    SubFolderReaders() = default;
    SubFolderReaders(const SubFolderReaders&) = delete;
    SubFolderReaders& operator=(const SubFolderReaders&) = delete;
    ~SubFolderReaders() { StopAll(); }

    /// Runs `read` on a thread of its own, with the token that asks it to stop.
    void Start(std::function<void(std::stop_token)> read);
    void StopAll();

private:
    std::vector<std::jthread> m_threads;
    std::shared_ptr<std::atomic<int>> m_running = std::make_shared<std::atomic<int>>(0);
};

/// The names of the visible files of `folder` in the collator's order, for the select-folder
/// dialog's file list.
std::vector<std::string> SortedFileNames(FolderSystem& folders, const TextCollator& collator,
                                         const std::string& folder);

/// The text of the select-folder dialog's drive item for `drive`: a drive letter in lower case
/// and a colon (the root itself where there are no letters), then, for fixed, CD-ROM and RAM
/// drives, a blank and the volume label in square brackets, and for network drives a blank and
/// the share.
std::string ClassicDriveText(const Drive& drive);

} // namespace pellamy

#endif
