// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_SCANFOLDER_H
#define PELLAMY_SCAN_SCANFOLDER_H

#include "scan/DirectorySource.h"
#include "scan/FileEntry.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <limits>
#include <stop_token>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace pellamy {

/// The four boxes of the attribute filter bar. At start only `arcFile` is ticked.
struct AttributeFilterBoxes
{
    bool roFile = false;
    bool hidFile = false;
    bool sysFile = false;
    bool arcFile = true;
};

/// What decides which entries a scan accepts: the "Include System Files" box (`ISF`), the
/// "Filter" box (`AttrChk`) and the four attribute boxes.
struct ScanOptions
{
    bool ISF = false;
    bool AttrChk = false;
    AttributeFilterBoxes Boxes;
    /// A request to stop, checked between batches of names (and between folders of a tree); a
    /// scan that stops fails with `std::errc::operation_canceled`.
    std::stop_token Stop;
};

/// The mask of the ticked attribute boxes: read-only 1, hidden 2, system 4, archive 32.
std::uint32_t AttributeFilterMask(const AttributeFilterBoxes& boxes);

/// The mask used when the "Filter" box is off: read-only, hidden, system, volume label, archive.
inline constexpr std::uint32_t kDefaultFilterMask = 47;

/// Attributes for which an entry is passed over before the mask is looked at: folders and volume
/// labels always, system entries too unless `ISF` is on.
std::uint32_t FindLevelExclusion(bool includeSystemFiles);

/// Whether an entry with `attributes` is accepted under `options`.
bool IsAccepted(std::uint32_t attributes, const ScanOptions& options);

/// The names a listing takes: every name ("*.*", the summary's and a double click's pattern), or
/// the names ending in one type row's extension ("*" followed by the extension), matched without
/// regard to case and literally: "*" and "?" inside the extension are ordinary characters, as a
/// name may hold them, so the extension ".*" matches only names ending in ".*". The row without
/// extension gives "*" and matches the names without an extension (no "." at all), the very names
/// that row counts. A default pattern (no listing yet) has an empty text and matches no name.
class NamePattern
{
public:
    NamePattern() = default;

    /// Every name: "*.*".
    static NamePattern AllFiles();
    /// The names of the type row captioned `extension`: "*" followed by it.
    static NamePattern OfExtension(std::string_view extension);

    bool Matches(std::string_view name) const;
    bool MatchesEverything() const { return m_kind == Kind::Everything; }
    /// The pattern as the program writes it: "*.*", or "*" followed by the extension. The
    /// extension ".*" gives the text "*.*" too, so the text names a listing for people but never
    /// decides what matches.
    const std::string& Text() const { return m_text; }

    bool operator==(const NamePattern&) const = default;

private:
    enum class Kind { Nothing, Everything, Suffix, NoExtension };

    Kind m_kind = Kind::Nothing;
    std::string m_text;
    std::string m_foldedTail;
    bool m_asciiTail = true;
};

/// `folder` with one "/" at its end: the form in which the program keeps a folder.
std::string WithTrailingSlash(std::string_view folder);

/// The sink of a scan: offers the pattern's names to the source and hands each entry accepted
/// under the options to `accept`, a callable taking a `const DirectoryEntryView&`, counting them.
/// It is defined here so that the call per entry is made directly, without a type-erased wrapper
/// in between; `progress` is called once per batch of names, where that costs nothing.
template <typename Receive>
class AcceptingSink final : public DirectorySink
{
public:
    AcceptingSink(const NamePattern& pattern, const ScanOptions& options, Receive& accept,
                  const std::function<void(std::uint64_t)>& progress)
        : m_pattern(pattern)
        , m_exclusion(FindLevelExclusion(options.ISF))
        , m_mask(options.AttrChk ? AttributeFilterMask(options.Boxes) : kDefaultFilterMask)
        , m_accept(accept)
        , m_progress(progress)
        , m_stop(options.Stop)
    {}

    bool WantsName(std::string_view name) override { return m_pattern.Matches(name); }

    void Accept(const DirectoryEntryView& entry) override
    {
        // The same test as IsAccepted, with the masks worked out once per scan.
        if ((entry.Attributes & m_exclusion) == 0 && (entry.Attributes & m_mask) != 0) {
            m_accept(entry);
            ++m_count;
        }
    }

    void Progress(std::uint64_t namesRead) override
    {
        if (m_progress) {
            m_progress(namesRead);
        }
    }

    bool StopRequested() const override { return m_stop.stop_requested(); }

    std::int64_t Count() const { return m_count; }

private:
    const NamePattern& m_pattern;
    const std::uint32_t m_exclusion;
    const std::uint32_t m_mask;
    Receive& m_accept;
    const std::function<void(std::uint64_t)>& m_progress;
    const std::stop_token m_stop;
    std::int64_t m_count = 0;
};

/// Scans `folder` for entries matching `pattern` and hands each accepted one to `accept`, in
/// directory order. Folders are never accepted. Returns the number accepted; a folder that does
/// not exist or cannot be read accepts nothing and, if `error` is given, stores the reason there
/// (an enumeration that fails part-way keeps what it accepted before the failure).
/// `progress`, when given, is called now and then with the number of names read so far.
/// `accept` is any callable taking a `const DirectoryEntryView&`.
template <typename Receive>
requires std::invocable<Receive&, const DirectoryEntryView&> std::int32_t
ScanFolder(DirectorySource& source, const std::string& folder, const NamePattern& pattern,
           const ScanOptions& options, Receive&& accept, std::error_code* error = nullptr,
           const std::function<void(std::uint64_t)>& progress = {})
{
    AcceptingSink<std::remove_reference_t<Receive>> sink(pattern, options, accept, progress);
    const std::error_code ec = source.Enumerate(WithTrailingSlash(folder), sink);
    if (error != nullptr) {
        *error = ec;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(sink.Count() > kMax ? kMax : sink.Count());
}

/// The same scan, appending each accepted entry to `results`. Returns the number of entries in
/// `results` afterwards.
std::int32_t ScanFolder(DirectorySource& source, const std::string& folder, const NamePattern& pattern,
                        const ScanOptions& options, ScanResults& results, std::error_code* error = nullptr,
                        const std::function<void(std::uint64_t)>& progress = {});

/// True when the attributes of `path` carry the directory bit. A path whose attributes cannot be
/// read reports every bit, so a path that names nothing counts as a folder.
bool IsFolderPath(DirectorySource& source, const std::string& path);

/// The folder part of `path`: its text up to and including the last "/", or empty without one.
std::string FolderPartOf(std::string_view path);

} // namespace pellamy

#endif
