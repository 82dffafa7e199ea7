// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report: the type list or a file list of one folder, without a window.

#include "cli/ReportArguments.h"
#include "cli/ReportData.h"
#include "cli/ReportExports.h"
#include "cli/ReportFormats.h"
#include "cli/ReportPlatform.h"
#include "reports/ReportFiles.h"
#include "reports/ReportText.h"

#include <chrono>
#include <cstdio>
#include <iostream>

namespace {

using namespace pellamy;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Shows a live count of the names read on a terminal's standard error once a scan has run for
// about a second, and clears it when the scan ends.
class ProgressLine
{
public:
    ProgressLine()
        : m_enabled(StandardErrorIsTerminal())
        , m_start(std::chrono::steady_clock::now())
    {}

    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    ~ProgressLine() { Clear(); }

    void Update(std::uint64_t namesRead)
    {
        if (!m_enabled) {
            return;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - m_start < std::chrono::seconds(1) || now - m_last < std::chrono::milliseconds(100)) {
            return;
        }
        m_last = now;
        std::fprintf(stderr, "\rReading folder: %llu entries", static_cast<unsigned long long>(namesRead));
        std::fflush(stderr);
        m_shown = true;
    }

    void Clear()
    {
        if (m_shown) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
            m_shown = false;
        }
    }

private:
    bool m_enabled;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_last;
};

std::string FormattedReport(const ReportData& data, ReportFormat format, const RegionalSettings& settings)
{
    switch (format) {
    case ReportFormat::Json:
        return FormatJson(data);
    case ReportFormat::Csv:
        return FormatCsv(data);
    case ReportFormat::Xml:
        return FormatXml(data, NavigatorFolder(data.CurrentFolder), settings);
    case ReportFormat::Html:
        return FormatHtml(data, NavigatorFolder(data.CurrentFolder));
    case ReportFormat::Table:
        break;
    }
    return FormatTable(data);
}

int Run(const std::vector<std::string>& args)
{
    const auto parsed = ParseReportArguments(args);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        std::cerr << "pellamy-report: " << usage->Message << "\n\n" << ReportUsage();
        return kExitUsage;
    }
    const auto& request = std::get<ReportArguments>(parsed);
    if (request.ShowHelp) {
        std::cout << ReportUsage();
        return 0;
    }
    if (request.ShowVersion) {
        std::cout << "pellamy-report " << PELLAMY_VERSION << "\n";
        return 0;
    }

    const std::unique_ptr<ReportPlatform> platform = MakeReportPlatform();
    DirectorySource& directory = platform->Directory();
    const ReportSources sources{directory, platform->Types(), platform->Collator(), platform->Settings()};

    // A file named on the command line stands for the folder that holds it.
    std::string folder = request.Folder.empty() ? WorkingFolder() : request.Folder;
    if (!IsFolderPath(directory, folder)) {
        folder = FolderPartOf(folder);
        if (folder.empty()) {
            folder = "./";
        }
    }

    std::error_code error;
    ReportData data;
    {
        ProgressLine progress;
        data = BuildReportData(sources, folder, request.FilePattern, request.Options, error,
                               [&progress](std::uint64_t n) { progress.Update(n); });
    }
    if (error) {
        std::cerr << "pellamy-report: " << folder << ": " << error.message() << "\n";
        return kExitFailure;
    }

    if (request.Sort) {
        SortReportData(data, *request.Sort, sources.Settings);
    }
    const std::string text = FormattedReport(data, request.Format, sources.Settings);
    if (request.OutputFile) {
        if (const auto failure = WriteFileReplacing(platform->Files(), *request.OutputFile, text)) {
            std::cerr << "pellamy-report: " << *failure << "\n";
            return kExitFailure;
        }
        return 0;
    }
    std::cout << text;
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "pellamy-report: Stream write error\n";
        return kExitFailure;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args = CommandLineArguments(argc, argv);
    try {
        return Run(args);
    } catch (const std::exception& e) {
        std::cerr << "pellamy-report: " << e.what() << "\n";
        return kExitFailure;
    }
}
