// SPDX-License-Identifier: GPL-3.0-or-later
// Walks over real folder trees: links, loops, hard links, special files, bind mounts and other
// file systems, checked against an independent walk and across thread counts.

#include "scan/TreeWalk.h"
#include "scan/WalkedTree.h"

#include "DeepTree.h"
#include "MountGuard.h"
#include "TempFolder.h"
#include "TmpfsFolder.h"
#include "platform/posix/PosixTreeSource.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, std::size_t size)
{
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

std::string Lower(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return text;
}

struct Totals
{
    std::int64_t Count = 0;
    std::uint64_t Size = 0;
    bool operator==(const Totals&) const = default;
};

// Per lower-case extension, what the tree holds by the program's rules (with the default
// options: files and links to files count, folders, links to folders and special files do not),
// found by a plain recursive walk that shares no code with the program's.
std::map<std::string, Totals> IndependentWalk(const fs::path& root)
{
    std::map<std::string, Totals> out;
    std::set<std::pair<dev_t, ino_t>> linksSeen;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        struct stat st
        {};
        if (::lstat(it->path().c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
            continue;
        }
        std::uint64_t size = 0;
        if (S_ISLNK(st.st_mode)) {
            struct stat target
            {};
            if (::stat(it->path().c_str(), &target) == 0 && S_ISDIR(target.st_mode)) {
                continue;
            }
        } else if (S_ISREG(st.st_mode)) {
            size = static_cast<std::uint64_t>(st.st_size);
        } else {
            continue;
        }
        if (st.st_nlink > 1 && !linksSeen.insert({st.st_dev, st.st_ino}).second) {
            continue;
        }
        const std::string name = it->path().filename().string();
        const auto dot = name.rfind('.');
        Totals& totals = out[Lower(dot == std::string::npos ? std::string() : name.substr(dot))];
        ++totals.Count;
        totals.Size += size;
    }
    return out;
}

std::map<std::string, Totals> ByType(const TreeWalkResult& result)
{
    std::map<std::string, Totals> out;
    for (const TypeRow& row : result.Rows) {
        Totals& totals = out[Lower(row.Extension)];
        EXPECT_EQ(totals.Count, 0) << "two rows for one type: " << row.Extension;
        totals.Count += row.Count;
        totals.Size += static_cast<std::uint64_t>(row.Size);
    }
    return out;
}

Walked Walk(const fs::path& root, TreeWalkOptions options = {})
{
    PosixTreeSource source;
    return Walked(WalkTree(source, root.string(), options));
}

TreeWalkOptions Listing(unsigned threads = 0)
{
    TreeWalkOptions options;
    options.ListFiles = true;
    options.Threads = threads;
    return options;
}

// Nested folders with hostile names, links to folders (two of them loops), links to files,
// dangling links, hard links within and across folders, a FIFO, and enough folders and files for
// several threads to share the work.
class Tree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const fs::path root = m_dir.Path();
        Write(root / "a.TXT", 10);
        Write(root / "b.txt", 20);
        Write(root / ".hidden", 3);
        Write(root / "noext", 4);
        Write(root / "bad\xff.log", 5);
        Write(root / "new\nline, \"q\".csv", 6);
        ::mkfifo((root / "fifo").c_str(), 0644);
        fs::create_directories(root / "sub" / "deep" / "deeper");
        fs::create_directory(root / "empty");
        fs::create_directory(root / "b\xfe\xff folder");
        Write(root / "b\xfe\xff folder" / "in odd.txt", 7);
        fs::create_directory_symlink("../sub", root / "empty" / "link-to-sub");
        fs::create_directory_symlink("../..", root / "sub" / "deep" / "up");
        fs::create_directory_symlink(".", root / "self");
        fs::create_symlink("a.TXT", root / "file-link.lnk");
        fs::create_symlink("nowhere", root / "dangling");
        Write(root / "sub" / "c.txt", 30);
        Write(root / "sub" / "hard1.bin", 40);
        fs::create_hard_link(root / "sub" / "hard1.bin", root / "hard2.BIN");
        fs::create_hard_link(root / "sub" / "hard1.bin", root / "sub" / "deep" / "hard3.bin");
        Write(root / "sub" / "deep" / "d.log", 50);
        Write(root / "sub" / "deep" / "deeper" / "e.txt", 60);
        for (int f = 0; f < 24; ++f) {
            const fs::path folder = root / "many" / ("f" + std::to_string(f)) / "g";
            fs::create_directories(folder);
            for (int i = 0; i < 12; ++i) {
                Write(folder / ("n" + std::to_string(i) + (i % 3 == 0 ? ".dat" : ".Txt")), f + i);
            }
        }
    }

    TempFolder m_dir;
};

