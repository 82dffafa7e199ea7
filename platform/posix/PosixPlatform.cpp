// SPDX-License-Identifier: GPL-3.0-or-later
// The Platform on Linux: POSIX calls for folders, trees, report files, file operations and the
// navigator's drives; QtCore for the locale, the caption order and the type descriptions; the file
// managers' action files for the context-menu registration.
#include "platform/Platform.h"

#include "platform/posix/FileDetails.h"
#include "platform/posix/PosixDirectorySource.h"
#include "platform/posix/PosixFileOperations.h"
#include "platform/posix/PosixFolderSystem.h"
#include "platform/posix/PosixReportFiles.h"
#include "platform/posix/PosixTreeSource.h"
#include "platform/posix/XdgContextMenuStore.h"
#include "platform/qt/QtCaptionCollator.h"
#include "platform/qt/QtRegionalSettings.h"
#include "shell/qt/MimeTypeDescriptions.h"

namespace pellamy {
namespace {

class PosixPlatform final : public Platform
{
public:
    DirectorySource& Directory() override { return m_directory; }
    TreeSource* Tree() override { return &m_tree; }
    TypeInfoSource& Types() override { return m_types; }
    const TextCollator& Collator() const override { return m_collator; }
    RegionalSettings Settings() const override { return SystemRegionalSettings(); }
    const ReportFiles& Reports() const override { return m_reports; }
    FileOperations& Files() override { return m_files; }
    // The data folder is looked up on each use, so that a store always follows the environment.
    std::unique_ptr<RegistrationStore> Registration() override
    {
        return std::make_unique<XdgContextMenuStore>(UserDataFolder().value_or(""));
    }
    std::string ProgramPath() const override { return OwnProgramPath(); }
    FolderSystem& Folders() override { return m_folders; }
    std::optional<FileDetails> ReadFileDetails(const std::string& path, std::error_code& error) override
    {
        return pellamy::ReadFileDetails(path, error);
    }

private:
    PosixDirectorySource m_directory;
    PosixTreeSource m_tree;
    MimeTypeDescriptions m_types;
    QtCaptionCollator m_collator;
    PosixReportFiles m_reports;
    PosixFileOperations m_files;
    PosixFolderSystem m_folders;
};

} // namespace

std::unique_ptr<Platform> MakePlatform()
{
    return std::make_unique<PosixPlatform>();
}

std::unique_ptr<FolderSystem> MakeFolderSystem()
{
    return std::make_unique<PosixFolderSystem>();
}

} // namespace pellamy
