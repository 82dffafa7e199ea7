// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_REPORTS_MEMORYREPORTFILES_H
#define PELLAMY_TESTS_REPORTS_MEMORYREPORTFILES_H

#include "reports/ReportFiles.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace pellamy {

/// Report files kept in memory, each in place once its writer commits; the empty path and a path in
/// `Refused` cannot be opened.
class MemoryReportFiles final : public ReportFiles
{
public:
    mutable std::map<std::string, std::string> Files;
    std::set<std::string> Refused;

    Opened Open(const std::string& path) const override
    {
        if (path.empty()) {
            return std::string("Cannot create file \"\". No such file or directory");
        }
        if (Refused.count(path) != 0) {
            return "Cannot create file \"" + path + "\". Permission denied";
        }
        return std::make_unique<Writer>(Files[path]);
    }

private:
    class Writer final : public ReportFileWriter
    {
    public:
        explicit Writer(std::string& file)
            : m_file(file)
        {}
        std::optional<std::string> Write(std::string_view bytes) override
        {
            m_pending += bytes;
            return std::nullopt;
        }
        std::optional<std::string> Commit() override
        {
            m_file = m_pending;
            return std::nullopt;
        }

    private:
        std::string& m_file;
        std::string m_pending;
    };
};

} // namespace pellamy

#endif
