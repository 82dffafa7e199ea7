// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for the navigator until it lands, so that the window builds.
#pragma once
#include "lists/TextCollator.h"
#include "shell/FolderSystem.h"
#include <windows.h>
#include <string>
namespace pellamy::win32 {
class SelectDirectoryDialog { public:
  SelectDirectoryDialog(FolderSystem&, const TextCollator&) {}
  void SetInitialDir(const std::string& d) { m_d = d; } std::string Directory() const { return m_d; }
  bool Execute(HWND) { return false; } std::string m_d; };
}
