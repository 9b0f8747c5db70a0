#pragma once

#include <windows.h>

#include "design.h"
#include "runtime.h"
#include "toolkit.h"

// Declared as oleacc.h declares it, which only the pad's own code needs whole.
struct IAccessible;

namespace zintu {

class PadAccessible;

// One pad of the Press control array: a child window that shows nothing but its background
// colour. A disabled pad raises nothing and keeps its colour.
class Pad {
public:
    // Reports the raw mouse gestures on it to `events`, as a control of `owner`.
    Pad(PadIndex index, HWND form, ToolkitEvents& events, const ToolkitForm& owner);
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
    ToolkitEvents& events_;
    const ToolkitForm& owner_;
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
