#pragma once

#include <string>

#include "runtime.h"

// What a window toolkit supplies to the host: the few things only it can do. The host writes
// the lifecycle once over them, for every toolkit alike.
namespace zintu {

class ToolkitForm;

// Only the left button clicks; the others press and release alike.
enum class MouseButton { left, other };

// What a toolkit reports to the host. Each control's event names the form it stands on, so
// that the host can tell a loaded form's controls from an unloaded one's.
class ToolkitEvents {
public:
    virtual void tick(const ToolkitForm& form) = 0;
    // A mouse button pressed on the pad. The pad keeps the mouse until every button is released.
    virtual void padDown(const ToolkitForm& form, PadIndex pad, MouseButton button) = 0;
    // A button released, reported to the pad it was pressed on; `overPad`: with the pointer still
    // over that pad. A release the window system takes away is one off the pad.
    virtual void padUp(const ToolkitForm& form, PadIndex pad, MouseButton button, bool overPad) = 0;
    // What assistive technology's press action asks: what a left click does.
    virtual void padPressed(const ToolkitForm& form, PadIndex pad) = 0;
    // The user asks to close the window; returns whether it may close. The program has ended
    // if so.
    virtual bool closeRequested() = 0;

protected:
    ~ToolkitEvents() = default;
};

// One form built from its design values: pad 0 red, enabled and visible at its design place,
// the label reading its design caption, the timer disabled; the form itself hidden.
class ToolkitForm {
public:
    virtual ~ToolkitForm() = default;

    // Creates pad `pad` as a hidden copy of pad 0.
    virtual void loadPad(PadIndex pad) = 0;
    virtual Colour padColour(PadIndex pad) const = 0;
    virtual void setPadColour(PadIndex pad, Colour colour) = 0;
    virtual void setPadEnabled(PadIndex pad, bool enabled) = 0;
    virtual void setPadVisible(PadIndex pad, bool visible) = 0;
    // In twips.
    virtual void movePad(PadIndex pad, int left, int top) = 0;

    virtual void setScoreCaption(const std::string& text) = 0;
    // While on, one tick every interval, the first one interval after it is switched on.
    virtual void setLightUpEnabled(bool enabled) = 0;
    virtual void setShown(bool shown) = 0;
};

class Toolkit {
public:
    virtual ~Toolkit() = default;

    // Makes the one top-level window, hidden, and sends every event to `events` from now on.
    virtual void open(ToolkitEvents& events) = 0;
    // A new form inside the top-level window. The toolkit owns it until it destroys it.
    virtual ToolkitForm& buildForm() = 0;
    // Destroys the form once no handler is running, a box's own loop included: a pad of it may
    // be raising the event that unloaded it, and that handler may go on to open a box.
    virtual void destroyLater(ToolkitForm& form) = 0;
    virtual void setWindowShown(bool shown) = 0;

    // A modal box captioned with the application title: the text and one OK button. Returns
    // once it is dismissed in any way. `overWindow`: the game window is on the screen, and the
    // box belongs to it.
    virtual void runMessageBox(const std::string& text, bool overWindow) = 0;

    // Runs the events until `quit`.
    virtual void runEventLoop() = 0;
    // Ends the event loop; no event reaches the host after it.
    virtual void quit(int status) = 0;
};

}  // namespace zintu
