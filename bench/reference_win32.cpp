// The least a Win32 program does to show the game's window with its text: the yardstick the
// benchmark measures zintu.exe against, built the same way.
#include <windows.h>

#include "design.h"

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"Reference";
    RegisterClassW(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT outside{0, 0, zintu::design::toPixels(zintu::design::clientWidth),
                 zintu::design::toPixels(zintu::design::clientHeight)};
    AdjustWindowRect(&outside, style, FALSE);
    HWND window = CreateWindowW(L"Reference", L"Zintu!", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                outside.right - outside.left, outside.bottom - outside.top, nullptr,
                                nullptr, instance, nullptr);
    CreateWindowW(L"STATIC", L"Level: 1", WS_CHILD | WS_VISIBLE, 10, 56, 150, 20, window, nullptr,
                  instance, nullptr);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
