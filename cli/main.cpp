// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report: the type list or a file list of one folder, without a window.

#include "cli/CommandLine.h"
#include "cli/ReportArguments.h"
#include "cli/ReportSources.h"
#include "cli/TreeReport.h"
#include "platform/Platform.h"
#include "reports/ReportExports.h"
#include "reports/ReportFiles.h"
#include "reports/ReportFormats.h"
#include "reports/ReportOutput.h"
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
        if (Due()) {
            std::fprintf(stderr, "\rReading folder: %llu entries",
                         static_cast<unsigned long long>(namesRead));
            Shown();
        }
    }

    void Update(const TreeProgress& progress)
    {
        if (Due()) {
            std::fprintf(stderr, "\rReading folders: %llu folders, %llu files",
                         static_cast<unsigned long long>(progress.Folders),
                         static_cast<unsigned long long>(progress.Files));
            Shown();
        }
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
    bool Due()
    {
        if (!m_enabled) {
            return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now - m_start < std::chrono::seconds(1) || now - m_last < std::chrono::milliseconds(100)) {
            return false;
        }
        m_last = now;
        return true;
    }

    void Shown()
    {
        // The line is cleared and rewritten in place, so a shorter count leaves nothing behind.
        std::fputs("\033[K", stderr);
        std::fflush(stderr);
        m_shown = true;
    }

    bool m_enabled;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_last;
};

// The report streamed to standard output in large pieces.
class StandardOutput final : public ReportOutput
{
public:
    StandardOutput()
        : ReportOutput(kReportPieceSize)
    {}

private:
    std::optional<std::string> Deliver(std::string_view bytes) override
    {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
            return std::string("Stream write error");
        }
        return std::nullopt;
    }
};

// Writes the report row by row; the output's failure, if any.
std::optional<std::string> WriteReport(const ReportData& data, ReportFormat format, ReportOutput& out)
{
    switch (format) {
    case ReportFormat::Json:
        WriteJson(data, out);
        break;
    case ReportFormat::Csv:
        WriteCsv(data, out);
        break;
    case ReportFormat::Xml:
        WriteXml(data, NavigatorFolder(data.CurrentFolder), out);
        break;
    case ReportFormat::Html:
        WriteHtml(data, NavigatorFolder(data.CurrentFolder), out);
        break;
    case ReportFormat::Table:
        WriteTable(data, out);
        break;
    }
    return out.Finish();
}

// The report streamed into the file `path`, which keeps its earlier content unless every byte was
// written and committed.
std::optional<std::string> WriteReportFile(const ReportFiles& files, const ReportData& data, ReportFormat format,
                                           const std::string& path)
{
    return StreamToReportFile(files, path, [&](ReportOutput& out) { return WriteReport(data, format, out); });
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

    const ReportStreams streams;
    const std::unique_ptr<Platform> platform = MakePlatform();
    DirectorySource& directory = platform->Directory();
    const ReportSources sources{directory, platform->Types(), platform->Collator(), platform->Settings()};

    // A file named on the command line stands for the folder that holds it; without a folder the
    // report is of the working folder, "." when its path cannot be read.
    std::string folder = request.Folder.empty() ? platform->Folders().WorkingFolder() : request.Folder;
    if (folder.empty()) {
        folder = ".";
    }
    if (!IsFolderPath(directory, folder)) {
        folder = FolderPartOf(folder);
        if (folder.empty()) {
            folder = "./";
        }
    }

    std::error_code error;
    ReportData data;
    std::string unreadMessage;
    if (request.Recursive) {
        TreeSource* tree = platform->Tree();
        if (tree == nullptr) {
            std::cerr << "pellamy-report: --recursive is not available on this system\n";
            return kExitUsage;
        }
        TreeReportOptions options;
        options.Scan = request.Options;
        options.OneFileSystem = request.OneFileSystem;
        ProgressLine progress;
        TreeReport report = BuildTreeReport(sources, *tree, folder, request.FilePattern, options,
                                            [&progress](const TreeProgress& p) { progress.Update(p); });
        error = report.RootError;
        data = std::move(report.Data);
        unreadMessage = UnreadFoldersMessage(folder, report.Unread);
    } else {
        ProgressLine progress;
        data = BuildReportData(sources, folder, request.FilePattern, request.Options, error,
                               [&progress](std::uint64_t n) { progress.Update(n); });
    }
    if (error) {
        std::cerr << "pellamy-report: " << folder << ": " << error.message() << "\n";
        return kExitFailure;
    }

    if (request.Sort) {
        SortReportData(data, *request.Sort);
    }
    std::optional<std::string> failure;
    if (request.OutputFile) {
        failure = WriteReportFile(platform->Reports(), data, request.Format, *request.OutputFile);
    } else {
        StandardOutput out;
        failure = WriteReport(data, request.Format, out);
        if (!failure && std::fflush(stdout) != 0) {
            failure = "Stream write error";
        }
    }
    if (failure) {
        std::cerr << "pellamy-report: " << *failure << "\n";
        return kExitFailure;
    }
    // Like du: everything readable is reported, then what was left out, and the run fails.
    if (!unreadMessage.empty()) {
        std::cerr << unreadMessage;
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
