#include "form.h"

#include "scorefont.h"
#include "widetext.h"
#include "windowclass.h"

namespace zintu {

namespace {

constexpr wchar_t className[] = L"ZintuForm";

}  // namespace

Form::Form(HWND frame, int dpi, ToolkitEvents& events) : events_(events), dpi_(dpi) {
    registerWindowClass(className, ownedWindowProc<Form>, background());
    HINSTANCE instance = GetModuleHandleW(nullptr);
    hwnd_ = CreateWindowExW(0, className, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, frame,
                            nullptr, instance, this);
    score_ = CreateWindowExW(0, L"STATIC", widen(design::scoreCaption).c_str(),
                             WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, 0, 0,
                             0, 0, hwnd_, nullptr, instance, nullptr);
    lightUp_ =
        std::make_unique<LightUpTimer>([this] { events_.tick(*this); }, design::lightUpIntervalMs);

    pads_[0] = std::make_unique<Pad>(0, hwnd_, events_, *this);
    pads_[0]->setBackColor(design::restingColour(0));
    pads_[0]->setTwipGeometry(design::padRect(0), dpi_);
    ShowWindow(pads_[0]->hwnd(), SW_SHOWNA);
    layout(dpi);
}

Form::~Form() {
    lightUp_.reset();
    for (auto& pad : pads_) {
        pad.reset();
    }
    DestroyWindow(hwnd_);
    DeleteObject(scoreFont_);
}

SIZE Form::size(int dpi) {
    return {design::toPixels(design::clientWidth, dpi),
            design::toPixels(design::clientHeight, dpi)};
}

HBRUSH Form::background() {
    // One for the whole run, as the window classes that erase with it.
    static const HBRUSH brush = CreateSolidBrush(design::formBackColor);
    return brush;
}

void Form::loadPad(PadIndex index) {
    const Pad& original = *pads_[0];
    auto copy = std::make_unique<Pad>(index, hwnd_, events_, *this);
    copy->setTwipGeometry(original.twipGeometry(), dpi_);
    copy->setBackColor(original.backColor());
    EnableWindow(copy->hwnd(), IsWindowEnabled(original.hwnd()));
    pads_.at(static_cast<std::size_t>(index)) = std::move(copy);
}

Colour Form::padColour(PadIndex index) const {
    return pad(index)->backColor();
}

void Form::setPadColour(PadIndex index, Colour colour) {
    pad(index)->setBackColor(colour);
}

void Form::setPadEnabled(PadIndex index, bool enabled) {
    EnableWindow(pad(index)->hwnd(), enabled);
}

void Form::setPadVisible(PadIndex index, bool visible) {
    ShowWindow(pad(index)->hwnd(), visible ? SW_SHOWNA : SW_HIDE);
}

void Form::setScoreCaption(const std::string& text) {
    SetWindowTextW(score_, widen(text).c_str());
}

void Form::setLightUpEnabled(bool enabled) {
    if (enabled) {
        lightUp_->start();
    } else {
        lightUp_->stop();
    }
}

void Form::setShown(bool shown) {
    ShowWindow(hwnd_, shown ? SW_SHOWNA : SW_HIDE);
}

void Form::movePad(PadIndex index, int left, int top) {
    Pad& moved = *pad(index);
    const design::TwipRect place = moved.twipGeometry();
    moved.setTwipGeometry({left, top, place.width, place.height}, dpi_);
}

void Form::layout(int dpi) {
    dpi_ = dpi;
    const SIZE inside = size(dpi);
    SetWindowPos(hwnd_, nullptr, 0, 0, inside.cx, inside.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    const design::PixelRect label = design::toPixels(design::scoreRect, dpi);
    SetWindowPos(score_, nullptr, label.x, label.y, label.width, label.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    HFONT previous = scoreFont_;
    scoreFont_ = createScoreFont(dpi, SIZE{label.width, label.height});
    SendMessageW(score_, WM_SETFONT, reinterpret_cast<WPARAM>(scoreFont_), TRUE);
    DeleteObject(previous);
    for (const auto& pad : pads_) {
        if (pad) {
            pad->setTwipGeometry(pad->twipGeometry(), dpi);
        }
    }
}

LRESULT Form::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            hwnd_ = hwnd;
            break;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, design::scoreTextColour);
            SetBkColor(dc, design::formBackColor);
            return reinterpret_cast<LRESULT>(background());
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace zintu
