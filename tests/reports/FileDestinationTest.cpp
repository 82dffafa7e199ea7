// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/FileDestination.h"

#include "reports/XmlWriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/mount.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

std::size_t EntriesIn(const fs::path& folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class FileDestinationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/pellamy-destination-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_folder, ec);
    }
    fs::path m_folder;
};

TEST_F(FileDestinationTest, ReplacesTheWholeFileAndKeepsItsPermissions)
{
    const fs::path target = m_folder / "report.csv";
    Put(target, "an earlier, longer report\r\n");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(WriteFileReplacing(target.string(), "new\r\n").has_value());
    EXPECT_EQ(Contents(target), "new\r\n");
    EXPECT_EQ(fs::status(target).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(EntriesIn(m_folder), 1u);
}

TEST_F(FileDestinationTest, EmptyXmlWriterSavesAnEmptyFile)
{
    const fs::path target = m_folder / "empty.xml";
    Put(target, "<Old></Old>\r\n");
    XmlWriter writer;
    EXPECT_FALSE(writer.SaveToFile(target.string()).has_value());
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(fs::file_size(target), 0u);
}

TEST_F(FileDestinationTest, ReadOnlyTargetFailsWithTheReasonAndStaysAsItWas)
{
    const fs::path target = m_folder / "locked.xml";
    Put(target, "earlier");
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    XmlWriter writer;
    writer.Nodes.AddElement("New");
    const auto failure = writer.SaveToFile(target.string());
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, "Cannot create file \"" + target.string() + "\". Permission denied");
    EXPECT_EQ(Contents(target), "earlier");
    EXPECT_EQ(EntriesIn(m_folder), 1u);
}

TEST_F(FileDestinationTest, TargetInAMissingFolderFailsWithTheFullPath)
{
    const fs::path target = m_folder / "missing" / "report.html";
    const auto failure = WriteFileReplacing(target.string(), "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, "Cannot create file \"" + target.string() + "\". No such file or directory");
    EXPECT_FALSE(fs::exists(target.parent_path()));

    // A relative name is reported with the full path it stands for.
    const fs::path before = fs::current_path();
    fs::current_path(m_folder);
    const auto relative = WriteFileReplacing("missing/r.csv", "x");
    fs::current_path(before);
    ASSERT_TRUE(relative.has_value());
    EXPECT_EQ(*relative, "Cannot create file \"" + (m_folder / "missing" / "r.csv").string() +
                             "\". No such file or directory");
}

TEST_F(FileDestinationTest, FolderAsTargetFailsAndIsLeftAlone)
{
    fs::create_directory(m_folder / "sub");
    const auto failure = WriteFileReplacing((m_folder / "sub").string(), "x");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->rfind("Cannot create file \"" + (m_folder / "sub").string() + "\". ", 0), 0u);
    EXPECT_TRUE(fs::is_directory(m_folder / "sub"));
}

// Unmounts the file system mounted on `folder` on every way out of the test.
class MountGuard
{
public:
    explicit MountGuard(fs::path folder)
        : m_folder(std::move(folder))
    {}
    MountGuard(const MountGuard&) = delete;
    MountGuard& operator=(const MountGuard&) = delete;
    ~MountGuard() { ::umount2(m_folder.c_str(), MNT_DETACH); }

private:
    fs::path m_folder;
};

TEST_F(FileDestinationTest, FullFileSystemFailsWithStreamWriteErrorAndKeepsTheEarlierFile)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting a small tmpfs needs root; the full-disk case is not checked";
    }
    const fs::path mountPoint = m_folder / "small";
    fs::create_directory(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno)
                     << "); the full-disk case is not checked";
    }
    const MountGuard unmount(mountPoint);

    const fs::path target = mountPoint / "report.csv";
    Put(target, "earlier report\r\n");
    const std::string large(1 << 20, 'x');
    const auto failure = WriteFileReplacing(target.string(), large);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(*failure, "Stream write error");
    EXPECT_EQ(Contents(target), "earlier report\r\n");
    EXPECT_EQ(EntriesIn(mountPoint), 1u);

    // With the room back, the same folder takes a report again.
    EXPECT_FALSE(WriteFileReplacing(target.string(), "fits\r\n").has_value());
    EXPECT_EQ(Contents(target), "fits\r\n");
}

} // namespace
} // namespace pellamy
