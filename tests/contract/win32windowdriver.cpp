#include <oleacc.h>
#include <windows.h>

#include <vector>

#include "form.h"
#include "pumping.h"
#include "widetext.h"
#include "win32toolkit.h"
#include "windowdriver.h"

namespace zintu::testing {

namespace {

constexpr UINT pollMs = 5;
// Lets the system's input queue deliver what was sent.
constexpr int inputSettleMs = 20;
// The id Windows gives a message box's text.
constexpr int messageTextId = 0xFFFF;
constexpr wchar_t boxIdProperty[] = L"ZintuContractId";
// A point of the form's background, off every pad.
constexpr POINT offThePads{design::toPixels(design::offPadsPoint.x),
                           design::toPixels(design::offPadsPoint.y)};

std::string textOf(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return narrow(text);
}

bool hasClass(HWND window, const wchar_t* name) {
    wchar_t className[32] = L"";
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    return std::wstring(className) == name;
}

HWND openMessageBox() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM into) -> BOOL {
            if (IsWindowVisible(window) && hasClass(window, L"#32770")) {
                *reinterpret_cast<HWND*>(into) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<std::string> buttonsOf(HWND box) {
    std::vector<std::string> buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsWindowVisible(child) && hasClass(child, L"Button")) {
            buttons.push_back(textOf(child));
        }
    }
    return buttons;
}

DWORD downFlag(Button button) {
    switch (button) {
        case Button::right:
            return MOUSEEVENTF_RIGHTDOWN;
        case Button::middle:
            return MOUSEEVENTF_MIDDLEDOWN;
        case Button::left:
            break;
    }
    return MOUSEEVENTF_LEFTDOWN;
}

// In the system's flags, each button's release is the bit above its press.
DWORD upFlag(Button button) {
    return downFlag(button) << 1;
}

// Real input, through the system's input queue, so that Windows does its own capture and its
// own double-click detection.
void sendMouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
    pumpFor(inputSettleMs);
}

void pointAt(HWND window, POINT inside) {
    ClientToScreen(window, &inside);
    SetCursorPos(inside.x, inside.y);
    pumpFor(inputSettleMs);
}

