#pragma once

#include <optional>
#include <string>

#include "design.h"
#include "runtime.h"
#include "toolkit.h"

// The page's DOM, input and timer as the web toolkit reaches them: each call is one step of the
// page's script. Places and sizes are in the screen's own pixels.
namespace zintu::page {

enum class EventKind { down, up, pressed, close, boxClosed, rescale };

struct Event {
    EventKind kind;
    int form;
    PadIndex pad;
    MouseButton button;
    bool overPad;
};

struct PadLook {
    std::string_view name;
    Colour colour;
    bool lit;
    bool enabled;
    bool visible;
};

// Takes the page's input from now on, and writes the window's and the box's captions.
void open();
// Screen pixels to a CSS pixel: the page's zoom times the screen's scale.
double pixelRatio();
void sizeClient(int width, int height);
// Until the label's fonts are loaded, or known to be missing.
void loadFont(const std::string& font);
double textWidth(const std::string& font, const std::string& text);

int buildForm(const std::string& labelFont);
void destroyForm(int form);
void loadPad(int form, PadIndex pad);
void setPad(int form, PadIndex pad, const PadLook& look);
void placePad(int form, PadIndex pad, design::PixelRect place);
void placeLabel(int form, design::PixelRect place);
void setLabel(int form, const std::string& text);
void setFormShown(int form, bool shown);
void setWindowShown(bool shown);
void showBox(const std::string& text, bool overWindow);

// The page's monotonic clock, in milliseconds.
double now();
// Until input is queued, or the clock reaches `deadline`.
void wait(double deadline);
std::optional<Event> take();
// Nothing more reaches the game, and the page says the game has ended.
void end();

}  // namespace zintu::page
