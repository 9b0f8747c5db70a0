#include "win32toolkit.h"

#include "design.h"
#include "form.h"
#include "lightuptimer.h"
#include "resourceids.h"
#include "widetext.h"
#include "windowclass.h"

namespace zintu {

namespace {

constexpr wchar_t className[] = L"ZintuWindow";
// Posted once the last handler has returned: the unloaded form's pad may have been raising it.
constexpr UINT destroyUnloadedMessage = WM_APP;
// While the window is moved or its menu is open, in Windows' own loops: the playback timer's
// ticks are let in by this one.
constexpr UINT_PTR modalLoopTimer = 1;
// Fixed size: neither resized nor maximised.
constexpr DWORD windowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

}  // namespace

Win32Toolkit::Win32Toolkit() = default;

Win32Toolkit::~Win32Toolkit() {
    forms_ = {};
    if (window_) {
        DestroyWindow(window_);
    }
}

void Win32Toolkit::open(ToolkitEvents& events) {
    reports_.emplace(events, [this] { destroyUnloadedOnceNoHandlerRuns(); });
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // Erased in the form's colour, so that nothing else can show between two forms.
    registerWindowClass(
        className, ownedWindowProc<Win32Toolkit>, Form::background(),
        LoadIconW(instance, MAKEINTRESOURCEW(ZINTU_ICON)),
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(ZINTU_ICON), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                      LR_DEFAULTCOLOR)));
    window_ = CreateWindowExW(0, className, widen(design::formCaption).c_str(), windowStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
    // Centred on the monitor it opens on, at that monitor's resolution.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const int dpi = GetDpiForWindow(window_);
    const SIZE size = outsideSize(dpi);
    const RECT& work = monitor.rcWork;
    fitWindow(dpi, POINT{work.left + (work.right - work.left - size.cx) / 2,
                         work.top + (work.bottom - work.top - size.cy) / 2});
}

ToolkitForm& Win32Toolkit::buildForm() {
    return forms_.add(std::make_unique<Form>(window_, GetDpiForWindow(window_), *reports_));
}

void Win32Toolkit::destroyLater(ToolkitForm& form) {
    forms_.unload(form);
    destroyUnloadedOnceNoHandlerRuns();
}

void Win32Toolkit::setWindowShown(bool shown) {
    if (!shown) {
        ShowWindow(window_, SW_HIDE);
    } else if (!IsWindowVisible(window_)) {
        ShowWindow(window_, SW_SHOW);
    }
}

void Win32Toolkit::runMessageBox(const std::string& text, bool overWindow) {
    HWND owner = nullptr;
    if (overWindow) {
        owner = window_;
        // The box's own loop would paint the pads only once the box is up: show them as they
        // stand first, so that the last pad of a playback goes dark on the beat.
        RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    // With no window on the screen, the box stands alone, modal to the whole program.
    MessageBoxW(owner, widen(text).c_str(), widen(design::messageCaption).c_str(),
                MB_OK | (owner ? MB_APPLMODAL : MB_TASKMODAL));
}

void Win32Toolkit::runEventLoop() {
    while (!quit_) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // Alertable, so that the playback timer's ticks are taken here.
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT,
                                    MWMO_ALERTABLE | MWMO_INPUTAVAILABLE);
    }
}

void Win32Toolkit::quit(int status) {
    quit_ = true;
    PostQuitMessage(status);
}

// Not destroyed here and now: the handler that just returned is still in its control's window
// procedure. Nor on a message posted at the unload: MessageBoxW's own loop, run by a box that
// same handler opens, would deliver it while the handler is still running.
void Win32Toolkit::destroyUnloadedOnceNoHandlerRuns() {
    if (!reports_->handling() && forms_.anyUnloaded()) {
        PostMessageW(window_, destroyUnloadedMessage, 0, 0);
    }
}

SIZE Win32Toolkit::outsideSize(int dpi) {
    const SIZE inside = Form::size(dpi);
    RECT outside{0, 0, inside.cx, inside.cy};
    AdjustWindowRectExForDpi(&outside, windowStyle, FALSE, 0, dpi);
    return {outside.right - outside.left, outside.bottom - outside.top};
}

// Sizes the window so that its inside is the form's designed size at `dpi`.
void Win32Toolkit::fitWindow(int dpi, POINT topLeft) {
    const SIZE inside = Form::size(dpi);
    const SIZE size = outsideSize(dpi);
    SetWindowPos(window_, nullptr, topLeft.x, topLeft.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame may not yet be drawn at the new resolution's metrics: the inside is made exact
    // by what it came out as.
    RECT got;
    GetClientRect(window_, &got);
    if (got.right != inside.cx || got.bottom != inside.cy) {
        SetWindowPos(window_, nullptr, 0, 0, size.cx + inside.cx - got.right,
                     size.cy + inside.cy - got.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT Win32Toolkit::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            window_ = hwnd;
            break;
        case WM_CLOSE:
            // Whether the window goes is the host's to say: it hides it when the program ends.
            if (reports_) {
                reports_->closeRequested();
            }
            return 0;
        case WM_DPICHANGED: {
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            const int dpi = HIWORD(wParam);
            fitWindow(dpi, POINT{suggested.left, suggested.top});
            for (const auto& form : forms_.loaded()) {
                form->layout(dpi);
            }
            return 0;
        }
        case WM_ENTERSIZEMOVE:
        case WM_ENTERMENULOOP:
            SetTimer(window_, modalLoopTimer, USER_TIMER_MINIMUM, nullptr);
            break;
        case WM_EXITSIZEMOVE:
        case WM_EXITMENULOOP:
            KillTimer(window_, modalLoopTimer);
            break;
        case WM_TIMER:
            if (wParam == modalLoopTimer) {
                LightUpTimer::takeDueTicks();
                return 0;
            }
            break;
        case destroyUnloadedMessage:
            // A handler that began since the message was posted posts it again as it returns.
            if (!reports_->handling()) {
                forms_.destroyUnloaded();
            }
            return 0;
        case WM_NCDESTROY:
            window_ = nullptr;
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace zintu
