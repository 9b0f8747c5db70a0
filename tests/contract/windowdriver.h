#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime.h"
#include "toolkit.h"

namespace zintu::testing {

enum class Button { left, right, middle };

// A message box as the window system shows it.
struct SeenBox {
    // Tells one box from the next, even where the next takes the same place in memory.
    int id;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;
    bool ownedByGameWindow;
    // The game window takes no input while it is open.
    bool modal;
};

// What assistive technology is told of a pad.
struct SeenAccessible {
    // "button" for a push button, whatever the toolkit's own name for it.
    std::string role;
    std::string name;
    std::vector<std::string> actions;
    bool pressed;
};

// What the contract tests need of a real toolkit, each done through that toolkit's own window
// system: real input, what the screen shows, the open box and its OK button, the close button.
class WindowDriver {
public:
    virtual ~WindowDriver() = default;

    virtual Toolkit& toolkit() = 0;
    // Once the host has started: until the window is on the screen and painted; returns
    // whether it is.
    virtual bool settle() = 0;
    // Runs the toolkit's events until `done` holds, or for `timeoutMs`; returns whether it did.
    virtual bool runUntil(const std::function<bool()>& done, int timeoutMs) = 0;
    // Calls `poll` every few milliseconds while events run, in a box's own loop too.
    virtual void startPolling(std::function<void()> poll) = 0;

    virtual void press(PadIndex pad, Button button) = 0;
    virtual void release(PadIndex pad, Button button) = 0;
    // Over the window's background, off every pad.
    virtual void releaseOffThePads(Button button) = 0;
    // Outside the window's client area altogether.
    virtual void releaseOutsideTheWindow(Button button) = 0;
    // Two left clicks, as quick as a double-click.
    virtual void doubleClick(PadIndex pad) = 0;
    // Assistive technology's action on the pad.
    virtual void pressAction(PadIndex pad) = 0;

    // The colour on the screen at a point of the client area, in pixels.
    virtual Colour shownAt(int x, int y) = 0;
    virtual std::string labelText() = 0;
    // Whether the label's text, as it reads now, shows whole inside the label.
    virtual bool labelShowsWhole() = 0;
    virtual SeenAccessible accessibleOf(PadIndex pad) = 0;
    virtual std::optional<SeenBox> openBox() = 0;
    virtual void pressOk() = 0;

    // As the window's close button asks.
    virtual void requestClose() = 0;
    virtual bool windowShown() = 0;
    virtual std::string windowCaption() = 0;
    // In pixels: width, height.
    virtual std::pair<int, int> clientSize() = 0;
    // Neither resizable nor maximisable.
    virtual bool fixedSize() = 0;
    // Tells one top-level window from another.
    virtual std::uintptr_t windowIdentity() = 0;
    // Forms that stand in the window, shown or not, until they are destroyed.
    virtual int formsInWindow() = 0;
    // Pads on those forms, likewise.
    virtual int padsInWindow() = 0;
};

// The driver of the toolkit this test program is built for.
std::unique_ptr<WindowDriver> makeWindowDriver();

}  // namespace zintu::testing
