// SPDX-License-Identifier: GPL-3.0-or-later
// "Sub-folders" over a real tree: the window's rows are pellamy-report -r's rows for the same tree.
#include "FakeWindow.h"

#include "cli/TreeReport.h"
#include "platform/TempFolder.h"
#include "platform/posix/PosixDirectorySource.h"
#include "platform/posix/PosixTreeSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> AllCells(const ListRows& rows)
{
    std::vector<std::string> cells;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        for (std::size_t column = 0; column < rows.ColumnCount(); ++column) {
            cells.push_back(rows.CellText(row, column));
        }
    }
    return cells;
}

// The window with "Sub-folders" ticked, opened on `folder` and reading the real folders below it.
struct TreeWindow
{
    explicit TreeWindow(const std::string& folder)
    {
        Window.Platform.Directories = &Directory;
        Window.Platform.TreeWalker = &Tree;
        Window.View.Checks[WindowCheckBox::SubFolders] = true;
        Window.Core.FormCreate({folder});
    }

    PosixDirectorySource Directory;
    PosixTreeSource Tree;
    FakeWindow Window;
};

TEST(SubFoldersOnDisk, TheRowsAreThoseOfTheTreeReport)
{
    TempFolder dir;
    const fs::path root = dir.Path();
    fs::create_directories(root / "sub" / "deep");
    fs::create_directories(root / "locked");
    dir.Write("a.txt", 3);
    dir.Write("sub/b.TXT", 40);
    dir.Write("sub/deep/c.log", 500);
    dir.Write("sub/h.dat", 6);
    dir.Write("locked/hidden.txt", 9);
    fs::create_hard_link(root / "sub" / "h.dat", root / "sub" / "deep" / "h2.dat");
    fs::create_directory_symlink(root / "sub", root / "link");
    fs::create_directory_symlink("..", root / "sub" / "up");
    fs::permissions(root / "locked", fs::perms::none);
    const bool lockedUnread = ::geteuid() != 0;

    TreeWindow opened(dir.Slashed());
    PosixDirectorySource& directory = opened.Directory;
    PosixTreeSource& tree = opened.Tree;
    FakeWindow& window = opened.Window;

    const ReportSources sources{directory, window.Platform.TypeDescriptions, window.Platform.CaptionOrder,
                                window.Platform.Regional};
    const TreeReport types = BuildTreeReport(sources, tree, dir.Slashed(), std::nullopt, {});
    EXPECT_EQ(AllCells(window.Core.TypeRows()), AllCells(types.Data.Types));
    EXPECT_EQ(window.Core.TotalFiles(), lockedUnread ? 4 : 5);

    window.View.Selected[WindowList::Types] = {0};
    window.Core.sLViewDblClick();
    const TreeReport files = BuildTreeReport(sources, tree, dir.Slashed(), NamePattern::AllFiles(), {});
    EXPECT_EQ(AllCells(window.Core.FileRows()), AllCells(files.Data.Files));
    std::vector<std::string> names = Names(window.Core.FileRows());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected{"a.txt", "sub/b.TXT", "sub/deep/c.log", "sub/h.dat"};
    if (!lockedUnread) {
        expected.insert(expected.begin() + 1, "locked/hidden.txt");
    }
    EXPECT_EQ(names, expected) << "the links to folders are not followed, the hard link counts once";
}

// While it lives, the calling thread (and every thread it starts) reads folders under their
// permissions even as root: the two capabilities that pass over them are out of its effective set,
// and back when it ends. Capabilities belong to a thread, so nothing else in the process changes.
class WithoutReadOverride
{
public:
    WithoutReadOverride()
    {
        m_held = Get();
        __user_cap_data_struct lowered[2] = {m_held[0], m_held[1]};
        lowered[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        m_lowered = Set(lowered);
    }
    WithoutReadOverride(const WithoutReadOverride&) = delete;
    WithoutReadOverride& operator=(const WithoutReadOverride&) = delete;
    ~WithoutReadOverride()
    {
        if (m_lowered) {
            Set(m_held.data());
        }
    }
    bool Lowered() const { return m_lowered; }

private:
    static std::array<__user_cap_data_struct, 2> Get()
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        std::array<__user_cap_data_struct, 2> data{};
        ::syscall(SYS_capget, &header, data.data());
        return data;
    }
    static bool Set(__user_cap_data_struct* data)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capset, &header, data) == 0;
    }

    std::array<__user_cap_data_struct, 2> m_held{};
    bool m_lowered = false;
};

TEST(SubFoldersOnDisk, AFolderThatCannotBeReadIsNamedInTheHintLinesTooltip)
{
    const WithoutReadOverride permissions;
    if (!permissions.Lowered()) {
        GTEST_SKIP() << "the read permission could not be made to count";
    }
    TempFolder dir;
    fs::create_directories(dir.Path() / "locked");
    fs::permissions(dir.Path() / "locked", fs::perms::none);
    TreeWindow opened(dir.Slashed());
    FakeWindow& window = opened.Window;
    EXPECT_EQ(window.View.Panels[0], "1 folder could not be read");
    EXPECT_EQ(window.View.PanelTips[0].rfind(dir.Slashed() + "locked: ", 0), 0u) << window.View.PanelTips[0];
}

} // namespace
} // namespace pellamy
