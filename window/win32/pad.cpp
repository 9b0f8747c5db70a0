#include "pad.h"

#include <windowsx.h>

#include "padaccessible.h"
#include "systemfunction.h"
#include "widetext.h"
#include "windowclass.h"

namespace zintu {

namespace {

constexpr wchar_t className[] = L"ZintuPad";
// Posted by assistive technology's default action.
constexpr UINT pressMessage = WM_APP;

SystemFunction<decltype(CoInitializeEx)> coInitializeEx(L"ole32.dll", "CoInitializeEx", E_FAIL);
// Without it the pad answers as any window does, through the system's own object.
SystemFunction<decltype(LresultFromObject)> lresultFromObject(L"oleacc.dll", "LresultFromObject",
                                                              0);

enum Button : unsigned { left = 1, right = 2, middle = 4, x1 = 8, x2 = 16 };

MouseButton reported(unsigned button) {
    return button == left ? MouseButton::left : MouseButton::other;
}

unsigned xButton(WPARAM wParam) {
    return GET_XBUTTON_WPARAM(wParam) == XBUTTON1 ? x1 : x2;
}

}  // namespace

Pad::Pad(PadIndex index, HWND form, ToolkitEvents& events, const ToolkitForm& owner)
    : index_(index), events_(events), owner_(owner) {
    // No CS_DBLCLKS: Windows would turn a quick second press into a double-click message, and
    // for a pad it is just another press.
    registerWindowClass(className, ownedWindowProc<Pad>);
    hwnd_ =
        CreateWindowExW(0, className, widen(design::padText).c_str(), WS_CHILD | WS_CLIPSIBLINGS, 0,
                        0, 0, 0, form, nullptr, GetModuleHandleW(nullptr), this);
}

Pad::~Pad() {
    // Its form is out of the game by now, and the host may be gone: losing the capture as the
    // window goes must not report a release.
    heldButtons_ = 0;
    if (accessible_) {
        accessible_->detach();
        accessible_->Release();
    }
    DestroyWindow(hwnd_);
}

void Pad::setBackColor(Colour colour) {
    const bool wasLit = lit();
    backColor_ = colour;
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (lit() != wasLit) {
        // A screen reader follows playback by these.
        NotifyWinEvent(EVENT_OBJECT_STATECHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
    }
}

void Pad::setTwipGeometry(design::TwipRect twips, int dpi) {
    twips_ = twips;
    const design::PixelRect pixels = design::toPixels(twips, dpi);
    SetWindowPos(hwnd_, nullptr, pixels.x, pixels.y, pixels.width, pixels.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Pad::press() {
    events_.padPressed(owner_, index_);
}

LRESULT Pad::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            hwnd_ = hwnd;
            break;
        case WM_LBUTTONDOWN:
            buttonDown(left);
            return 0;
        case WM_RBUTTONDOWN:
            buttonDown(right);
            return 0;
        case WM_MBUTTONDOWN:
            buttonDown(middle);
            return 0;
        case WM_XBUTTONDOWN:
            buttonDown(xButton(wParam));
            return TRUE;
        case WM_LBUTTONUP:
            buttonUp(left, lParam);
            return 0;
        case WM_RBUTTONUP:
            buttonUp(right, lParam);
            return 0;
        case WM_MBUTTONUP:
            buttonUp(middle, lParam);
            return 0;
        case WM_XBUTTONUP:
            buttonUp(xButton(wParam), lParam);
            return TRUE;
        case WM_CAPTURECHANGED:
            // Taken away while a button was held: the pad is restored, but nothing is clicked.
            if (heldButtons_ != 0) {
                const MouseButton button =
                    heldButtons_ & left ? MouseButton::left : MouseButton::other;
                heldButtons_ = 0;
                events_.padUp(owner_, index_, button, false);
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint();
            return 0;
        case WM_GETOBJECT:
            if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
                // Assistive technology asks on the window's own thread; COM must be ready there.
                static const HRESULT comReady = coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
                (void)comReady;
                return lresultFromObject(IID_IAccessible, wParam, accessible());
            }
            break;
        case pressMessage:
            press();
            return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Pad::buttonDown(unsigned button) {
    if (heldButtons_ == 0) {
        SetCapture(hwnd_);
    }
    heldButtons_ |= button;
    events_.padDown(owner_, index_, reported(button));
}

void Pad::buttonUp(unsigned button, LPARAM position) {
    if ((heldButtons_ & button) == 0) {
        return;
    }
    heldButtons_ &= ~button;
    RECT inside;
    GetClientRect(hwnd_, &inside);
    const bool overPad = PtInRect(&inside, POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)});
    if (heldButtons_ == 0) {
        ReleaseCapture();
    }
    events_.padUp(owner_, index_, reported(button), overPad);
}

void Pad::paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    SetDCBrushColor(dc, backColor_);
    FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    EndPaint(hwnd_, &paint);
}

IAccessible* Pad::accessible() {
    if (!accessible_) {
        accessible_ = new PadAccessible(*this, pressMessage);
    }
    return accessible_;
}

}  // namespace zintu
