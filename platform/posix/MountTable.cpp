// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/MountTable.h"

#include <algorithm>
#include <array>
#include <dirent.h>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tuple>
#include <utility>

namespace pellamy {
namespace {

bool IsOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// udev names the links of /dev/disk/by-label with "\x20"-style escapes for blanks and slashes.
std::string UnescapeUdevName(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && HexValue(name[i + 2]) >= 0 &&
            HexValue(name[i + 3]) >= 0) {
            out.push_back(static_cast<char>(HexValue(name[i + 2]) * 16 + HexValue(name[i + 3])));
            i += 3;
        } else {
            out.push_back(name[i]);
        }
    }
    return out;
}

std::vector<std::string_view> SplitBlanks(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && line[pos] == ' ') {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < line.size() && line[pos] != ' ') {
            ++pos;
        }
        if (pos > start) {
            fields.push_back(line.substr(start, pos - start));
        }
    }
    return fields;
}

bool ParseUnsigned(std::string_view text, unsigned& value)
{
    if (text.empty() || text.size() > 9) {
        return false;
    }
    unsigned v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    value = v;
    return true;
}

bool IsAtOrUnder(std::string_view path, std::string_view folder)
{
    return path == folder || (path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
                              path[folder.size()] == '/');
}

// Folders of the system's own plumbing: nothing a user browses as a drive lives there.
bool IsSystemPlace(std::string_view mountPoint)
{
    if (IsAtOrUnder(mountPoint, "/run/media")) {
        return false;
    }
    constexpr std::array<std::string_view, 4> kPlaces{"/proc", "/sys", "/dev", "/run"};
    return std::any_of(kPlaces.begin(), kPlaces.end(),
                       [&](std::string_view place) { return IsAtOrUnder(mountPoint, place); });
}

bool IsPseudoFileSystem(std::string_view type)
{
    // squashfs and overlay hold package images and container layers rather than user data.
    static const std::set<std::string_view> kPseudo{
        "proc",     "sysfs",   "devtmpfs",        "devpts",      "cgroup",     "cgroup2",    "securityfs",
        "debugfs",  "tracefs", "configfs",        "fusectl",     "mqueue",     "hugetlbfs",  "pstore",
        "bpf",      "autofs",  "binfmt_misc",     "efivarfs",    "selinuxfs",  "rpc_pipefs", "nsfs",
        "squashfs", "overlay", "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "rootfs",     "none"};
    return kPseudo.count(type) != 0;
}

bool IsRemoteFileSystem(std::string_view type)
{
    static const std::set<std::string_view> kRemote{"nfs",   "nfs4",  "cifs",       "smb3",
                                                    "smbfs", "sshfs", "fuse.sshfs", "9p"};
    return kRemote.count(type) != 0;
}

bool IsDeviceSource(std::string_view source)
{
    return source.size() > 5 && source.substr(0, 5) == "/dev/";
}

// A mount whose root is not the whole file system is a bind mount of a sub-folder, except for a
// btrfs subvolume, whose mount names the same folder in its "subvol=" option.
bool IsSubFolderBind(const MountRecord& m)
{
    if (m.Root == "/") {
        return false;
    }
    if (m.FsType == "btrfs") {
        const std::string option = "subvol=" + m.Root;
        std::string_view options = m.SuperOptions;
        std::size_t pos = 0;
        while (pos <= options.size()) {
            const std::size_t comma = std::min(options.find(',', pos), options.size());
            if (options.substr(pos, comma - pos) == option) {
                return false;
            }
            pos = comma + 1;
        }
    }
    return true;
}

DriveKind KindOf(const MountRecord& m, const BlockDeviceFacts& facts)
{
    if (IsRemoteFileSystem(m.FsType)) {
        return DriveKind::Remote;
    }
    if (m.FsType == "iso9660" || m.FsType == "udf") {
        return DriveKind::CdRom;
    }
    if (m.FsType == "tmpfs" || m.FsType == "ramfs" || m.Source.rfind("/dev/zram", 0) == 0) {
        return DriveKind::RamDisk;
    }
    if (IsDeviceSource(m.Source)) {
        return facts.Removable ? DriveKind::Removable : DriveKind::Fixed;
    }
    return DriveKind::Unknown;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The device numbers of a mount's block device. File systems such as btrfs report an anonymous
// device in mountinfo; the device node of the mount source then gives the real one.
bool DeviceNumbers(const MountRecord& m, dev_t& device)
{
    if (m.Major != 0) {
        device = makedev(m.Major, m.Minor);
        return true;
    }
    struct stat st
    {};
    if (::stat(m.Source.c_str(), &st) == 0 && S_ISBLK(st.st_mode)) {
        device = st.st_rdev;
        return true;
    }
    return false;
}

// The removable flag belongs to the whole disk; a partition finds it one folder up.
bool IsRemovableDevice(dev_t device)
{
    const std::string base =
        "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
    struct stat st
    {};
    const bool partition = ::stat((base + "/partition").c_str(), &st) == 0;
    const std::string flag = ReadWholeFile(base + (partition ? "/../removable" : "/removable"));
    return !flag.empty() && flag[0] == '1';
}

std::map<dev_t, std::string> ReadDeviceLabels()
{
    std::map<dev_t, std::string> labels;
    const std::string folder = "/dev/disk/by-label/";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return labels;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, ::closedir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        struct stat st
        {};
        if (::stat((folder + entry->d_name).c_str(), &st) == 0 && S_ISBLK(st.st_mode)) {
            labels.emplace(st.st_rdev, UnescapeUdevName(name));
        }
    }
    return labels;
}

} // namespace

