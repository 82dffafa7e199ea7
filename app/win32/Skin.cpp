// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/win32/Skin.h"

#include <uxtheme.h>

namespace pellamy::win32 {
namespace {

bool g_skin = false;
SkinColors g_colors{};
HBRUSH g_face = nullptr;
HBRUSH g_list = nullptr;

SkinColors SystemColors()
{
    return {GetSysColor(COLOR_BTNFACE),   GetSysColor(COLOR_BTNTEXT),       GetSysColor(COLOR_WINDOW),
            GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_HIGHLIGHT),    GetSysColor(COLOR_HIGHLIGHTTEXT),
            RGB(216, 216, 216)};
}

// The skin: slate panels with light text over dark lists, teal selections.
constexpr SkinColors kSkin{RGB(52, 73, 94),   RGB(236, 240, 241), RGB(33, 42, 52), RGB(220, 224, 228),
                           RGB(0, 137, 152),  RGB(255, 255, 255), RGB(86, 101, 115)};

void MakeBrushes()
{
    if (g_face != nullptr) {
        DeleteObject(g_face);
        DeleteObject(g_list);
    }
    g_colors = g_skin ? kSkin : SystemColors();
    g_face = CreateSolidBrush(g_colors.Face);
    g_list = CreateSolidBrush(g_colors.ListBack);
}

} // namespace

bool SkinActive()
{
    return g_skin;
}

void SetSkinActive(bool on)
{
    g_skin = on;
    MakeBrushes();
}

const SkinColors& CurrentColors()
{
    if (g_face == nullptr) {
        MakeBrushes();
    }
    return g_colors;
}

HBRUSH FaceBrush()
{
    CurrentColors();
    return g_face;
}

HBRUSH ListBrush()
{
    CurrentColors();
    return g_list;
}

void ApplySkinTheme(HWND control)
{
    // A themed check box or status bar draws its own colours; without a theme they take the
    // colours the window gives them.
    if (g_skin) {
        SetWindowTheme(control, L" ", L" ");
    } else {
        SetWindowTheme(control, nullptr, nullptr);
    }
}

} // namespace pellamy::win32
