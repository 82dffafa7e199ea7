// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ClipboardFiles.h"

#include "scan/Utf16.h"

#include <cstdint>

namespace pellamy {
namespace {

void AppendLittleEndian32(std::string& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

bool KeptInUri(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/';
}

} // namespace

std::string FileListText(const std::vector<std::string>& paths)
{
    std::string text;
    for (const std::string& path : paths) {
        std::string_view kept(path);
        if (!kept.empty() && kept.back() == '/') {
            kept.remove_suffix(1);
        }
        text += kept;
        text.push_back('\0');
    }
    text.push_back('\0');
    return text;
}

std::string DropFilesBlock(const std::vector<std::string>& paths, DropListNames names)
{
    std::string block;
    AppendLittleEndian32(block, static_cast<std::uint32_t>(kDropFilesHeaderSize));
    AppendLittleEndian32(block, 0); // drop point x
    AppendLittleEndian32(block, 0); // drop point y
    AppendLittleEndian32(block, 0); // not in the non-client area
    AppendLittleEndian32(block, names == DropListNames::Utf16 ? 1 : 0);
    if (names == DropListNames::Bytes) {
        block += FileListText(paths);
        return block;
    }
    const auto appendUnit = [&block](char16_t unit) {
        block.push_back(static_cast<char>(unit & 0xFF));
        block.push_back(static_cast<char>(unit >> 8));
    };
    for (const std::string& path : paths) {
        std::string_view kept(path);
        if (!kept.empty() && (kept.back() == '/' || kept.back() == '\\')) {
            kept.remove_suffix(1);
        }
        for (const char16_t unit : Utf16FromWtf8(kept)) {
            appendUnit(unit);
        }
        appendUnit(0);
    }
    appendUnit(0);
    return block;
}

std::string PathsTextForm(const std::vector<std::string>& paths)
{
    std::string text;
    for (const std::string& path : paths) {
        text += path;
        text += "\r\n";
    }
    return text;
}

std::string AbsolutePath(std::string_view path, std::string_view workingFolder)
{
    if (!path.empty() && path.front() == '/') {
        return std::string(path);
    }
    std::string absolute(workingFolder);
    if (absolute.empty() || absolute.back() != '/') {
        absolute.push_back('/');
    }
    absolute += path;
    return absolute;
}

std::string FileUri(std::string_view absolutePath)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    uri.reserve(uri.size() + absolutePath.size());
    for (const char ch : absolutePath) {
        const auto byte = static_cast<unsigned char>(ch);
        if (KeptInUri(byte)) {
            uri.push_back(ch);
        } else {
            uri.push_back('%');
            uri.push_back(kHex[byte >> 4]);
            uri.push_back(kHex[byte & 0x0F]);
        }
    }
    return uri;
}

std::string UriList(const std::vector<std::string>& paths, std::string_view workingFolder)
{
    std::string list;
    for (const std::string& path : paths) {
        list += FileUri(AbsolutePath(path, workingFolder));
        list += "\r\n";
    }
    return list;
}

std::string GnomeCopiedFiles(const std::vector<std::string>& paths, std::string_view workingFolder)
{
    std::string list = "copy";
    for (const std::string& path : paths) {
        list.push_back('\n');
        list += FileUri(AbsolutePath(path, workingFolder));
    }
    return list;
}

std::vector<ClipboardTarget> FileClipboardTargets(const std::vector<std::string>& paths,
                                                  std::string_view workingFolder)
{
    if (paths.empty()) {
        return {};
    }
    return {
        {std::string(kUriListTarget), UriList(paths, workingFolder)},
        {std::string(kGnomeCopiedFilesTarget), GnomeCopiedFiles(paths, workingFolder)},
        {std::string(kKdeCutSelectionTarget), std::string(kKdeCopySelection)},
        {std::string(kTextTarget), PathsTextForm(paths)},
        {std::string(kDropFilesTarget), DropFilesBlock(paths)},
    };
}

} // namespace pellamy
