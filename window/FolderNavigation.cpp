// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/FolderNavigation.h"

#include <algorithm>

namespace pellamy {
namespace {

bool IsDriveLetterPath(std::string_view path)
{
    if (path.size() < 2 || path[1] != ':') {
        return false;
    }
    const char letter = path[0];
    return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The steps of `path`, split at each of `separators`, with "." dropped and ".." taking back the
// step before it (never above the root).
std::vector<std::string_view> Steps(std::string_view path, std::string_view separators)
{
    std::vector<std::string_view> steps;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find_first_of(separators, start), path.size());
        const std::string_view step = path.substr(start, end - start);
        if (step == "..") {
            if (!steps.empty()) {
                steps.pop_back();
            }
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    return steps;
}

std::string Join(std::string root, const std::vector<std::string_view>& steps)
{
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i > 0) {
            root += '/';
        }
        root += steps[i];
    }
    return root;
}

std::string JoinFolder(const std::string& folder, std::string_view name)
{
    std::string joined = folder;
    if (joined.empty() || joined.back() != '/') {
        joined += '/';
    }
    joined += name;
    return joined;
}

// The parent of the clean `path`; `path` itself for a root.
std::string ParentOf(const std::string& path, const std::string& root)
{
    if (path.size() <= root.size()) {
        return path;
    }
    const std::size_t slash = path.rfind('/');
    return slash + 1 <= root.size() ? root : path.substr(0, slash);
}

std::vector<std::string> SortedNames(std::vector<std::string> names, const TextCollator& collator)
{
    const std::vector<std::string_view> views(names.begin(), names.end());
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const std::size_t index : collator.SortedOrder(views)) {
        sorted.push_back(std::move(names[index]));
    }
    return sorted;
}

} // namespace

FolderNavigation::FolderNavigation(FolderSystem& folders, const TextCollator& collator)
    : m_folders(folders)
    , m_collator(collator)
    , m_drives(folders.MountedDrives())
{
    m_directory = CleanPath(m_folders.WorkingFolder());
    if (m_directory.empty()) {
        // The working folder has gone: the first drive's root stands in for it.
        m_directory = m_drives.empty() ? std::string("/") : m_drives.front().Root;
    }
    const std::vector<Drive> listed = ListedDrives();
    m_selectedDrive = listed.empty() ? std::string() : listed.front().Root;
    Fill();
}

std::vector<Drive> FolderNavigation::ListedDrives() const
{
    std::vector<Drive> listed;
    std::copy_if(m_drives.begin(), m_drives.end(), std::back_inserter(listed),
                 [](const Drive& drive) { return IsListedKind(drive.Kind); });
    return listed;
}

bool FolderNavigation::SetDirectory(std::string_view path)
{
    const std::string target = CleanPath(path);
    if (target.empty() || SameFolder(target, m_directory)) {
        return false;
    }
    const std::string targetRoot = RootOf(m_drives, target);
    if (targetRoot.empty()) {
        // A POSIX path where the drives have letters, or the other way round.
        return false;
    }
    if (!SameFolder(targetRoot, RootOf(m_drives, m_directory)) && Lists(targetRoot) && Enter(targetRoot)) {
        m_selectedDrive = targetRoot;
    }
    if (!Enter(target) && !Enter(m_directory)) {
        // The folder shown has gone: climb to the nearest ancestor that can be entered.
        const std::string root = RootOf(m_drives, m_directory);
        std::string up = m_directory;
        while (up.size() > root.size()) {
            up = ParentOf(up, root);
            if (Enter(up)) {
                break;
            }
        }
        m_directory = up;
    }
    Fill();
    return true;
}

FolderNavigation::DrivePick FolderNavigation::PickDrive(const std::string& root)
{
    if (SameFolder(root, m_selectedDrive)) {
        return DrivePick::Same;
    }
    if (Enter(root)) {
        Fill();
        m_selectedDrive = root;
        return DrivePick::Entered;
    }
    const std::string current = RootOf(m_drives, m_directory);
    if (Lists(current)) {
        m_selectedDrive = current;
    }
    return DrivePick::Refused;
}

void FolderNavigation::RefreshDrives()
{
    m_drives = m_folders.MountedDrives();
    const std::string current = RootOf(m_drives, m_directory);
    if (Lists(current)) {
        m_selectedDrive = current;
    } else if (!Lists(m_selectedDrive)) {
        const std::vector<Drive> listed = ListedDrives();
        m_selectedDrive = listed.empty() ? std::string() : listed.front().Root;
    }
}

bool FolderNavigation::IsListedKind(DriveKind kind)
{
    return kind == DriveKind::Removable || kind == DriveKind::Fixed || kind == DriveKind::Remote ||
           kind == DriveKind::CdRom;
}

std::string FolderNavigation::CleanPath(std::string_view path)
{
    if (IsDriveLetterPath(path)) {
        return Join(std::string{AsciiUpper(path[0]), ':', '/'}, Steps(path.substr(2), "/\\"));
    }
    if (!path.empty() && path.front() == '/') {
        return Join("/", Steps(path, "/"));
    }
    return {};
}

