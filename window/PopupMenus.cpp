// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/PopupMenus.h"

#include "window/WindowCore.h"

#include <array>

namespace pellamy {
namespace {

constexpr MenuEntry Entry(std::string_view name, std::string_view caption, MenuHandler handler,
                          std::string_view hint = {}, bool shown = true)
{
    MenuEntry entry;
    entry.Name = name;
    entry.Caption = caption;
    entry.Hint = hint;
    entry.Shown = shown;
    entry.Handler = handler;
    return entry;
}

constexpr MenuEntry Separator(std::string_view name)
{
    MenuEntry entry;
    entry.Name = name;
    entry.Caption = "-";
    return entry;
}

constexpr MenuEntry Checked(MenuEntry entry)
{
    entry.Checkable = true;
    entry.Checked = true;
    return entry;
}

const std::array<MenuEntry, 13> kPopupMenu1 = {
    Entry("Copyfilelist1", "Copy selected file names", &WindowCore::Copyfilelist1Click,
          "Copy all file names to clipboard"),
    Entry("Copyalldetails1", "Copy selected file details as CSV", &WindowCore::Copyalldetails1Click,
          "Copy all file details to clipboard in csv format"),
    Entry("XML1", "Copy selected file details as XML", &WindowCore::XML1Click),
    Entry("CopyselectedfiledetailsasHTML1", "Copy selected file details as HTML",
          &WindowCore::CopyselectedfiledetailsasHTML1Click),
    Entry("Copyfiles1", "Copy files to clipboard", &WindowCore::Copyfiles1Click,
          "Copy selected files to clipboard  for pasting elsewhere"),
    Entry("Copyto1", "Copy files to folder", &WindowCore::Copyto1Click, {}, false),
    Entry("Saveselectedfiledetailsttofile1", "Save selected file details",
          &WindowCore::Saveselectedfiledetailsttofile1Click),
    Entry("OpenfolderinExplorer2", "Open folder in  Explorer", &WindowCore::OpenfolderinExplorer2Click),
    Entry("Movefileto1", "Move files to folder", &WindowCore::Movefileto1Click, {}, false),
    Entry("Deletefiles1", "Delete files..", &WindowCore::Deletefiles1Click, {}, false),
    Separator("N1"),
    Entry("Selectall1", "Select all", &WindowCore::Selectall1Click),
    Entry("Properties1", "Properties", &WindowCore::Properties1Click),
};

const std::array<MenuEntry, 10> kPopupMenu2 = {
    Entry("CopyfolderdetailsasCSV1", "Copy folder details as CSV", &WindowCore::CopyfolderdetailsasCSV1Click),
    Entry("CopyfolderdetailsasXML1", "Copy folder details as XML", &WindowCore::CopyfolderdetailsasXML1Click),
    Entry("Print1", "Copy folder details as HTML", &WindowCore::Print1Click),
    Entry("Savefolderdetails1", "Save folder details", &WindowCore::Savefolderdetails1Click),
    Entry("Copyfoldername1", "Copy folder name", &WindowCore::Copyfoldername1Click),
    Entry("SElectafolder1", "Select a folder", &WindowCore::SElectafolder1Click),
    Entry("OpenfolderinExplorer1", "Open folder in Explorer", &WindowCore::OpenfolderinExplorer1Click),
    Separator("N2"),
    Entry("Registerunregisterincontextmenu1", "Register/unregister in context menu",
          &WindowCore::Registerunregisterincontextmenu1Click),
    Checked(Entry("Useskin1", "Use skin", &WindowCore::Useskin1Click)),
};

} // namespace

std::span<const MenuEntry> PopupMenu1()
{
    return kPopupMenu1;
}

std::span<const MenuEntry> PopupMenu2()
{
    return kPopupMenu2;
}

} // namespace pellamy
