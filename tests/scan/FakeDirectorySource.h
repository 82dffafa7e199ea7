// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_SCAN_FAKEDIRECTORYSOURCE_H
#define PELLAMY_TESTS_SCAN_FAKEDIRECTORYSOURCE_H

#include "scan/DirectorySource.h"

#include <map>
#include <string>
#include <vector>

namespace pellamy {

/// A folder held in memory: entries in a fixed order, an optional failure part-way, and the
/// folder's own attributes.
class FakeDirectorySource final : public DirectorySource
{
public:
    struct Entry
    {
        std::string Name;
        std::uint32_t Attributes = Attr::kArchive;
        std::int64_t Size = 0;
        FileTime Created = 0;
        FileTime Accessed = 0;
        FileTime Written = 0;
    };

    std::vector<Entry> Entries;
    std::error_code OpenError;
    std::size_t FailAfter = static_cast<std::size_t>(-1);
    std::uint32_t FolderAttributes = Attr::kDirectory;
    std::vector<std::string> FoldersAsked;
    std::size_t DetailsRead = 0;

    std::error_code Enumerate(const std::string& folder, DirectorySink& sink) override
    {
        FoldersAsked.push_back(folder);
        if (OpenError) {
            return OpenError;
        }
        std::size_t n = 0;
        for (const Entry& e : Entries) {
            if (sink.StopRequested()) {
                return std::make_error_code(std::errc::operation_canceled);
            }
            if (n++ == FailAfter) {
                return std::make_error_code(std::errc::io_error);
            }
            if (!sink.WantsName(e.Name)) {
                continue;
            }
            ++DetailsRead;
            sink.Accept(DirectoryEntryView{e.Name, e.Attributes, e.Created, e.Accessed, e.Written, e.Size});
        }
        return {};
    }

    std::uint32_t ReadAttributes(const std::string& path) override
    {
        FoldersAsked.push_back(path);
        return FolderAttributes;
    }
};

} // namespace pellamy

#endif
