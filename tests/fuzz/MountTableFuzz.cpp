// SPDX-License-Identifier: GPL-3.0-or-later
// The mount-table parser: any text parses, lines written the way the kernel writes them read back
// field for field with their octal escapes undone, and the drives made from any table have
// absolute, distinct, sorted roots with "/" among them.
#include "platform/posix/MountTable.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {

// A field as the kernel writes it: blanks, tabs, line ends and backslashes as three-digit octal
// escapes; other bytes escaped at random too, as a reader must undo any escape.
std::string Escaped(const std::string& field, FuzzedDataProvider& input)
{
    std::string out;
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\' || input.ConsumeIntegralInRange(0, 7) == 0) {
            out += '\\';
            out += static_cast<char>('0' + (byte >> 6));
            out += static_cast<char>('0' + ((byte >> 3) & 7));
            out += static_cast<char>('0' + (byte & 7));
        } else {
            out += c;
        }
    }
    return out;
}

std::string Field(FuzzedDataProvider& input, const char* fallback)
{
    std::string field = input.ConsumeRandomLengthString(24);
    return field.empty() ? fallback : field;
}

void CheckDrives(const std::vector<pellamy::MountRecord>& mounts)
{
    unsigned probes = 0;
    const auto drives = pellamy::DrivesFromMounts(mounts, [&probes](const pellamy::MountRecord& m) {
        ++probes;
        return pellamy::BlockDeviceFacts{m.Minor % 2 == 1, m.Source};
    });
    bool root = false;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        PELLAMY_FUZZ_CHECK(!drives[i].Root.empty() && drives[i].Root.front() == '/');
        PELLAMY_FUZZ_CHECK(i == 0 || drives[i - 1].Root < drives[i].Root);
        root = root || drives[i].Root == "/";
        const pellamy::Drive* holder = pellamy::DriveOfPath(drives, drives[i].Root);
        PELLAMY_FUZZ_CHECK(holder == &drives[i]);
    }
    PELLAMY_FUZZ_CHECK(root);
    PELLAMY_FUZZ_CHECK(probes <= mounts.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pellamy;
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        // Any text at all.
        const std::string text = input.ConsumeRemainingBytesAsString();
        const std::vector<MountRecord> mounts = ParseMountInfo(text);
        PELLAMY_FUZZ_CHECK(mounts.size() <=
                           static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        CheckDrives(mounts);
        return 0;
    }

    // Lines in the kernel's form: id, parent, major:minor, root, mount point, options, optional
    // fields, "-", type, source, super options.
    std::vector<MountRecord> written;
    std::string text;
    while (input.remaining_bytes() > 0 && written.size() < 16) {
        MountRecord m;
        m.Major = input.ConsumeIntegralInRange(0u, 4095u);
        m.Minor = input.ConsumeIntegralInRange(0u, 1048575u);
        m.Root = Field(input, "/");
        m.MountPoint = Field(input, "/mnt");
        m.FsType = Field(input, "ext4");
        m.Source = Field(input, "/dev/sda1");
        m.SuperOptions = Field(input, "rw");
        if (input.ConsumeBool()) {
            m.MountPoint.insert(0, "/");
        }
        text += std::to_string(written.size() + 20) + " 1 " + std::to_string(m.Major) + ":" +
                std::to_string(m.Minor) + " " + Escaped(m.Root, input) + " " + Escaped(m.MountPoint, input) +
                " rw,relatime";
        const int optional = input.ConsumeIntegralInRange(0, 2);
        for (int k = 0; k < optional; ++k) {
            text += " shared:" + std::to_string(k + 1);
        }
        text += " - " + Escaped(m.FsType, input) + " " + Escaped(m.Source, input) + " " +
                Escaped(m.SuperOptions, input) + "\n";
        written.push_back(std::move(m));
    }
    const std::vector<MountRecord> read = ParseMountInfo(text);
    PELLAMY_FUZZ_CHECK(read.size() == written.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        PELLAMY_FUZZ_CHECK(read[i].Major == written[i].Major && read[i].Minor == written[i].Minor);
        PELLAMY_FUZZ_CHECK(read[i].Root == written[i].Root);
        PELLAMY_FUZZ_CHECK(read[i].MountPoint == written[i].MountPoint);
        PELLAMY_FUZZ_CHECK(read[i].FsType == written[i].FsType);
        PELLAMY_FUZZ_CHECK(read[i].Source == written[i].Source);
        PELLAMY_FUZZ_CHECK(read[i].SuperOptions == written[i].SuperOptions);
    }
    CheckDrives(read);
    return 0;
}