TEST_F(Tree, CountsAndSizesMatchAnIndependentWalk)
{
    const Walked result = Walk(m_dir.Path());
    ASSERT_FALSE(result.RootError) << result.RootError.message();
    EXPECT_TRUE(result.Unread.empty());
    EXPECT_EQ(ByType(result), IndependentWalk(m_dir.Path()));
    // The links to folders, loops included, were not entered: each real folder was read once.
    EXPECT_EQ(result.FoldersRead, 6u + 1u + 48u);
    const auto types = ByType(result);
    EXPECT_EQ(types.at(".bin").Count, 1) << "three names of one file count once";
    EXPECT_EQ(types.count(""), 1u) << "noext and the dangling link";
}

TEST_F(Tree, FileListNamesEachFileOnceByItsPathBelowTheRoot)
{
    const Walked result = Walk(m_dir.Path(), Listing());
    const std::vector<std::string> names = Names(result);
    const std::set<std::string> unique(names.begin(), names.end());
    EXPECT_EQ(unique.size(), names.size());
    for (const std::string name :
         {"a.TXT", "bad\xff.log", "new\nline, \"q\".csv", "file-link.lnk", "dangling", "sub/c.txt",
          "sub/deep/d.log", "sub/deep/deeper/e.txt", "b\xfe\xff folder/in odd.txt", "many/f3/g/n4.Txt"}) {
        EXPECT_EQ(unique.count(name), 1u) << name;
    }
    EXPECT_EQ(unique.count("fifo"), 0u) << "special files need the system box";
    int hardLinks = 0;
    for (const std::string& name : names) {
        hardLinks += (name.find("hard") != std::string::npos) ? 1 : 0;
        EXPECT_EQ(name.find("link-to-sub"), std::string::npos) << name;
        EXPECT_EQ(name.find("up/"), std::string::npos) << name;
    }
    EXPECT_EQ(hardLinks, 1);
    std::int64_t listed = 0;
    for (const auto& [type, totals] : IndependentWalk(m_dir.Path())) {
        listed += totals.Count;
    }
    EXPECT_EQ(static_cast<std::int64_t>(names.size()), listed);

    // A file list of one type takes that type's files of the whole tree, in any letter case.
    TreeWalkOptions txt = Listing();
    txt.Pattern = NamePattern::OfExtension(".txt");
    EXPECT_EQ(Walk(m_dir.Path(), txt).Files.size(), 5u + 24u * 8u);
}

TEST_F(Tree, SpecialFilesFollowTheAttributeRules)
{
    TreeWalkOptions options = Listing();
    options.Scan.ISF = true;
    const std::vector<std::string> names = Names(Walk(m_dir.Path(), options));
    EXPECT_NE(std::find(names.begin(), names.end(), "fifo"), names.end());

    // Only hidden files: the filter applies to every folder of the tree.
    options.Scan = ScanOptions{false, true, AttributeFilterBoxes{false, true, false, false}, {}};
    EXPECT_EQ(Names(Walk(m_dir.Path(), options)), std::vector<std::string>{".hidden"});
}

TEST_F(Tree, OneThreadAndSeveralGiveTheSameResult)
{
    const Walked one = Walk(m_dir.Path(), Listing(1));
    TreeWalkOptions summaryOne;
    summaryOne.Threads = 1;
    const Walked summary = Walk(m_dir.Path(), summaryOne);
    for (int run = 0; run < 5; ++run) {
        const Walked several = Walk(m_dir.Path(), Listing(4));
        ASSERT_EQ(Names(several), Names(one)) << "run " << run;
        for (std::size_t i = 0; i < one.Files.size(); ++i) {
            EXPECT_EQ(several.Files[i].Size, one.Files[i].Size);
        }
        TreeWalkOptions summaryMany;
        summaryMany.Threads = 4;
        const Walked rows = Walk(m_dir.Path(), summaryMany);
        ASSERT_EQ(rows.Rows.size(), summary.Rows.size());
        for (std::size_t i = 0; i < rows.Rows.size(); ++i) {
            EXPECT_EQ(rows.Rows[i].Extension, summary.Rows[i].Extension) << "same spelling, same order";
            EXPECT_EQ(rows.Rows[i].Count, summary.Rows[i].Count);
            EXPECT_TRUE(rows.Rows[i].Size == summary.Rows[i].Size);
        }
    }
}

