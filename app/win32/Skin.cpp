// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/win32/Skin.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <string>

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

void DrawCaption(HDC dc, HWND control, const std::wstring& text, RECT area, UINT format)
{
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, g_colors.FaceText);
    InflateRect(&area, -4, 0);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
}

// The status bar in the skin: its parts in the face colour, their texts in the face text colour.
void PaintStatusBar(HWND bar, HDC dc)
{
    RECT area;
    GetClientRect(bar, &area);
    FillRect(dc, &area, g_face);
    const int parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
    for (int part = 0; part < parts; ++part) {
        RECT bounds;
        SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&bounds));
        DrawEdge(dc, &bounds, BDR_SUNKENOUTER, BF_RECT);
        std::wstring text(LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0)) + 1, L'\0');
        SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        DrawCaption(dc, bar, text, bounds, DT_LEFT);
    }
}

// A list's header in the skin: each column's caption on the face colour, aligned as the column is,
// with the sort arrow of the sorted column.
void PaintHeader(HWND header, HDC dc)
{
    RECT area;
    GetClientRect(header, &area);
    FillRect(dc, &area, g_face);
    for (int column = 0; column < Header_GetItemCount(header); ++column) {
        RECT bounds;
        Header_GetItemRect(header, column, &bounds);
        wchar_t caption[256] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_FORMAT;
        item.pszText = caption;
        item.cchTextMax = 256;
        Header_GetItem(header, column, &item);
        DrawEdge(dc, &bounds, BDR_RAISEDINNER, BF_RECT);
        const bool right = (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT;
        RECT text = bounds;
        if ((item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) != 0) {
            // The arrow sits at the caption's far side, pointing up for ascending.
            const int size = (bounds.bottom - bounds.top) / 4;
            const int x = right ? bounds.left + size + 2 : bounds.right - 2 * size - 4;
            const int y = (bounds.top + bounds.bottom) / 2;
            const bool up = (item.fmt & HDF_SORTUP) != 0;
            POINT arrow[3] = {{x - size, up ? y + size / 2 : y - size / 2},
                              {x + size, up ? y + size / 2 : y - size / 2},
                              {x, up ? y - size / 2 : y + size / 2}};
            HBRUSH brush = CreateSolidBrush(g_colors.FaceText);
            HGDIOBJ oldBrush = SelectObject(dc, brush);
            HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
            Polygon(dc, arrow, 3);
            SelectObject(dc, oldPen);
            SelectObject(dc, oldBrush);
            DeleteObject(brush);
            (right ? text.left : text.right) += right ? 2 * size + 4 : -(2 * size + 6);
        }
        DrawCaption(dc, header, caption, text, right ? DT_RIGHT : DT_LEFT);
    }
}

LRESULT CALLBACK SkinnedPaint(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR kind)
{
    if (g_skin && (message == WM_PAINT || message == WM_ERASEBKGND)) {
        if (message == WM_ERASEBKGND) {
            return 1;
        }
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(control, &paint);
        if (kind == 0) {
            PaintStatusBar(control, dc);
        } else {
            PaintHeader(control, dc);
        }
        EndPaint(control, &paint);
        return 0;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

} // namespace

void SkinStatusBar(HWND bar)
{
    SetWindowSubclass(bar, SkinnedPaint, 1, 0);
}

void SkinHeader(HWND header)
{
    SetWindowSubclass(header, SkinnedPaint, 1, 1);
}

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
