// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report's platform on Linux: POSIX directory reading and files, QtCore for the locale and
// the type descriptions.
#include "cli/ReportPlatform.h"
#include "platform/posix/PosixDirectorySource.h"
#include "platform/posix/PosixReportFiles.h"
#include "platform/posix/PosixTreeSource.h"
#include "platform/qt/QtCaptionCollator.h"
#include "platform/qt/QtRegionalSettings.h"
#include "reports/ReportText.h"
#include "shell/qt/MimeTypeDescriptions.h"

#include <filesystem>
#include <unistd.h>

namespace pellamy {
namespace {

class PosixReportPlatform final : public ReportPlatform
{
public:
    DirectorySource& Directory() override { return m_directory; }
    TypeInfoSource& Types() override { return m_types; }
    const TextCollator& Collator() const override { return m_collator; }
    RegionalSettings Settings() const override { return SystemRegionalSettings(); }
    const ReportFiles& Files() const override { return m_files; }
    TreeSource* Tree() override { return &m_tree; }

private:
    PosixDirectorySource m_directory;
    MimeTypeDescriptions m_types;
    QtCaptionCollator m_collator;
    PosixReportFiles m_files;
    PosixTreeSource m_tree;
};

} // namespace

std::unique_ptr<ReportPlatform> MakeReportPlatform()
{
    return std::make_unique<PosixReportPlatform>();
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::string NavigatorFolder(const std::string& currentFolder)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(currentFolder, error);
    return NavigatorFolderText(error ? currentFolder : absolute.lexically_normal().string());
}

bool StandardErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace pellamy
