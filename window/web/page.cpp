#include "page.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, zintu_open, (const char* window, const char* box, int back), {
    ZintuPage.open(UTF8ToString(window), UTF8ToString(box), back);
});
EM_JS(double, zintu_pixel_ratio, (), { return ZintuPage.pixelRatio(); });
EM_JS(void, zintu_size_client, (int width, int height), { ZintuPage.sizeClient(width, height); });
EM_ASYNC_JS(void, zintu_load_font, (const char* font), {
    await ZintuPage.loadFont(UTF8ToString(font));
});
EM_JS(double, zintu_text_width, (const char* font, const char* text), {
    return ZintuPage.textWidth(UTF8ToString(font), UTF8ToString(text));
});
EM_JS(int, zintu_build_form, (const char* font, int colour), {
    return ZintuPage.buildForm(UTF8ToString(font), colour);
});
EM_JS(void, zintu_destroy_form, (int form), { ZintuPage.destroyForm(form); });
EM_JS(void, zintu_load_pad, (int form, int pad), { ZintuPage.loadPad(form, pad); });
EM_JS(void, zintu_set_pad, (int form, int pad, const char* name, int colour, bool lit,
                            bool enabled, bool visible), {
    ZintuPage.setPad(form, pad, UTF8ToString(name), colour, lit, enabled, visible);
});
EM_JS(void, zintu_place_pad, (int form, int pad, int x, int y, int width, int height), {
    ZintuPage.placePad(form, pad, x, y, width, height);
});
EM_JS(void, zintu_place_label, (int form, int x, int y, int width, int height), {
    ZintuPage.placeLabel(form, x, y, width, height);
});
EM_JS(void, zintu_set_label, (int form, const char* text), {
    ZintuPage.setLabel(form, UTF8ToString(text));
});
EM_JS(void, zintu_set_form_shown, (int form, bool shown), { ZintuPage.setFormShown(form, shown); });
EM_JS(void, zintu_set_window_shown, (bool shown), { ZintuPage.setWindowShown(shown); });
EM_JS(void, zintu_show_box, (const char* text, bool overWindow), {
    ZintuPage.showBox(UTF8ToString(text), overWindow);
});
EM_ASYNC_JS(void, zintu_wait, (double deadline), { await ZintuPage.wait(deadline); });
EM_JS(int, zintu_take, (), {
    const event = ZintuPage.take();
    return event ? event.kind | event.pad << 4 | event.left << 8 | event.overPad << 9 |
        event.form << 10 : -1;
});
EM_JS(void, zintu_end, (), { ZintuPage.end(); });
// clang-format on

namespace zintu::page {

namespace {

int toJs(Colour colour) {
    return static_cast<int>(colour);
}

}  // namespace

void open() {
    const std::string window(design::formCaption);
    const std::string box(design::messageCaption);
    zintu_open(window.c_str(), box.c_str(), toJs(design::formBackColor));
}

double pixelRatio() {
    return zintu_pixel_ratio();
}

void sizeClient(int width, int height) {
    zintu_size_client(width, height);
}

void loadFont(const std::string& font) {
    zintu_load_font(font.c_str());
}

double textWidth(const std::string& font, const std::string& text) {
    return zintu_text_width(font.c_str(), text.c_str());
}

int buildForm(const std::string& labelFont) {
    return zintu_build_form(labelFont.c_str(), toJs(design::scoreTextColour));
}

void destroyForm(int form) {
    zintu_destroy_form(form);
}

void loadPad(int form, PadIndex pad) {
    zintu_load_pad(form, pad);
}

void setPad(int form, PadIndex pad, const PadLook& look) {
    const std::string name(look.name);
    zintu_set_pad(form, pad, name.c_str(), toJs(look.colour), look.lit, look.enabled, look.visible);
}

void placePad(int form, PadIndex pad, design::PixelRect place) {
    zintu_place_pad(form, pad, place.x, place.y, place.width, place.height);
}

void placeLabel(int form, design::PixelRect place) {
    zintu_place_label(form, place.x, place.y, place.width, place.height);
}

void setLabel(int form, const std::string& text) {
    zintu_set_label(form, text.c_str());
}

void setFormShown(int form, bool shown) {
    zintu_set_form_shown(form, shown);
}

void setWindowShown(bool shown) {
    zintu_set_window_shown(shown);
}

void showBox(const std::string& text, bool overWindow) {
    zintu_show_box(text.c_str(), overWindow);
}

double now() {
    return emscripten_get_now();
}

void wait(double deadline) {
    zintu_wait(deadline);
}

std::optional<Event> take() {
    const int packed = zintu_take();
    if (packed < 0) {
        return std::nullopt;
    }
    return Event{static_cast<EventKind>(packed & 0xf), packed >> 10,
                 static_cast<PadIndex>((packed >> 4) & 0xf),
                 packed & 1 << 8 ? MouseButton::left : MouseButton::other, (packed & 1 << 9) != 0};
}

void end() {
    zintu_end();
}

}  // namespace zintu::page
