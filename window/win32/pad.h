#pragma once

#include <oleacc.h>
#include <windows.h>

#include "design.h"
#include "runtime.h"

namespace zintu {

class PadAccessible;

// Where a pad reports the raw mouse gestures on it.
class PadListener {
public:
    virtual ~PadListener() = default;
    virtual void padDown(PadIndex pad) = 0;
    virtual void padUp(PadIndex pad) = 0;
    virtual void padClick(PadIndex pad) = 0;
    virtual void padPressed(PadIndex pad) = 0;
};

// One pad of the Press control array: a child window that shows nothing but its background
// colour. A disabled pad raises nothing and keeps its colour.
class Pad {
public:
    Pad(PadIndex index, HWND form, PadListener& listener);
    ~Pad();
    Pad(const Pad&) = delete;
    Pad& operator=(const Pad&) = delete;

    HWND hwnd() const { return hwnd_; }
    PadIndex index() const { return index_; }

    Colour backColor() const { return backColor_; }
    void setBackColor(Colour colour);
    bool lit() const { return backColor_ == design::litColour; }

    design::TwipRect twipGeometry() const { return twips_; }
    void setTwipGeometry(design::TwipRect twips, int dpi);

    // Assistive technology's press action, which does what a left click does.
    void press();

    // What the pad hands assistive technology that asks for it (WM_GETOBJECT).
    IAccessible* accessible();

    // The window's messages.
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void buttonDown(unsigned button);
    void buttonUp(unsigned button, LPARAM position);
    void paint();

    PadIndex index_;
    PadListener& listener_;
    HWND hwnd_;
    Colour backColor_ = 0;
    // Kept in twips so that every move or change of resolution rounds the pad's edges afresh,
    // never its size.
    design::TwipRect twips_{};
    // The buttons pressed on this pad and not yet released, one bit each: their releases come
    // here, wherever the pointer is, and nowhere else.
    unsigned heldButtons_ = 0;
    // Made at the first request; shared with assistive technology, which may hold it longer.
    PadAccessible* accessible_ = nullptr;
};

}  // namespace zintu