class Win32WindowDriver : public WindowDriver {
public:
    Win32WindowDriver() {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, pollMs, poll);
    }

    ~Win32WindowDriver() override {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }

    Win32WindowDriver(const Win32WindowDriver&) = delete;
    Win32WindowDriver& operator=(const Win32WindowDriver&) = delete;

    Toolkit& toolkit() override { return toolkit_; }

    bool settle() override {
        RedrawWindow(toolkit_.window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpFor(50);
        return IsWindowVisible(toolkit_.window()) != FALSE;
    }

    bool runUntil(const std::function<bool()>& done, int timeoutMs) override {
        return pumpUntil(done, timeoutMs);
    }

    void startPolling(std::function<void()> poll) override { polls_.push_back(std::move(poll)); }

    void press(PadIndex pad, Button button) override {
        pointAt(padWindow(pad), centreOf(padWindow(pad)));
        sendMouse(downFlag(button));
    }

    void release(PadIndex pad, Button button) override {
        pointAt(padWindow(pad), centreOf(padWindow(pad)));
        sendMouse(upFlag(button));
    }

    void releaseOffThePads(Button button) override {
        pointAt(toolkit_.window(), offThePads);
        sendMouse(upFlag(button));
    }

    // On the window's frame, above and left of its client area.
    void releaseOutsideTheWindow(Button button) override {
        pointAt(toolkit_.window(), POINT{-4, -4});
        sendMouse(upFlag(button));
    }

    void doubleClick(PadIndex pad) override {
        pointAt(padWindow(pad), centreOf(padWindow(pad)));
        for (int click = 0; click < 2; ++click) {
            sendMouse(MOUSEEVENTF_LEFTDOWN);
            sendMouse(MOUSEEVENTF_LEFTUP);
        }
    }

    // Under Wine, LresultFromObject cannot marshal IAccessible, so the object is taken from the
    // pad rather than through WM_GETOBJECT.
    void pressAction(PadIndex pad) override {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        toolkit_.form()->pad(pad)->accessible()->accDoDefaultAction(self);
    }

    Colour shownAt(int x, int y) override {
        POINT point{x, y};
        ClientToScreen(toolkit_.window(), &point);
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, point.x, point.y);
        ReleaseDC(nullptr, screen);
        return colour;
    }

    std::string labelText() override { return textOf(toolkit_.form()->score()); }

    // Whole where the text, in the label's own font, fits the label's inside.
    bool labelShowsWhole() override {
        HWND score = toolkit_.form()->score();
        const std::wstring text = widen(labelText());
        HDC dc = GetDC(score);
        const HGDIOBJ previous =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(score, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, previous);
        ReleaseDC(score, dc);
        RECT inside;
        GetClientRect(score, &inside);
        return extent.cx > 0 && extent.cx <= inside.right && extent.cy <= inside.bottom;
    }

    // Under Wine, LresultFromObject cannot marshal IAccessible, so the object is taken from the
    // pad rather than through WM_GETOBJECT.
    SeenAccessible accessibleOf(PadIndex pad) override {
        IAccessible* accessible = toolkit_.form()->pad(pad)->accessible();
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        BSTR action = nullptr;
        VARIANT role{};
        VARIANT state{};
        accessible->get_accName(self, &name);
        accessible->get_accDefaultAction(self, &action);
        accessible->get_accRole(self, &role);
        accessible->get_accState(self, &state);
        SeenAccessible seen{role.lVal == ROLE_SYSTEM_PUSHBUTTON ? "button" : "other",
                            name ? narrow(name) : "",
                            {},
                            (state.lVal & STATE_SYSTEM_PRESSED) != 0};
        if (action) {
            seen.actions.push_back(narrow(action));
        }
        SysFreeString(name);
        SysFreeString(action);
        return seen;
    }

    std::optional<SeenBox> openBox() override {
        HWND box = openMessageBox();
        if (!box) {
            return std::nullopt;
        }
        if (!GetPropW(box, boxIdProperty)) {
            SetPropW(box, boxIdProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(++seen_)));
        }
        const auto id = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(box, boxIdProperty)));
        HWND owner = GetWindow(box, GW_OWNER);
        return SeenBox{id,
                       textOf(box),
                       textOf(GetDlgItem(box, messageTextId)),
                       buttonsOf(box),
                       owner && owner == toolkit_.window(),
                       !IsWindowEnabled(toolkit_.window())};
    }

    void pressOk() override {
        if (HWND box = openMessageBox()) {
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }

    void requestClose() override { SendMessageW(toolkit_.window(), WM_CLOSE, 0, 0); }

    bool windowShown() override { return IsWindowVisible(toolkit_.window()) != FALSE; }

    std::string windowCaption() override { return textOf(toolkit_.window()); }

    std::pair<int, int> clientSize() override {
        RECT inside;
        GetClientRect(toolkit_.window(), &inside);
        return {inside.right, inside.bottom};
    }

    bool fixedSize() override {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(toolkit_.window(), GWL_STYLE));
        return !(style & (WS_THICKFRAME | WS_MAXIMIZEBOX));
    }

    std::uintptr_t windowIdentity() override {
        return reinterpret_cast<std::uintptr_t>(toolkit_.window());
    }

    int formsInWindow() override {
        int forms = 0;
        for (HWND child = GetWindow(toolkit_.window(), GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            forms += hasClass(child, L"ZintuForm");
        }
        return forms;
    }

    int padsInWindow() override {
        int pads = 0;
        EnumChildWindows(
            toolkit_.window(),
            [](HWND child, LPARAM count) -> BOOL {
                *reinterpret_cast<int*>(count) += hasClass(child, L"ZintuPad");
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&pads));
        return pads;
    }

private:
    static void CALLBACK poll(HWND, UINT, UINT_PTR, DWORD) {
        if (current_) {
            // By index: a poll may start another.
            for (std::size_t i = 0; i < current_->polls_.size(); ++i) {
                current_->polls_[i]();
            }
        }
    }

    HWND padWindow(PadIndex pad) const { return toolkit_.form()->pad(pad)->hwnd(); }

    static POINT centreOf(HWND window) {
        RECT inside;
        GetClientRect(window, &inside);
        return {inside.right / 2, inside.bottom / 2};
    }

    static Win32WindowDriver* current_;
    Win32Toolkit toolkit_;
    UINT_PTR timer_;
    std::vector<std::function<void()>> polls_;
    int seen_ = 0;
};

Win32WindowDriver* Win32WindowDriver::current_ = nullptr;

}  // namespace

std::unique_ptr<WindowDriver> makeWindowDriver() {
    return std::make_unique<Win32WindowDriver>();
}

}  // namespace zintu::testing