TEST_F(Tree, TreeOrderPutsASubFoldersFilesWhereTheSubFolderStands)
{
    // Each folder's entries in directory order, a sub-folder's files where the sub-folder comes.
    std::vector<std::string> expected;
    const std::function<void(const fs::path&, const std::string&)> visit = [&](const fs::path& folder,
                                                                               const std::string& prefix) {
        DIR* dir = ::opendir(folder.c_str());
        ASSERT_NE(dir, nullptr);
        while (const dirent* d = ::readdir(dir)) {
            const std::string name = d->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            struct stat st
            {};
            ::lstat((folder / name).c_str(), &st);
            if (S_ISDIR(st.st_mode)) {
                visit(folder / name, prefix + name + "/");
            } else if (S_ISREG(st.st_mode) && name.find("hard") == std::string::npos) {
                expected.push_back(prefix + name);
            }
        }
        ::closedir(dir);
    };
    visit(m_dir.Path(), "");
    std::vector<std::string> listed;
    for (const std::string& name : Names(Walk(m_dir.Path(), Listing(3)))) {
        const bool link = name == "file-link.lnk" || name == "dangling";
        if (!link && name.find("hard") == std::string::npos) {
            listed.push_back(name);
        }
    }
    EXPECT_EQ(listed, expected);
}

// Mounts `source` on `target` with a bind mount; the reason when it cannot.
std::string BindMount(const fs::path& source, const fs::path& target)
{
    if (::geteuid() != 0) {
        return "bind mounts need root";
    }
    if (::mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        return std::string("cannot bind-mount here: ") + std::strerror(errno);
    }
    return {};
}

TEST_F(Tree, AFolderBoundInsideItselfIsReadOnce)
{
    const Walked before = Walk(m_dir.Path(), Listing());
    const fs::path inside = m_dir.Path() / "sub" / "deep" / "mnt";
    fs::create_directory(inside);
    if (const std::string why = BindMount(m_dir.Path(), inside); !why.empty()) {
        GTEST_SKIP() << why;
    }
    const MountGuard unmount(inside);
    const Walked after = Walk(m_dir.Path(), Listing());
    EXPECT_EQ(Names(after), Names(before));
    EXPECT_EQ(after.FoldersRead, before.FoldersRead) << "the mount point leads to the root again";
}

TEST_F(Tree, OfTwoPathsToOneFolderThePlainOneWinsWhateverTheThreads)
{
    // "empty" shows the contents of "sub" too; the files are listed once, below "sub".
    const fs::path mountPoint = m_dir.Path() / "empty";
    if (const std::string why = BindMount(m_dir.Path() / "sub", mountPoint); !why.empty()) {
        GTEST_SKIP() << why;
    }
    const MountGuard unmount(mountPoint);
    const std::vector<std::string> one = Names(Walk(m_dir.Path(), Listing(1)));
    for (int run = 0; run < 5; ++run) {
        EXPECT_EQ(Names(Walk(m_dir.Path(), Listing(4))), one);
    }
    for (const std::string& name : one) {
        EXPECT_NE(name.rfind("empty/", 0), 0u) << name;
    }
    EXPECT_NE(std::find(one.begin(), one.end(), "sub/deep/d.log"), one.end());
}

TEST_F(Tree, OneFileSystemStaysOnTheRootsFileSystem)
{
    const fs::path mountPoint = m_dir.Path() / "empty";
    if (::geteuid() != 0 || ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "mounting a small tmpfs needs root (" << std::strerror(errno) << ")";
    }
    const MountGuard unmount(mountPoint);
    Write(mountPoint / "other.tmp", 9);
    fs::create_directory(mountPoint / "below");
    Write(mountPoint / "below" / "further.tmp", 1);

    const auto all = ByType(Walk(m_dir.Path()));
    EXPECT_EQ(all.at(".tmp"), (Totals{2, 10}));
    TreeWalkOptions options;
    options.OneFileSystem = true;
    const auto own = ByType(Walk(m_dir.Path(), options));
    EXPECT_EQ(own.count(".tmp"), 0u);
    EXPECT_EQ(own.at(".txt"), all.at(".txt"));
}

// A chain of 3,000 folders (27,000 bytes of path at the bottom, far beyond what one path may
// name), each with a file and two empty folders beside the folder that goes on down; on a tmpfs
// where one can be mounted, else on the temporary folder's file system.
class DeepTree : public ::testing::Test
{
protected:
    static constexpr int kLevels = 3000;

    void SetUp() override { m_files = Sorted(MakeDeepTree(m_dir.Path(), kLevels)); }

    TmpfsFolder m_dir{"64m"};
    std::vector<std::string> m_files;
};

