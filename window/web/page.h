#pragma once

// The page's DOM, input and timer as the web toolkit reaches them: each function is written once,
// in JavaScript, in page.js, and is one step of the page's script. Places and sizes are in the
// screen's own pixels, strings UTF-8, colours with red in the low byte.
namespace zintu::page {

enum class EventKind { down, up, pressed, close, boxClosed, rescale };

// One input event as the page writes it: plain values, one int each.
struct Event {
    int kind;
    int form;
    int pad;
    int left;
    int overPad;
};

}  // namespace zintu::page

extern "C" {
// Takes the page's input from now on, and writes the window's and the box's captions.
void zintu_open(const char* windowCaption, const char* boxCaption, int background);
// Screen pixels to a CSS pixel: the page's zoom times the screen's scale.
double zintu_pixel_ratio();
void zintu_size_client(int width, int height);
// Until the label's fonts are loaded, or known to be missing.
void zintu_load_font(const char* font);
double zintu_text_width(const char* font, const char* text);

int zintu_build_form(const char* labelFont, int labelColour);
void zintu_destroy_form(int form);
void zintu_load_pad(int form, int pad);
void zintu_set_pad(int form, int pad, const char* name, int colour, bool lit, bool enabled,
                   bool visible);
void zintu_place_pad(int form, int pad, int x, int y, int width, int height);
void zintu_place_label(int form, int x, int y, int width, int height);
void zintu_set_label(int form, const char* text);
void zintu_set_form_shown(int form, bool shown);
void zintu_set_window_shown(bool shown);
void zintu_show_box(const char* text, bool overWindow);

// Until input is queued, or the page's clock reaches `deadline`, in its milliseconds.
void zintu_wait(double deadline);
// The next queued event, if there is one.
bool zintu_take(zintu::page::Event* event);
// Nothing more reaches the game, and the page says the game has ended.
void zintu_end();
}
