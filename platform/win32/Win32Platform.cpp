// SPDX-License-Identifier: GPL-3.0-or-later
// The Platform on Windows: the Windows API for folders and trees, report files, file operations, the
// locale, the caption order, the shell's type descriptions, the registry and the drives.
#include "platform/Platform.h"

#include "platform/win32/ShellTypeDescriptions.h"
#include "platform/win32/Win32CaptionCollator.h"
#include "platform/win32/Win32DirectorySource.h"
#include "platform/win32/Win32FileOperations.h"
#include "platform/win32/Win32FolderSystem.h"
#include "platform/win32/Win32RegionalSettings.h"
#include "platform/win32/Win32RegistryStore.h"
#include "platform/win32/Win32ReportFiles.h"
#include "platform/win32/Win32TreeSource.h"

namespace pellamy {
namespace {

class Win32Platform final : public Platform
{
public:
    DirectorySource& Directory() override { return m_directory; }
    TreeSource* Tree() override { return &m_tree; }
    TypeInfoSource& Types() override { return m_types; }
    const TextCollator& Collator() const override { return m_collator; }
    RegionalSettings Settings() const override { return Win32RegionalSettings(); }
    const ReportFiles& Reports() const override { return m_reports; }
    FileOperations& Files() override { return m_files; }
    std::unique_ptr<RegistrationStore> Registration() override { return std::make_unique<Win32RegistryStore>(); }
    std::string ProgramPath() const override { return OwnProgramPath(); }
    FolderSystem& Folders() override { return m_folders; }

private:
    Win32DirectorySource m_directory;
    Win32TreeSource m_tree;
    ShellTypeDescriptions m_types;
    Win32CaptionCollator m_collator;
    Win32ReportFiles m_reports;
    Win32FileOperations m_files;
    Win32FolderSystem m_folders;
};

} // namespace

std::unique_ptr<Platform> MakePlatform()
{
    return std::make_unique<Win32Platform>();
}

std::unique_ptr<FolderSystem> MakeFolderSystem()
{
    return std::make_unique<Win32FolderSystem>();
}

} // namespace pellamy
