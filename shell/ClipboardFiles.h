// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_CLIPBOARDFILES_H
#define PELLAMY_SHELL_CLIPBOARDFILES_H

#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// One clipboard format offered for the files: its MIME type and its exact bytes.
struct ClipboardTarget
{
    std::string mimeType;
    std::string bytes;

    bool operator==(const ClipboardTarget&) const = default;
};

/// The formats under which files are offered. File managers read the URI list (GNOME's own list
/// for Nautilus, Nemo, Caja and Thunar, with KDE's cut marker for Dolphin); editors read the text;
/// receivers that understand the drop-list block read the last.
inline constexpr std::string_view kUriListTarget = "text/uri-list";
inline constexpr std::string_view kGnomeCopiedFilesTarget = "x-special/gnome-copied-files";
inline constexpr std::string_view kKdeCutSelectionTarget = "application/x-kde-cutselection";
inline constexpr std::string_view kTextTarget = "text/plain";
/// The format under which a page is offered to rich editors, beside its markup as plain text.
inline constexpr std::string_view kHtmlTarget = "text/html";
inline constexpr std::string_view kDropFilesTarget = "application/x-pellamy-dropfiles";

/// The size of the drop-list header, which is also the offset of the file list within the block.
inline constexpr std::size_t kDropFilesHeaderSize = 20;

/// The file list of the drop list: per path, in order, the path with one trailing "/" removed,
/// then a NUL; after the last path one more NUL. Its length is the sum of the path lengths plus
/// the number of paths plus one.
std::string FileListText(const std::vector<std::string>& paths);

/// How the drop list writes its names: as the bytes they are (where names are bytes), or in
/// UTF-16 (on Windows, where an 8-bit name in the ANSI code page would lose every character
/// outside it).
enum class DropListNames { Bytes, Utf16 };

/// The drop-list block: a 20-byte header whose first 32-bit field (the offset of the file list) is
/// 20 in little-endian order, whose wide-names flag (the fifth field) is 1 for UTF-16 names and
/// whose other fields (drop point x and y, non-client flag) are 0, followed by the file list.
/// Bytes: `FileListText(paths)`, names as they are. Utf16: the same list in UTF-16 little-endian,
/// each name converted from UTF-8 (WTF-8) with one trailing "/" or "\" removed, each NUL and the
/// final one two bytes wide.
std::string DropFilesBlock(const std::vector<std::string>& paths, DropListNames names = DropListNames::Bytes);

/// The paths as text: each path unchanged, followed by CR LF, the last one too.
std::string PathsTextForm(const std::vector<std::string>& paths);

/// `path` made absolute: unchanged when it begins with "/", else `workingFolder` (with a "/"
/// added when it has none) followed by `path`. Nothing is resolved on the disk.
std::string AbsolutePath(std::string_view path, std::string_view workingFolder);

/// The file URI of an absolute path: "file://" followed by the path's bytes, each kept when it is
/// an unreserved ASCII character (letters, digits, "-", ".", "_", "~") or "/", else written as
/// "%" and two upper-case hex digits. Bytes that are not UTF-8 survive as they are.
std::string FileUri(std::string_view absolutePath);

/// The URI list: one file URI a line (relative paths taken against `workingFolder`), each line
/// followed by CR LF.
std::string UriList(const std::vector<std::string>& paths, std::string_view workingFolder);

/// GNOME's list of copied files: "copy", then for each path "\n" and its file URI, with no
/// newline at the end (a list with an empty line is refused on paste).
std::string GnomeCopiedFiles(const std::vector<std::string>& paths, std::string_view workingFolder);

/// KDE's cut marker for a copy: "0" (a "1" would mark the files as cut, to be moved on paste).
inline constexpr std::string_view kKdeCopySelection = "0";

/// Every format for `paths` on the clipboard at once, in the order of the constants above; empty
/// when there is no path, so the caller leaves the clipboard as it was. Relative paths are taken
/// against `workingFolder` in the URI forms only; the text and the drop list carry them as given.
std::vector<ClipboardTarget> FileClipboardTargets(const std::vector<std::string>& paths,
                                                  std::string_view workingFolder);

} // namespace pellamy

#endif
