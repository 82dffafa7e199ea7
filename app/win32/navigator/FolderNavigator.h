// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for the navigator until it lands, so that the window builds.
#pragma once
#include "lists/TextCollator.h"
#include "shell/FolderSystem.h"
#include <windows.h>
#include <functional>
#include <string>
namespace pellamy::win32 {
class FolderNavigator {
public:
  struct Events { std::function<void()> DirectoryClicked; std::function<void()> DriveChanged; };
  FolderNavigator(HWND parent, FolderSystem&, const TextCollator&, Events) {
    m_panel = CreateWindowExW(0, L"STATIC", L"", WS_CHILD|WS_VISIBLE, 0,0,0,0, parent, (HMENU)120, nullptr, nullptr);
    m_list = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD|WS_VISIBLE, 0,0,0,0, m_panel, (HMENU)121, nullptr, nullptr);
    m_drive = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD|WS_VISIBLE, 0,0,0,0, m_panel, (HMENU)122, nullptr, nullptr);
  }
  HWND Panel() const { return m_panel; } HWND DirectoryList() const { return m_list; } HWND DriveBox() const { return m_drive; }
  void SetFont(HFONT, UINT) {}
  void Place(const RECT& r) { MoveWindow(m_panel, r.left, r.top, r.right-r.left, r.bottom-r.top, TRUE); }
  std::string Directory() const { return m_dir; }
  void SetDirectory(const std::string& p) { m_dir = p; }
  void DrivesChanged() {}
  void ApplyColors() {}
  HWND m_panel, m_list, m_drive; std::string m_dir;
};
}
