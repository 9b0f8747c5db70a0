#pragma once

#include <windows.h>

namespace zintu {

// Registers one of the program's window classes, once however often asked: its windows show
// the arrow cursor, and are erased with `background` or, without one, paint all of themselves.
void registerWindowClass(const wchar_t* name, WNDPROC windowProc, HBRUSH background = nullptr,
                         HICON icon = nullptr, HICON smallIcon = nullptr);

// The window procedure of a class whose every window belongs to one object, the one passed to
// CreateWindowEx: the window's messages go to its handle(), until the window is gone.
template <typename Owner>
LRESULT CALLBACK ownedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    return owner ? owner->handle(hwnd, message, wParam, lParam)
                 : DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace zintu
