// SPDX-License-Identifier: GPL-3.0-or-later
// Walks over real folder trees with the Windows tree source: nested folders, paths past MAX_PATH,
// links and junctions to folders (loops included), hard links and folders that cannot be read.

#include "platform/win32/Win32TreeSource.h"

#include "platform/win32/WideText.h"
#include "scan/TreeWalk.h"
#include "scan/WalkedTree.h"
#include "win32/Win32TempFolder.h"

#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace pellamy {
namespace {

TreeWalkOptions Listing(unsigned threads)
{
    TreeWalkOptions options;
    options.ListFiles = true;
    options.Threads = threads;
    return options;
}

TreeWalkOptions Summary(unsigned threads)
{
    TreeWalkOptions options;
    options.Threads = threads;
    return options;
}

Walked Walk(const std::wstring& root, const TreeWalkOptions& options)
{
    Win32TreeSource source;
    return Walked(WalkTree(source, Utf8FromWide(root), options));
}

using CountAndSize = std::pair<std::int64_t, std::uint64_t>;

// Count and size per extension, the extension in lower case and without its dot.
std::map<std::string, CountAndSize> Types(const TreeWalkResult& result)
{
    std::map<std::string, CountAndSize> types;
    for (const TypeRow& row : result.Rows) {
        std::string extension = row.Extension.substr(row.Extension.rfind('.') + 1);
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
        types[extension] = {row.Count, static_cast<std::uint64_t>(row.Size)};
    }
    return types;
}

void MakeFolder(const std::wstring& path)
{
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr)) << "cannot create a folder: " << ::GetLastError();
}

bool IsLinkToFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Makes `link` a junction to the folder `target` (an absolute path); false when the system
// cannot.
bool MakeJunction(const std::wstring& link, const std::wstring& target)
{
    if (!::CreateDirectoryW(link.c_str(), nullptr)) {
        return false;
    }
    const std::wstring substitute = L"\\??\\" + target;
    const std::size_t substituteBytes = substitute.size() * sizeof(wchar_t);
    const std::size_t printBytes = target.size() * sizeof(wchar_t);
    // The mount point form: tag, lengths, then both names, each ending in a NUL.
    const std::size_t pathBytes = substituteBytes + sizeof(wchar_t) + printBytes + sizeof(wchar_t);
    std::vector<unsigned char> buffer(8 + 8 + pathBytes);
    const auto put16 = [&](std::size_t at, std::size_t value) {
        const auto v = static_cast<std::uint16_t>(value);
        std::memcpy(buffer.data() + at, &v, sizeof v);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(buffer.data(), &tag, sizeof tag);
    put16(4, 8 + pathBytes);
    put16(8, 0);
    put16(10, substituteBytes);
    put16(12, substituteBytes + sizeof(wchar_t));
    put16(14, printBytes);
    std::memcpy(buffer.data() + 16, substitute.c_str(), substituteBytes);
    std::memcpy(buffer.data() + 16 + substituteBytes + sizeof(wchar_t), target.c_str(), printBytes);

    HANDLE handle = ::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ::RemoveDirectoryW(link.c_str());
        return false;
    }
    DWORD returned = 0;
    const BOOL set = ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                       static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    ::CloseHandle(handle);
    if (!set || !IsLinkToFolder(link)) {
        ::RemoveDirectoryW(link.c_str());
        return false;
    }
    return true;
}

