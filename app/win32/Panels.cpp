// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/win32/Panels.h"

#include "app/win32/Skin.h"

#include <windowsx.h>

#include <string>

namespace pellamy::win32 {
namespace {

constexpr wchar_t kPanelClass[] = L"TPanel";
constexpr wchar_t kSplitterClass[] = L"TJvSplitter";

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void PaintPanel(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    FillRect(dc, &area, FaceBrush());
    const auto look = static_cast<PanelLook>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (look != PanelLook::Caption) {
        DrawEdge(dc, &area, BDR_RAISEDINNER | BDR_SUNKENOUTER, BF_RECT);
    }
    const std::wstring caption = TextOf(window);
    if (!caption.empty()) {
        HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, CurrentColors().FaceText);
        RECT text = area;
        InflateRect(&text, -4, 0);
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
        if (look == PanelLook::Banner) {
            DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, format | DT_CENTER);
        } else {
            // Too long for the bar, the line keeps its end (the totals) and shows "…" before it.
            const auto width = [&](const std::wstring& line) {
                SIZE size{};
                GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
                return size.cx;
            };
            const int room = text.right - text.left;
            std::wstring shown = caption;
            if (width(caption) > room) {
                std::size_t low = 1;
                std::size_t high = caption.size();
                while (low < high) {
                    const std::size_t middle = (low + high) / 2;
                    if (width(L"\u2026" + caption.substr(middle)) <= room) {
                        high = middle;
                    } else {
                        low = middle + 1;
                    }
                }
                shown = L"\u2026" + caption.substr(low);
            }
            DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &text, format | DT_RIGHT);
        }
        SelectObject(dc, oldFont);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintPanel(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case WM_SIZE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_SETFONT:
        // A panel draws its caption in the font it was given, as a control does.
        SetWindowLongPtrW(window, 0, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam) != 0) {
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(window, 0);
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RegisterClasses(HINSTANCE instance)
{
    static bool registered = false;
    if (registered) {
        return;
    }
    registered = true;
    WNDCLASSEXW panel{};
    panel.cbSize = sizeof panel;
    panel.lpfnWndProc = PanelProc;
    panel.cbWndExtra = sizeof(LONG_PTR);
    panel.hInstance = instance;
    panel.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    panel.lpszClassName = kPanelClass;
    RegisterClassExW(&panel);
}

} // namespace

HWND CreatePanel(HWND parent, int id, PanelLook look, const wchar_t* caption)
{
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    RegisterClasses(instance);
    HWND panel = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, caption,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SetWindowLongPtrW(panel, GWLP_USERDATA, static_cast<LONG_PTR>(look));
    return panel;
}

Splitter::Splitter(HWND parent, int id, bool vertical, std::function<void(int position)> moved)
    : m_vertical(vertical)
    , m_moved(std::move(moved))
{
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    static bool registered = false;
    if (!registered) {
        registered = true;
        WNDCLASSEXW bar{};
    bar.cbSize = sizeof bar;
        bar.lpfnWndProc = WindowProc;
        bar.hInstance = instance;
        bar.lpszClassName = kSplitterClass;
        RegisterClassExW(&bar);
    }
    m_window = CreateWindowExW(0, kSplitterClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Splitter::~Splitter()
{
    if (IsWindow(m_window)) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
}

LRESULT CALLBACK Splitter::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<Splitter*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        HBRUSH brush = CreateSolidBrush(CurrentColors().Splitter);
        FillRect(dc, &area, brush);
        DeleteObject(brush);
        DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, self->m_vertical ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
    case WM_LBUTTONDOWN:
        self->m_dragging = true;
        self->m_grab = self->m_vertical ? GET_X_LPARAM(lParam) : GET_Y_LPARAM(lParam);
        SetCapture(window);
        return 0;
    case WM_MOUSEMOVE:
        if (self->m_dragging) {
            POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            MapWindowPoints(window, GetParent(window), &point, 1);
            self->m_moved((self->m_vertical ? point.x : point.y) - self->m_grab);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (self->m_dragging) {
            self->m_dragging = false;
            if (message == WM_LBUTTONUP) {
                ReleaseCapture();
            }
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace pellamy::win32
