// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32DirectorySource.h"

#include "platform/win32/WideText.h"
#include "scan/ScanFolder.h"
#include "win32/Win32TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace pellamy {
namespace {

// Every entry a source delivers, by name.
class CollectingSink final : public DirectorySink
{
public:
    bool WantsName(std::string_view name) override
    {
        Offered.emplace_back(name);
        return name != Refused;
    }
    void Accept(const DirectoryEntryView& entry) override
    {
        Entries[std::string(entry.Name)] =
            FileEntry{std::string(entry.Name), entry.Attributes,    entry.CreationTime,
                      entry.LastAccessTime,    entry.LastWriteTime, entry.Size};
    }

    std::string Refused;
    std::vector<std::string> Offered;
    std::map<std::string, FileEntry> Entries;
};

std::vector<std::string> AcceptedNames(Win32DirectorySource& source, const std::wstring& folder,
                                       const ScanOptions& options,
                                       const NamePattern& pattern = NamePattern::AllFiles())
{
    ScanResults results;
    ScanFolder(source, Utf8FromWide(folder), pattern, options, results);
    std::vector<std::string> names;
    for (const FileEntry& entry : results) {
        names.push_back(entry.Name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void SetAttributes(const std::wstring& path, DWORD attributes)
{
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), attributes)) << "SetFileAttributesW failed";
}

TEST(Win32DirectorySource, DeliversNamesAttributesTimesAndSizes)
{
    Win32TempFolder folder;
    const std::wstring plain = folder.WriteFile(L"plain.txt", "12345");
    const std::wstring big = folder.WriteFile(L"big.bin");
    ::CreateDirectoryW((folder / L"sub").c_str(), nullptr);

    // A size above 4 GiB needs both halves of the find data's size.
    HANDLE file = ::CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = 5'000'000'000LL;
    ASSERT_TRUE(::SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file));
    // Times set apart from each other, so that no field can be read for another.
    const auto asFiletime = [](std::uint64_t ticks) {
        return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
    };
    const std::uint64_t created = 132'000'000'000'000'000ULL;
    const std::uint64_t accessed = created + 3'000'000'000ULL;
    const std::uint64_t written = created + 7'000'000'000ULL;
    const FILETIME c = asFiletime(created), a = asFiletime(accessed), w = asFiletime(written);
    ASSERT_TRUE(::SetFileTime(file, &c, &a, &w));
    ::CloseHandle(file);

    Win32DirectorySource source;
    CollectingSink sink;
    ASSERT_FALSE(source.Enumerate(Utf8FromWide(folder.Path()), sink));