TEST_F(DeepTree, EveryFileAtEveryDepthIsCountedAndNamedByItsPath)
{
    const Walked one = Walk(m_dir.Path(), Listing(1));
    ASSERT_FALSE(one.RootError) << one.RootError.message();
    ASSERT_TRUE(one.Unread.empty()) << one.Unread.size() << " unread, the first for "
                                    << one.Unread.front().Error.message();
    EXPECT_EQ(one.FoldersRead, 1u + 3u * kLevels);
    EXPECT_EQ(Sorted(Names(one)), m_files);
    EXPECT_EQ(Names(Walk(m_dir.Path(), Listing(4))), Names(one)) << "the same order with several threads";

    const auto types = ByType(Walk(m_dir.Path()));
    std::uint64_t sizes = 0;
    for (int level = 0; level < kLevels; ++level) {
        sizes += static_cast<std::uint64_t>(level % 7);
    }
    EXPECT_EQ(types, (std::map<std::string, Totals>{{".txt", Totals{kLevels, sizes}}}));
}

TEST_F(DeepTree, AFewDozenDescriptorsAreEnoughForAnyDepth)
{
    // Far fewer descriptors than levels: a walk that kept one per level would fail part-way. The
    // limit is set in a child process, so the test runner keeps its own.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const struct rlimit few = {48, 48};
        if (::setrlimit(RLIMIT_NOFILE, &few) != 0) {
            ::_exit(2);
        }
        for (const unsigned threads : {1u, 4u}) {
            const Walked result = Walk(m_dir.Path(), Listing(threads));
            if (result.RootError || !result.Unread.empty()) {
                ::_exit(3);
            }
            if (Sorted(Names(result)) != m_files) {
                ::_exit(4);
            }
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the walk did not end normally: " << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: the limit could not be set; 3: folders left unread; "
                                         "4: files missing or misnamed";
}

// The system's tree source, with a change made to the tree once the folder named `at` has been
// read and before any of its sub-folders is opened.
class ChangingTreeSource final : public TreeSource
{
public:
    ChangingTreeSource(std::string at, std::function<void()> change)
        : m_at(std::move(at))
        , m_change(std::move(change))
    {}

    std::error_code OpenRoot(const std::string& folder, FolderIdentity& identity) override
    {
        return m_source.OpenRoot(folder, identity);
    }

    std::error_code ReadFolder(const TreeFolderRef& parent, std::string_view name,
                               const std::function<bool(const FolderIdentity&)>& enter, TreeFolderSink& sink,
                               TreeFolderRef& children) override
    {
        const std::error_code error = m_source.ReadFolder(parent, name, enter, sink, children);
        if (name == m_at && m_change) {
            std::exchange(m_change, {})();
        }
        return error;
    }

private:
    PosixTreeSource m_source;
    std::string m_at;
    std::function<void()> m_change;
};

TEST(TreeWalkChanges, AFolderMovedWhileItsSubFoldersWaitIsStillReadWhole)
{
    // Its sub-folders are opened from the folder that was read, not by a path from the top that
    // no longer leads anywhere; the files keep the names they were found by.
    TempFolder dir;
    dir.Write("top.txt", 1);
    fs::create_directories(dir.Path() / "a" / "x");
    fs::create_directories(dir.Path() / "a" / "y");
    Write(dir.Path() / "a" / "x" / "one.txt", 2);
    Write(dir.Path() / "a" / "y" / "two.txt", 3);
    ChangingTreeSource source("a", [&] { fs::rename(dir.Path() / "a", dir.Path() / "moved"); });
    const Walked result(WalkTree(source, dir.Path().string(), Listing(1)));
    EXPECT_TRUE(result.Unread.empty()) << result.Unread.front().RelativePath;
    EXPECT_EQ(Sorted(Names(result)), (std::vector<std::string>{"a/x/one.txt", "a/y/two.txt", "top.txt"}));
}

TEST(TreeWalkChanges, AFolderReplacedByALinkAfterItWasListedIsNotFollowed)
{
    TempFolder dir;
    TempFolder elsewhere;
    dir.Write("top.txt", 1);
    fs::create_directory(dir.Path() / "s");
    elsewhere.Write("secret.txt", 5);
    ChangingTreeSource source("", [&] {
        fs::rename(dir.Path() / "s", dir.Path() / "s-old");
        fs::create_directory_symlink(elsewhere.Path(), dir.Path() / "s");
    });
    const Walked result(WalkTree(source, dir.Path().string(), Listing(1)));
    EXPECT_EQ(Names(result), std::vector<std::string>{"top.txt"});
    ASSERT_EQ(result.Unread.size(), 1u);
    EXPECT_EQ(result.Unread[0].RelativePath, "s");
}

TEST(TreeWalk, ARootThatCannotBeOpenedGivesItsReason)
{
    TempFolder dir;
    const Walked result = Walk(dir.Path() / "missing");
    EXPECT_EQ(result.RootError, std::errc::no_such_file_or_directory);
    EXPECT_TRUE(result.Rows.empty());
}

} // namespace
} // namespace pellamy