// Makes `link` a link to the folder `target`: a symbolic link, else a junction. Returns why
// neither could be made, empty when one was.
std::string LinkFolder(const std::wstring& link, const std::wstring& target)
{
    if (::CreateSymbolicLinkW(link.c_str(), target.c_str(),
                              SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
        IsLinkToFolder(link)) {
        return {};
    }
    // Some systems answer success and make nothing.
    ::RemoveDirectoryW(link.c_str());
    if (MakeJunction(link, target)) {
        return {};
    }
    return "this system makes neither symbolic links nor junctions to folders";
}

class Win32Tree : public ::testing::Test
{
protected:
    // a.txt, sub/b.txt, sub/deeper/c.TXT, sub/deeper/d.md, empty/, other/e.md
    void SetUp() override
    {
        m_dir.WriteFile(L"a.txt", "12345");
        MakeFolder(m_dir / L"sub");
        m_dir.WriteFile(L"sub\\b.txt", "1");
        MakeFolder(m_dir / L"sub\\deeper");
        m_dir.WriteFile(L"sub\\deeper\\c.TXT", "123");
        m_dir.WriteFile(L"sub\\deeper\\d.md", std::string(1000, 'x'));
        MakeFolder(m_dir / L"empty");
        MakeFolder(m_dir / L"other");
        m_dir.WriteFile(L"other\\e.md", "12");
    }

    const std::vector<std::string> m_files{"a.txt", "other/e.md", "sub/b.txt", "sub/deeper/c.TXT",
                                           "sub/deeper/d.md"};
    Win32TempFolder m_dir;
};

TEST_F(Win32Tree, EveryFileBelowTheRootIsCountedAndNamedByItsPath)
{
    const Walked one = Walk(m_dir.Path(), Listing(1));
    ASSERT_FALSE(one.RootError) << one.RootError.message();
    EXPECT_TRUE(one.Unread.empty());
    EXPECT_EQ(Sorted(Names(one)), m_files);
    EXPECT_EQ(one.FoldersRead, 5u);
    for (unsigned threads : {2u, 4u}) {
        EXPECT_EQ(Names(Walk(m_dir.Path(), Listing(threads))), Names(one)) << threads << " threads";
    }

    // Types are merged whatever their letter case, and sizes added up.
    const auto types = Types(Walk(m_dir.Path(), Summary(4)));
    EXPECT_EQ(types, (std::map<std::string, CountAndSize>{{"md", {2, 1002}}, {"txt", {3, 9}}}));

    // The root may be named with "/" and a separator at its end.
    std::string slashed = Utf8FromWide(m_dir.Path()) + "/";
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    Win32TreeSource source;
    EXPECT_EQ(Sorted(Names(Walked(WalkTree(source, slashed, Listing(2))))), m_files);
}

TEST_F(Win32Tree, ARootThatCannotBeOpenedGivesItsReason)
{
    const Walked missing = Walk(m_dir / L"missing", Listing(1));
    EXPECT_EQ(missing.RootError, std::errc::no_such_file_or_directory) << missing.RootError.message();
    const Walked file = Walk(m_dir / L"a.txt", Listing(1));
    EXPECT_TRUE(file.RootError) << "a file is no root";
}

TEST_F(Win32Tree, FoldersWhosePathsPassMaxPathAreRead)
{
    // Each level's name is long, so that a few levels pass MAX_PATH.
    std::wstring folder = L"\\\\?\\" + (m_dir / L"sub");
    std::vector<std::string> expected = m_files;
    std::string relative = "sub";
    for (int level = 0; level < 6; ++level) {
        const std::wstring name = L"level" + std::to_wstring(level) + std::wstring(60, L'n');
        folder += L"\\" + name;
        relative += "/" + Utf8FromWide(name);
        MakeFolder(folder);
        HANDLE file = ::CreateFileW((folder + L"\\f.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ::CloseHandle(file);
        expected.push_back(relative + "/f.dat");
    }
    ASSERT_GT(folder.size(), static_cast<std::size_t>(MAX_PATH));
    const Walked result = Walk(m_dir.Path(), Listing(2));
    EXPECT_TRUE(result.Unread.empty()) << result.Unread.front().RelativePath << ": "
                                       << result.Unread.front().Error.message();
    EXPECT_EQ(Sorted(Names(result)), Sorted(expected));
    // The deepest folders go with the temporary folder, whose removal cannot reach them.
    while (folder.size() > (L"\\\\?\\" + (m_dir / L"sub")).size()) {
        ::DeleteFileW((folder + L"\\f.dat").c_str());
        ::RemoveDirectoryW(folder.c_str());
        folder.resize(folder.rfind(L'\\'));
    }
}

TEST_F(Win32Tree, AFileWithSeveralNamesCountsOnceAtItsFirstName)
{
    ASSERT_TRUE(::CreateHardLinkW((m_dir / L"sub\\deeper\\again.txt").c_str(), (m_dir / L"a.txt").c_str(), nullptr))
        << "CreateHardLinkW failed: " << ::GetLastError();
    ASSERT_TRUE(::CreateHardLinkW((m_dir / L"other\\third.txt").c_str(), (m_dir / L"a.txt").c_str(), nullptr));

    for (unsigned threads : {1u, 4u}) {
        EXPECT_EQ(Sorted(Names(Walk(m_dir.Path(), Listing(threads)))), m_files) << threads << " threads";
        EXPECT_EQ(Types(Walk(m_dir.Path(), Summary(threads)))["txt"], (CountAndSize{3, 9})) << threads << " threads";
    }
    // Two files of the same size and times are two files.
    m_dir.WriteFile(L"other\\twin.txt", "12345");
    EXPECT_EQ(Types(Walk(m_dir.Path(), Summary(2)))["txt"], (CountAndSize{4, 14}));
}

TEST_F(Win32Tree, LinksToFoldersAreNeverEnteredAndLoopsEnd)
{
    // One link to a folder of the tree, one back to the root: a loop.
    if (const std::string why = LinkFolder(m_dir / L"other\\to-sub", m_dir / L"sub"); !why.empty()) {
        GTEST_SKIP() << why;
    }
    ASSERT_EQ(LinkFolder(m_dir / L"sub\\deeper\\loop", m_dir.Path()), "");

    for (unsigned threads : {1u, 4u}) {
        const Walked result = Walk(m_dir.Path(), Listing(threads));
        EXPECT_TRUE(result.Unread.empty());
        EXPECT_EQ(result.FoldersRead, 5u) << "no folder read through a link";
        EXPECT_EQ(Sorted(Names(result)), m_files) << "links to folders are not files";
    }
    // With folders shown, a link to one is an entry that carries the directory bit.
    TreeWalkOptions withFolders = Listing(2);
    withFolders.Scan.ISF = true;
    const Walked result = Walk(m_dir.Path(), withFolders);
    const auto loop = std::find_if(result.Files.begin(), result.Files.end(),
                                   [](const FileEntry& f) { return f.Name == "sub/deeper/loop"; });
    if (loop != result.Files.end()) {
        EXPECT_NE(loop->Attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
        EXPECT_NE(loop->Attributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    }
    EXPECT_EQ(std::count_if(result.Files.begin(), result.Files.end(),
                            [](const FileEntry& f) { return f.Name.rfind("sub/deeper/loop/", 0) == 0; }),
              0);
}

TEST_F(Win32Tree, AFolderThatCannotBeReadIsReportedAndLeftOut)
{
    // Nobody may list "sub\deeper": a protected list whose only entry denies listing to everyone.
    const std::wstring locked = m_dir / L"sub\\deeper";
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    alignas(ACL) unsigned char aclBuffer[256];
    auto* acl = reinterpret_cast<ACL*>(aclBuffer);
    ::InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ASSERT_TRUE(::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
    ::AddAccessDeniedAce(acl, ACL_REVISION, FILE_LIST_DIRECTORY | FILE_TRAVERSE, everyone);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    const BOOL set = ::SetFileSecurityW(locked.c_str(), DACL_SECURITY_INFORMATION, &descriptor);
    ::FreeSid(everyone);
    // Everyone may do everything again afterwards, so that the folder can be removed.
    struct Unlock
    {
        std::wstring Path;
        ~Unlock()
        {
            SECURITY_DESCRIPTOR open;
            ::InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
            ::SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
            ::SetFileSecurityW(Path.c_str(), DACL_SECURITY_INFORMATION, &open);
        }
    } unlock{locked};
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((locked + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        ::FindClose(find);
        GTEST_SKIP() << "this system lets a folder be listed whatever its access list ("
                     << (set ? "it was set" : "it could not be set") << ")";
    }

    const Walked result = Walk(m_dir.Path(), Listing(2));
    ASSERT_EQ(result.Unread.size(), 1u);
    EXPECT_EQ(result.Unread[0].RelativePath, "sub/deeper");
    EXPECT_EQ(result.Unread[0].Error, std::errc::permission_denied) << result.Unread[0].Error.message();
    EXPECT_EQ(Sorted(Names(result)), (std::vector<std::string>{"a.txt", "other/e.md", "sub/b.txt"}));
}

} // namespace
} // namespace pellamy
