#include "boxanswerer.h"

namespace zintu::testing {

namespace {

constexpr UINT pollMs = 5;
// The id Windows gives a message box's text.
constexpr int messageTextId = 0xFFFF;

std::wstring textOf(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

HWND openMessageBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM into) -> BOOL {
            wchar_t className[16] = L"";
            GetClassNameW(window, className, static_cast<int>(std::size(className)));
            if (IsWindowVisible(window) && std::wstring(className) == L"#32770") {
                *reinterpret_cast<HWND*>(into) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

BoxAnswerer* BoxAnswerer::current_ = nullptr;

BoxAnswerer::BoxAnswerer(int holdMs) : holdMs_(holdMs) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, pollMs, poll);
}

BoxAnswerer::~BoxAnswerer() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
}

std::vector<std::wstring> BoxAnswerer::texts() const {
    std::vector<std::wstring> texts;
    for (const Box& box : boxes_) {
        texts.push_back(box.text);
    }
    return texts;
}

void CALLBACK BoxAnswerer::poll(HWND, UINT, UINT_PTR, DWORD) {
    if (current_) {
        current_->check();
    }
}

void BoxAnswerer::check() {
    HWND box = openMessageBox();
    if (box != open_) {
        open_ = box;
        openedAt_ = GetTickCount64();
        answered_ = false;
        if (box) {
            HWND owner = GetWindow(box, GW_OWNER);
            boxes_.push_back({textOf(box), textOf(GetDlgItem(box, messageTextId)), owner,
                              owner && !IsWindowEnabled(owner)});
            if (onOpen_) {
                onOpen_(box);
            }
        }
    }
    if (open_ && !answered_ && GetTickCount64() - openedAt_ >= static_cast<ULONGLONG>(holdMs_)) {
        answered_ = true;
        PostMessageW(open_, WM_COMMAND, IDOK, 0);
    }
}

void pumpFor(int ms) {
    pumpUntil([] { return false; }, ms);
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        // Alertable, as the program's own loop: the playback timer's ticks come in there.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                    MWMO_ALERTABLE | MWMO_INPUTAVAILABLE);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

}  // namespace zintu::testing
