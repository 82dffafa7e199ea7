// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_WIN32_CONTROLIDS_H
#define PELLAMY_APP_WIN32_CONTROLIDS_H

// The identifiers of the window's controls (their GWLP_ID), by the names of the window definition.
// Other programs find the controls by them: accessibility tools, and the tests that read the window
// from a second process.
namespace pellamy::win32 {

inline constexpr int kPanel1 = 100;      ///< the banner
inline constexpr int kISF = 101;
inline constexpr int kroFile = 102;
inline constexpr int khidFile = 103;
inline constexpr int ksysFile = 104;
inline constexpr int karcFile = 105;
inline constexpr int kAttrChk = 106;
inline constexpr int kSubFolders = 112;
inline constexpr int kPanel4 = 107;      ///< the folder area
inline constexpr int kPanel3 = 108;      ///< the filter bar
inline constexpr int kTotalsLine = 109;  ///< the filter bar's caption: the totals line
inline constexpr int ksLView = 110;      ///< the type list
inline constexpr int kLView2 = 111;      ///< the file list
inline constexpr int kPanel2 = 120;      ///< the folder navigator
inline constexpr int kdList = 121;
inline constexpr int kJvDriveCombo1 = 122;
inline constexpr int kStatusBar1 = 130;
inline constexpr int kJvSplitter1 = 140; ///< between the navigator and the type list
inline constexpr int kJvSplitter2 = 141; ///< between the folder area and the file list

/// The caption of the window, and the class of its top-level window.
inline constexpr wchar_t kWindowCaption[] = L"Pellamy";
inline constexpr wchar_t kWindowClass[] = L"TForm1";

} // namespace pellamy::win32

#endif
