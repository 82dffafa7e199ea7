// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanFolder.h"

#include "scan/CaseFold.h"

#include <limits>

namespace pellamy {

std::uint32_t AttributeFilterMask(const AttributeFilterBoxes& boxes)
{
    std::uint32_t mask = 0;
    if (boxes.roFile) {
        mask |= Attr::kReadOnly;
    }
    if (boxes.hidFile) {
        mask |= Attr::kHidden;
    }
    if (boxes.sysFile) {
        mask |= Attr::kSystem;
    }
    if (boxes.arcFile) {
        mask |= Attr::kArchive;
    }
    return mask;
}

std::uint32_t FindLevelExclusion(bool includeSystemFiles)
{
    const std::uint32_t always = Attr::kDirectory | Attr::kVolumeLabel;
    return includeSystemFiles ? always : always | Attr::kSystem;
}

bool IsAccepted(std::uint32_t attributes, const ScanOptions& options)
{
    if ((attributes & FindLevelExclusion(options.ISF)) != 0) {
        return false;
    }
    const std::uint32_t mask = options.AttrChk ? AttributeFilterMask(options.Boxes) : kDefaultFilterMask;
    return (attributes & mask) != 0;
}

NamePattern NamePattern::AllFiles()
{
    NamePattern pattern;
    pattern.m_kind = Kind::Everything;
    pattern.m_text = "*.*";
    return pattern;
}

NamePattern NamePattern::OfExtension(std::string_view extension)
{
    NamePattern pattern;
    pattern.m_text = "*" + std::string(extension);
    if (extension.empty()) {
        pattern.m_kind = Kind::NoExtension;
        return pattern;
    }
    pattern.m_kind = Kind::Suffix;
    pattern.m_foldedTail = FoldCase(extension);
    for (const char c : pattern.m_foldedTail) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            pattern.m_asciiTail = false;
        }
    }
    return pattern;
}

bool NamePattern::Matches(std::string_view name) const
{
    if (m_kind == Kind::NoExtension) {
        // As the summary groups names: without a "." a name has no extension.
        return name.find('.') == std::string_view::npos;
    }
    if (m_kind != Kind::Suffix) {
        return m_kind == Kind::Everything;
    }
    if (m_asciiTail) {
        // Folding maps ASCII to ASCII and everything else to non-ASCII, so an ASCII tail can be
        // compared against the raw name's last bytes without folding the whole name.
        if (name.size() < m_foldedTail.size()) {
            return false;
        }
        const std::string_view end = name.substr(name.size() - m_foldedTail.size());
        for (std::size_t i = 0; i < end.size(); ++i) {
            char c = end[i];
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c + 0x20);
            }
            if (c != m_foldedTail[i]) {
                return false;
            }
        }
        return true;
    }
    // Folding can change a character's byte length, so the name is folded as a whole rather
    // than compared byte for byte against the raw name.
    const std::string folded = FoldCase(name);
    return folded.size() >= m_foldedTail.size() &&
           std::string_view(folded).substr(folded.size() - m_foldedTail.size()) == m_foldedTail;
}

std::string WithTrailingSlash(std::string_view folder)
{
    std::string out(folder);
    if (out.empty() || out.back() != '/') {
        out.push_back('/');
    }
    return out;
}

std::int32_t ScanFolder(DirectorySource& source, const std::string& folder, const NamePattern& pattern,
                        const ScanOptions& options, ScanResults& results, std::error_code* error,
                        const std::function<void(std::uint64_t)>& progress)
{
    ScanFolder(
        source, folder, pattern, options,
        [&results](const DirectoryEntryView& e) {
            results.push_back(FileEntry{std::string(e.Name), e.Attributes, e.CreationTime, e.LastAccessTime,
                                        e.LastWriteTime, e.Size});
        },
        error, progress);
    const std::size_t n = results.size();
    constexpr std::size_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(n > kMax ? kMax : n);
}

bool IsFolderPath(DirectorySource& source, const std::string& path)
{
    return (source.ReadAttributes(path) & Attr::kDirectory) != 0;
}

std::string FolderPartOf(std::string_view path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    return std::string(path.substr(0, slash + 1));
}

} // namespace pellamy