std::string FolderNavigation::RootOf(const std::vector<Drive>& drives, const std::string& path)
{
    if (IsDriveLetterPath(path)) {
        const std::string root = path.substr(0, 2) + '/';
        const bool known = std::any_of(drives.begin(), drives.end(),
                                       [&](const Drive& drive) { return SameFolder(drive.Root, root); });
        return known ? root : std::string();
    }
    const Drive* drive = DriveOfPath(drives, path);
    return drive != nullptr ? drive->Root : std::string();
}

std::vector<FolderRow> FolderNavigation::RowsFor(const std::string& root, const std::string& folder,
                                                 const std::vector<std::string>& subFolders)
{
    std::vector<FolderRow> rows;
    rows.push_back(FolderRow{root, root, 0, FolderRow::Kind::Chain});
    std::string path = root;
    if (folder.size() > root.size()) {
        for (const std::string_view step : Steps(std::string_view(folder).substr(root.size()), "/")) {
            path = JoinFolder(path, step);
            rows.push_back(FolderRow{path, std::string(step), static_cast<int>(rows.size()), FolderRow::Kind::Chain});
        }
    }
    rows.back().Role = FolderRow::Kind::Open;
    const int subDepth = static_cast<int>(rows.size());
    for (const std::string& name : subFolders) {
        rows.push_back(FolderRow{JoinFolder(folder, name), name, subDepth, FolderRow::Kind::Sub});
    }
    return rows;
}

std::vector<std::string> FolderNavigation::SortedSubFolders(FolderSystem& folders, const TextCollator& collator,
                                                            const std::string& folder, std::stop_token stop)
{
    // A folder that cannot be read shows no sub-folders; the list says nothing more of why.
    std::error_code unread;
    FolderListing listing = stop.stop_possible() ? folders.ReadFolderListing(folder, false, unread, stop)
                                                 : folders.ReadFolderListing(folder, false, unread);
    return SortedNames(listing.Folders, collator);
}

bool FolderNavigation::ShowSubFolders(std::uint64_t opening, const std::vector<std::string>& subFolders)
{
    if (opening != m_opening || m_awaitedFolder.empty()) {
        return false;
    }
    m_awaitedFolder.clear();
    const std::string root = m_rows.empty() ? m_directory : m_rows.front().Path;
    m_rows = RowsFor(root, m_directory, subFolders);
    return true;
}

bool FolderNavigation::SameFolder(const std::string& a, const std::string& b)
{
    if (!IsDriveLetterPath(a) || !IsDriveLetterPath(b)) {
        return a == b;
    }
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

bool FolderNavigation::Enter(const std::string& folder)
{
    if (!m_folders.SetWorkingFolder(folder)) {
        return false;
    }
    m_directory = folder;
    return true;
}

bool FolderNavigation::Lists(const std::string& root) const
{
    return std::any_of(m_drives.begin(), m_drives.end(), [&](const Drive& drive) {
        return IsListedKind(drive.Kind) && SameFolder(drive.Root, root);
    });
}

void FolderNavigation::Fill()
{
    // A drive that has left the table still has its letter's root; a POSIX folder outside every
    // mount point hangs from "/".
    std::string root = RootOf(m_drives, m_directory);
    if (root.empty()) {
        root = IsDriveLetterPath(m_directory) ? m_directory.substr(0, 2) + '/' : std::string("/");
    }
    ++m_opening;
    if (m_subFoldersApart) {
        m_awaitedFolder = m_directory;
        m_rows = RowsFor(root, m_directory, {});
    } else {
        m_awaitedFolder.clear();
        m_rows = RowsFor(root, m_directory, SortedSubFolders(m_folders, m_collator, m_directory));
    }
    m_openRow = static_cast<std::size_t>(std::find_if(m_rows.begin(), m_rows.end(), [](const FolderRow& row) {
                                             return row.Role == FolderRow::Kind::Open;
                                         }) - m_rows.begin());
    if (Lists(root)) {
        m_selectedDrive = root;
    }
}

std::vector<std::string> SortedFileNames(FolderSystem& folders, const TextCollator& collator,
                                         const std::string& folder)
{
    std::error_code unread;
    return SortedNames(folders.ReadFolderListing(folder, true, unread).Files, collator);
}

std::string ClassicDriveText(const Drive& drive)
{
    std::string text = drive.Root;
    if (IsDriveLetterPath(text)) {
        const char letter = AsciiUpper(text[0]);
        text = std::string{static_cast<char>(letter - 'A' + 'a'), ':'};
    }
    switch (drive.Kind) {
    case DriveKind::Fixed:
    case DriveKind::CdRom:
    case DriveKind::RamDisk:
        if (!drive.Label.empty()) {
            text += " [" + drive.Label + "]";
        }
        break;
    case DriveKind::Remote:
        if (!drive.Source.empty()) {
            text += " " + drive.Source;
        }
        break;
    case DriveKind::Removable:
    case DriveKind::Unknown:
        break;
    }
    return text;
}

void SubFolderReaders::Start(std::function<void(std::stop_token)> read)
{
    for (std::jthread& thread : m_threads) {
        thread.request_stop();
    }
    if (m_running->load() == 0) {
        m_threads.clear();
    }
    m_running->fetch_add(1);
    m_threads.emplace_back([read = std::move(read), running = m_running](std::stop_token stop) {
        read(stop);
        running->fetch_sub(1);
    });
}

void SubFolderReaders::StopAll()
{
    for (std::jthread& thread : m_threads) {
        thread.request_stop();
    }
    m_threads.clear();
}

} // namespace pellamy
