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

// The bytes of every path together: the texts below reserve their size once, since a list of a
// million files would otherwise be copied each time its buffer grows.
std::size_t PathBytes(const std::vector<std::string>& paths, std::size_t perPath)
{
    std::size_t bytes = 0;
    for (const std::string& path : paths) {
        bytes += path.size() + perPath;
    }
    return bytes;
}

void AppendFileList(std::string& text, const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) {
        std::string_view kept(path);
        if (!kept.empty() && kept.back() == '/') {
            kept.remove_suffix(1);
        }
        text += kept;
        text.push_back('\0');
    }
    text.push_back('\0');
}

} // namespace

std::string FileListText(const std::vector<std::string>& paths)
{
    std::string text;
    text.reserve(PathBytes(paths, 1) + 1);
    AppendFileList(text, paths);
    return text;
}

std::string DropFilesBlock(const std::vector<std::string>& paths, DropListNames names)
{
    std::string block;
    // UTF-16 names take at least two bytes for each byte of an ASCII name.
    const std::size_t unitBytes = names == DropListNames::Utf16 ? 2 : 1;
    block.reserve(kDropFilesHeaderSize + unitBytes * (PathBytes(paths, 1) + 1));
    AppendLittleEndian32(block, static_cast<std::uint32_t>(kDropFilesHeaderSize));
    AppendLittleEndian32(block, 0); // drop point x
    AppendLittleEndian32(block, 0); // drop point y
    AppendLittleEndian32(block, 0); // not in the non-client area
    AppendLittleEndian32(block, names == DropListNames::Utf16 ? 1 : 0);
    if (names == DropListNames::Bytes) {
        AppendFileList(block, paths);
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
    text.reserve(PathBytes(paths, 2));
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
    list.reserve(PathBytes(paths, std::string_view("file://\r\n").size()));
    for (const std::string& path : paths) {
        list += FileUri(AbsolutePath(path, workingFolder));
        list += "\r\n";
    }
    return list;
}

std::string GnomeCopiedFiles(const std::vector<std::string>& paths, std::string_view workingFolder)
{
    std::string list = "copy";
    list.reserve(list.size() + PathBytes(paths, std::string_view("\nfile://").size()));
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
    // Built in place: a braced list would copy every target's bytes once more.
    std::vector<ClipboardTarget> targets;
    targets.reserve(5);
    targets.push_back({std::string(kUriListTarget), UriList(paths, workingFolder)});
    targets.push_back({std::string(kGnomeCopiedFilesTarget), GnomeCopiedFiles(paths, workingFolder)});
    targets.push_back({std::string(kKdeCutSelectionTarget), std::string(kKdeCopySelection)});
    targets.push_back({std::string(kTextTarget), PathsTextForm(paths)});
    targets.push_back({std::string(kDropFilesTarget), DropFilesBlock(paths)});
    return targets;
}

} // namespace pellamy
