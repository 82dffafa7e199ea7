// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of sizes and attribute letters, and the totals line made of them.
#include "lists/DisplayTexts.h"

#include <charconv>
#include <cstdio>

namespace pellamy {
namespace {

constexpr std::uint64_t kKilo = 1024;
constexpr std::uint64_t kMega = 1'048'576;
constexpr std::uint64_t kGiga = 1'073'741'824;

} // namespace

ShownSize ShowSize(ByteCount size, bool forceMegabytes)
{
    ShownSize shown;
    std::uint64_t divisor = kKilo;
    if (forceMegabytes) {
        divisor = kMega;
        shown.Unit = SizeUnit::Megabytes;
    } else if (size > kGiga) {
        divisor = kGiga;
        shown.Unit = SizeUnit::Gigabytes;
    } else if (size > kMega) {
        divisor = kMega;
        shown.Unit = SizeUnit::Megabytes;
    }
    const ByteCount whole = size / divisor;
    const auto rest = static_cast<std::uint64_t>(size % divisor); // below 2^30: rest * 100 fits
    std::uint64_t hundredths = rest * 100 / divisor;
    if ((rest * 100 % divisor) * 2 >= divisor) {
        ++hundredths;
    }
    shown.Hundredths = whole * 100 + hundredths;
    return shown;
}

std::string SizeText(ByteCount size, bool forceMegabytes, const RegionalSettings& settings)
{
    const ShownSize shown = ShowSize(size, forceMegabytes);
    const auto hundredths = static_cast<unsigned>(shown.Hundredths % 100);
    std::string out = ByteCountDigits(shown.Hundredths / 100);
    if (hundredths != 0) {
        out += settings.DecimalSeparator;
        out += static_cast<char>('0' + hundredths / 10);
        if (hundredths % 10 != 0) {
            out += static_cast<char>('0' + hundredths % 10);
        }
    }
    switch (shown.Unit) {
    case SizeUnit::Kilobytes:
        out += " KB";
        break;
    case SizeUnit::Megabytes:
        out += " MB";
        break;
    case SizeUnit::Gigabytes:
        out += " GB";
        break;
    }
    return out;
}

std::string AttributeLetters(std::uint32_t attributes)
{
    std::string out;
    if ((attributes & Attr::kReadOnly) != 0) {
        out += 'R';
    }
    if ((attributes & Attr::kHidden) != 0) {
        out += 'H';
    }
    if ((attributes & Attr::kSystem) != 0) {
        out += 'S';
    }
    if ((attributes & Attr::kArchive) != 0) {
        out += 'A';
    }
    if ((attributes & Attr::kCompressed) != 0) {
        out += 'C';
    }
    return out;
}

std::string TotalsLine(std::uint32_t folderAttributes, std::int32_t totalFiles, ByteCount totalSize,
                       const RegionalSettings& settings)
{
    std::string line = "Folder attributes:";
    line += AttributeLetters(folderAttributes);
    line += "       TOTALS:    Files:";
    line += std::to_string(totalFiles);
    line += "   Size:";
    line += SizeText(totalSize, false, settings);
    line += ' ';
    return line;
}

} // namespace pellamy