    std::vector<std::string> offered = sink.Offered;
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, (std::vector<std::string>{"big.bin", "plain.txt", "sub"}));
    ASSERT_EQ(sink.Entries.count("big.bin"), 1u);
    const FileEntry& entry = sink.Entries["big.bin"];
    EXPECT_EQ(entry.Size, 5'000'000'000LL);
    // Wine keeps times to the file system's resolution, which holds whole seconds at least.
    EXPECT_EQ(entry.LastWriteTime / 10'000'000, written / 10'000'000);
    EXPECT_EQ(entry.LastAccessTime / 10'000'000, accessed / 10'000'000);
    EXPECT_NE(entry.CreationTime, 0u);
    EXPECT_EQ(sink.Entries["plain.txt"].Size, 5);
    EXPECT_NE(sink.Entries["sub"].Attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(source.ReadAttributes(Utf8FromWide(plain)) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NE(source.ReadAttributes(Utf8FromWide(folder / L"sub")) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(source.ReadAttributes(Utf8FromWide(folder / L"missing")), Attr::kInvalid);
}

TEST(Win32DirectorySource, NamesOutsideAnyCodePageSurviveTheRoundTrip)
{
    Win32TempFolder folder;
    const std::wstring names[] = {L"caf\u00e9.txt", L"\u65e5\u672c\u8a9e.doc", L"\U0001F600.png",
                                  L"\u0391\u03b8\u03ae\u03bd\u03b1 & co, 'q'.txt"};
    for (const std::wstring& name : names) {
        folder.WriteFile(name, "x");
    }
    Win32DirectorySource source;
    CollectingSink sink;
    ASSERT_FALSE(source.Enumerate(Utf8FromWide(folder.Path()) + "/", sink));
    ASSERT_EQ(sink.Entries.size(), std::size(names));
    for (const std::wstring& name : names) {
        const std::string utf8 = Utf8FromWide(name);
        EXPECT_EQ(sink.Entries.count(utf8), 1u) << utf8;
        // The name as delivered opens the file it names.
        EXPECT_EQ(Win32TempFolder::ReadFile(WideFromUtf8(Utf8FromWide(folder.Path()) + "\\" + utf8)), "x");
    }
}

TEST(Win32DirectorySource, SkipsEntriesTheSinkRefusesAndReportsMissingFolders)
{
    Win32TempFolder folder;
    folder.WriteFile(L"keep.txt");
    folder.WriteFile(L"skip.txt");
    Win32DirectorySource source;
    CollectingSink sink;
    sink.Refused = "skip.txt";
    ASSERT_FALSE(source.Enumerate(Utf8FromWide(folder.Path()), sink));
    EXPECT_EQ(sink.Entries.size(), 1u);
    EXPECT_EQ(sink.Entries.count("keep.txt"), 1u);

    CollectingSink none;
    const std::error_code missing = source.Enumerate(Utf8FromWide(folder / L"no such folder"), none);
    EXPECT_EQ(missing, std::errc::no_such_file_or_directory);
    EXPECT_TRUE(none.Offered.empty());
    const std::error_code notFolder = source.Enumerate(Utf8FromWide(folder / L"keep.txt"), none);
    EXPECT_TRUE(notFolder);
}

// The scanner's rules over the attributes that the Windows API itself set.
class Win32ScanMasks : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.WriteFile(L"archive.txt");
        SetAttributes(folder.WriteFile(L"readonly.txt"), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
        SetAttributes(folder.WriteFile(L"hidden.txt"), FILE_ATTRIBUTE_HIDDEN);
        SetAttributes(folder.WriteFile(L"system.txt"), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        SetAttributes(folder.WriteFile(L"readonly-system.txt"),
                      FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
        ::CreateDirectoryW((folder / L"folder.txt").c_str(), nullptr);
    }

    // The attributes the file system kept for `name`.
    std::uint32_t AttributesOf(const std::wstring& name)
    {
        return source.ReadAttributes(Utf8FromWide(folder / name));
    }

    Win32TempFolder folder;
    Win32DirectorySource source;
};

TEST_F(Win32ScanMasks, AttributesSetThroughTheApiAreReportedAsSet)
{
    EXPECT_NE(AttributesOf(L"readonly.txt") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(AttributesOf(L"hidden.txt") & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_NE(AttributesOf(L"system.txt") & FILE_ATTRIBUTE_SYSTEM, 0u);
    CollectingSink sink;
    ASSERT_FALSE(source.Enumerate(Utf8FromWide(folder.Path()), sink));
    for (const auto& [name, entry] : sink.Entries) {
        EXPECT_EQ(entry.Attributes, AttributesOf(WideFromUtf8(name))) << name;
    }
}

TEST_F(Win32ScanMasks, DefaultsTakeHiddenAndReadOnlyFilesButNotSystemOrNormalOnes)
{
    EXPECT_EQ(AcceptedNames(source, folder.Path(), ScanOptions{}),
              (std::vector<std::string>{"archive.txt", "hidden.txt", "readonly.txt"}));
}

TEST_F(Win32ScanMasks, AFileWithTheNormalBitAloneIsNeverAccepted)
{
    const std::wstring normal = folder.WriteFile(L"normal.txt");
    SetAttributes(normal, FILE_ATTRIBUTE_NORMAL);
    if (AttributesOf(L"normal.txt") != FILE_ATTRIBUTE_NORMAL) {
        GTEST_SKIP() << "this file system keeps the archive bit on every file";
    }
    ScanOptions options;
    options.ISF = true;
    const std::vector<std::string> names = AcceptedNames(source, folder.Path(), options);
    EXPECT_EQ(std::count(names.begin(), names.end(), "normal.txt"), 0);
}

TEST_F(Win32ScanMasks, IncludeSystemFilesAddsThem)
{
    ScanOptions options;
    options.ISF = true;
    EXPECT_EQ(AcceptedNames(source, folder.Path(), options),
              (std::vector<std::string>{"archive.txt", "hidden.txt", "readonly-system.txt", "readonly.txt",
                                        "system.txt"}));
}

TEST_F(Win32ScanMasks, TheFilterBoxesCombineAsOr)
{
    ScanOptions options;
    options.AttrChk = true;
    options.Boxes = AttributeFilterBoxes{false, false, false, false};
    EXPECT_TRUE(AcceptedNames(source, folder.Path(), options).empty());

    options.Boxes = AttributeFilterBoxes{true, true, false, false};
    EXPECT_EQ(AcceptedNames(source, folder.Path(), options),
              (std::vector<std::string>{"hidden.txt", "readonly.txt"}));

    // System entries are passed over before the mask is looked at, unless ISF is on.
    options.Boxes = AttributeFilterBoxes{false, false, true, false};
    EXPECT_TRUE(AcceptedNames(source, folder.Path(), options).empty());
    options.Boxes = AttributeFilterBoxes{true, false, false, false};
    EXPECT_EQ(AcceptedNames(source, folder.Path(), options), (std::vector<std::string>{"readonly.txt"}));
    options.ISF = true;
    options.Boxes = AttributeFilterBoxes{false, false, true, false};
    EXPECT_EQ(AcceptedNames(source, folder.Path(), options),
              (std::vector<std::string>{"readonly-system.txt", "system.txt"}));
}

TEST_F(Win32ScanMasks, PatternsMatchTheExtensionWithoutRegardToCase)
{
    folder.WriteFile(L"UPPER.TXT");
    folder.WriteFile(L"other.doc");
    EXPECT_EQ(AcceptedNames(source, folder.Path(), ScanOptions{}, NamePattern::OfExtension(".doc")),
              (std::vector<std::string>{"other.doc"}));
    EXPECT_EQ(AcceptedNames(source, folder.Path(), ScanOptions{}, NamePattern::OfExtension(".txt")),
              (std::vector<std::string>{"UPPER.TXT", "archive.txt", "hidden.txt", "readonly.txt"}));
}

TEST(Win32ScanFolder, AFolderOfFoldersOrNoneYieldsNothing)
{
    Win32TempFolder folder;
    ::CreateDirectoryW((folder / L"a").c_str(), nullptr);
    ::CreateDirectoryW((folder / L"b.txt").c_str(), nullptr);
    Win32DirectorySource source;
    EXPECT_TRUE(AcceptedNames(source, folder.Path(), ScanOptions{}).empty());
    EXPECT_TRUE(AcceptedNames(source, folder / L"missing", ScanOptions{}).empty());
}

} // namespace
} // namespace pellamy