std::string UnescapeMountField(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                            (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

std::vector<MountRecord> ParseMountInfo(std::string_view text)
{
    std::vector<MountRecord> mounts;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        const std::vector<std::string_view> fields = SplitBlanks(text.substr(pos, end - pos));
        pos = end + 1;
        // id, parent, major:minor, root, mount point, options, optional fields..., "-", type,
        // source, super options.
        const auto separator = std::find(fields.begin() + std::min<std::size_t>(fields.size(), 6),
                                         fields.end(), std::string_view("-"));
        if (fields.size() < 6 || separator == fields.end() || fields.end() - separator < 3) {
            continue;
        }
        const std::string_view device = fields[2];
        const std::size_t colon = device.find(':');
        MountRecord m;
        if (colon == std::string_view::npos || !ParseUnsigned(device.substr(0, colon), m.Major) ||
            !ParseUnsigned(device.substr(colon + 1), m.Minor)) {
            continue;
        }
        m.Root = UnescapeMountField(fields[3]);
        m.MountPoint = UnescapeMountField(fields[4]);
        m.FsType = UnescapeMountField(separator[1]);
        m.Source = UnescapeMountField(separator[2]);
        if (fields.end() - separator > 3) {
            m.SuperOptions = UnescapeMountField(separator[3]);
        }
        mounts.push_back(std::move(m));
    }
    return mounts;
}

std::vector<Drive> DrivesFromMounts(const std::vector<MountRecord>& mounts, const BlockDeviceProbe& probe)
{
    // A later mount on the same mount point hides the earlier ones.
    std::map<std::string, std::size_t> topOf;
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        topOf[mounts[i].MountPoint] = i;
    }
    std::set<std::tuple<unsigned, unsigned, std::string>> seen;
    std::vector<Drive> drives;
    bool haveRoot = false;
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        const MountRecord& m = mounts[i];
        if (topOf[m.MountPoint] != i || m.MountPoint.empty() || m.MountPoint.front() != '/') {
            continue;
        }
        const bool isRoot = m.MountPoint == "/";
        if (!isRoot && (IsSystemPlace(m.MountPoint) || IsPseudoFileSystem(m.FsType) || IsSubFolderBind(m))) {
            continue;
        }
        // Anonymous devices (major 0) are unique per mount except for the same file system
        // mounted again; the source tells those apart from one another.
        if (!seen.emplace(m.Major, m.Minor, m.Major == 0 ? m.Root + '\n' + m.Source : m.Root).second &&
            !isRoot) {
            continue;
        }
        const BlockDeviceFacts facts = (IsDeviceSource(m.Source) && probe) ? probe(m) : BlockDeviceFacts{};
        Drive drive{m.MountPoint, KindOf(m, facts), facts.Label, m.Source};
        if (isRoot) {
            haveRoot = true;
            if (drive.Kind == DriveKind::RamDisk || drive.Kind == DriveKind::Unknown) {
                drive.Kind = DriveKind::Fixed;
            }
        }
        drives.push_back(std::move(drive));
    }
    if (!haveRoot) {
        drives.push_back(Drive{"/", DriveKind::Fixed, {}, {}});
    }
    std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) { return a.Root < b.Root; });
    return drives;
}

std::vector<Drive> ReadMountedDrives()
{
    const std::string text = ReadWholeFile("/proc/self/mountinfo");
    std::map<dev_t, std::string> labels;
    bool labelsRead = false;
    const BlockDeviceProbe probe = [&](const MountRecord& m) {
        BlockDeviceFacts facts;
        dev_t device{};
        if (!DeviceNumbers(m, device)) {
            return facts;
        }
        if (!labelsRead) {
            labels = ReadDeviceLabels();
            labelsRead = true;
        }
        facts.Removable = IsRemovableDevice(device);
        if (const auto it = labels.find(device); it != labels.end()) {
            facts.Label = it->second;
        }
        return facts;
    };
    return DrivesFromMounts(ParseMountInfo(text), probe);
}

} // namespace pellamy
