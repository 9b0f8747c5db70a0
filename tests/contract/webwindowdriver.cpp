#include <emscripten.h>

#include <array>

#include "webtoolkit.h"
#include "windowdriver.h"

// The page's side of the driver. Input and the screen go through the browser: the test runner
// exposes `zintuInput` and `zintuPixel`, which send real input and read a real screenshot over
// the browser's own automation protocol; the page itself is read only for the box and the
// label, as a person reads them.
// clang-format off
EM_ASYNC_JS(void, driver_input, (const char* action, int x, int y, int button), {
    await zintuInput(UTF8ToString(action), x, y, ['left', 'right', 'middle'][button]);
});
EM_ASYNC_JS(int, driver_pixel, (int x, int y), { return await zintuPixel(x, y); });
// Each test runs a new game on the page the last one may have ended: the page's shared state
// afresh, and its line that said the game had ended gone.
EM_JS(void, driver_new_run, (), {
    zintuPage.start();
    document.getElementById('zintu-ended').hidden = true;
});
// Of the form built last.
EM_JS(void, driver_pad_element, (int pad), {
    const forms = document.querySelectorAll('#zintu-client > .form');
    driver_pad_element.found = Array.from(forms[forms.length - 1].querySelectorAll('.pad'))
        .find(function (element) { return element.zintuIndex === pad; });
});
// The place of the element as a person sees it: 0 left, 1 top, 2 width, 3 height.
EM_JS(int, driver_edge, (const char* selector, int edge), {
    const element = selector ? document.querySelector(UTF8ToString(selector))
                             : driver_pad_element.found;
    const box = element.getBoundingClientRect();
    return Math.round([box.left, box.top, box.width, box.height][edge]);
});
EM_JS(void, driver_press_action, (), { driver_pad_element.found.click(); });
// What the accessibility tree takes from the pad: its role ("button" for a <button> without a
// role of its own), its accessible name, and whether it is pressed.
EM_JS(void, driver_pad_accessible, (char* role, char* name, bool* pressed, int size), {
    const pad = driver_pad_element.found;
    const write = function (text, out) {
        const bytes = new TextEncoder().encode(text).subarray(0, size - 1);
        HEAPU8.set(bytes, out);
        HEAPU8[out + bytes.length] = 0;
    };
    write(pad.getAttribute('role') || (pad.tagName === 'BUTTON' ? 'button' : ""), role);
    write(pad.getAttribute('aria-label') || "", name);
    HEAPU8[pressed] = pad.getAttribute('aria-pressed') === 'true' ? 1 : 0;
});
// The label of the form built last holds its text without overflowing.
EM_JS(bool, driver_label_whole, (), {
    const labels = document.querySelectorAll('#zintu-client > .form > .label');
    const label = labels[labels.length - 1];
    return label.textContent !== "" && label.scrollWidth <= label.clientWidth &&
        label.scrollHeight <= label.clientHeight;
});
// The window offers no way to resize or maximise it: its caption's one button is the close.
EM_JS(bool, driver_fixed_size, (), {
    const frame = document.getElementById('zintu-window');
    const buttons = frame.querySelectorAll('.caption button');
    return getComputedStyle(frame).resize === 'none' && buttons.length === 1 &&
        buttons[0].id === 'zintu-close';
});
// The text of the element `index` that `selector` finds, the last one for -1, into `out`, cut to
// fit: written here, because emscripten's own string helpers differ from one version to the next.
EM_JS(void, driver_text, (const char* selector, int index, char* out, int size), {
    const found = document.querySelectorAll(UTF8ToString(selector));
    const text = found[index < 0 ? found.length - 1 : index].textContent;
    const bytes = new TextEncoder().encode(text).subarray(0, size - 1);
    HEAPU8.set(bytes, out);
    HEAPU8[out + bytes.length] = 0;
});
// -1 while no box is open; otherwise the box's number, counted as boxes open.
EM_JS(int, driver_box, (), {
    const box = document.getElementById('zintu-box');
    if (!box.open) {
        return -1;
    }
    if (!box.zintuShowing) {
        box.zintuShowing = true;
        driver_box.shown = (driver_box.shown || 0) + 1;
        box.addEventListener('close', function () { box.zintuShowing = false; }, { once: true });
    }
    return driver_box.shown;
});
EM_JS(bool, driver_box_owned, (), {
    return document.getElementById('zintu-box').parentElement ===
           document.getElementById('zintu-window');
});
EM_JS(bool, driver_box_modal, (), { return document.getElementById('zintu-box').matches(':modal'); });
EM_JS(int, driver_box_buttons, (), {
    return document.querySelectorAll('#zintu-box button').length;
});
EM_JS(bool, driver_window_shown, (), {
    return getComputedStyle(document.getElementById('zintu-window')).display !== 'none';
});
EM_JS(int, driver_window_identity, (), {
    const frame = document.getElementById('zintu-window');
    driver_window_identity.next = driver_window_identity.next || 1;
    frame.zintuIdentity = frame.zintuIdentity || driver_window_identity.next++;
    return frame.zintuIdentity;
});
EM_JS(int, driver_forms, (), {
    return document.querySelectorAll('#zintu-client > .form').length;
});
EM_JS(int, driver_pads, (), {
    return document.querySelectorAll('#zintu-client > .form > .pad').length;
});
// clang-format on

namespace zintu::testing {

namespace {

constexpr int pollMs = 5;
constexpr int offThePadsX = design::toPixels(design::offPadsPoint.x);
constexpr int offThePadsY = design::toPixels(design::offPadsPoint.y);

std::string pageText(const char* selector, int index) {
    std::array<char, 256> text{};
    driver_text(selector, index, text.data(), static_cast<int>(text.size()));
    return text.data();
}

struct Point {
    int x;
    int y;
};

Point corner(const char* selector) {
    return {driver_edge(selector, 0), driver_edge(selector, 1)};
}

Point centreOf(const char* selector) {
    const Point topLeft = corner(selector);
    return {topLeft.x + driver_edge(selector, 2) / 2, topLeft.y + driver_edge(selector, 3) / 2};
}

Point padCentre(PadIndex pad) {
    driver_pad_element(pad);
    return centreOf(nullptr);
}

// Real input from the browser's automation protocol, delivered to the page as the pointer's.
class WebWindowDriver : public WindowDriver {
public:
    WebWindowDriver() { driver_new_run(); }

    Toolkit& toolkit() override { return toolkit_; }

    bool settle() override {
        return toolkit_.runUntil([] { return driver_window_shown(); }, 5000) && pumpInput();
    }

    bool runUntil(const std::function<bool()>& done, int timeoutMs) override {
        return toolkit_.runUntil(done, timeoutMs);
    }

    void startPolling(std::function<void()> poll) override {
        toolkit_.startTimer(pollMs, std::move(poll));
    }

    void press(PadIndex pad, Button button) override { input("down", padCentre(pad), button); }

    void release(PadIndex pad, Button button) override { input("up", padCentre(pad), button); }

    void releaseOffThePads(Button button) override {
        const Point client = corner("#zintu-client");
        input("up", {client.x + offThePadsX, client.y + offThePadsY}, button);
    }

    // The page's corner: the window's caption, or the page around it.
    void releaseOutsideTheWindow(Button button) override { input("up", {1, 1}, button); }

    void doubleClick(PadIndex pad) override { input("double", padCentre(pad), Button::left); }

    void pressAction(PadIndex pad) override {
        driver_pad_element(pad);
        driver_press_action();
        pumpInput();
    }

    Colour shownAt(int x, int y) override {
        const Point client = corner("#zintu-client");
        return static_cast<Colour>(driver_pixel(client.x + x, client.y + y));
    }

    bool labelShowsWhole() override { return driver_label_whole(); }

    SeenAccessible accessibleOf(PadIndex pad) override {
        std::array<char, 64> role{};
        std::array<char, 64> name{};
        bool pressed = false;
        driver_pad_element(pad);
        driver_pad_accessible(role.data(), name.data(), &pressed, static_cast<int>(role.size()));
        SeenAccessible seen{role.data(), name.data(), {}, pressed};
        // A button's one action is its press.
        if (seen.role == "button") {
            seen.actions.push_back("Press");
        }
        return seen;
    }

    std::string labelText() override { return pageText("#zintu-client > .form > .label", -1); }

    std::optional<SeenBox> openBox() override {
        const int id = driver_box();
        if (id < 0) {
            return std::nullopt;
        }
        std::vector<std::string> buttons;
        for (int i = 0; i < driver_box_buttons(); ++i) {
            buttons.push_back(pageText("#zintu-box button", i));
        }
        return SeenBox{id,
                       pageText("#zintu-box-caption", 0),
                       pageText("#zintu-box-text", 0),
                       buttons,
                       driver_box_owned(),
                       driver_box_modal()};
    }

    void pressOk() override { input("click", centreOf("#zintu-box button"), Button::left); }

    void requestClose() override { input("click", centreOf("#zintu-close"), Button::left); }

    bool windowShown() override { return driver_window_shown(); }

    std::string windowCaption() override { return pageText("#zintu-window h1", 0); }

    std::pair<int, int> clientSize() override {
        return {driver_edge("#zintu-client", 2), driver_edge("#zintu-client", 3)};
    }

    bool fixedSize() override { return driver_fixed_size(); }

    std::uintptr_t windowIdentity() override {
        return static_cast<std::uintptr_t>(driver_window_identity());
    }

    int formsInWindow() override { return driver_forms(); }

    int padsInWindow() override { return driver_pads(); }

private:
    void input(const char* action, Point at, Button button) {
        driver_input(action, at.x, at.y, static_cast<int>(button));
        pumpInput();
    }

    // The browser has dispatched the input by the time it answers: hand it to the host now, as
    // a desktop toolkit does within its own call.
    bool pumpInput() {
        toolkit_.runUntil([] { return false; }, 1);
        return true;
    }

    WebToolkit toolkit_;
};

}  // namespace

std::unique_ptr<WindowDriver> makeWindowDriver() {
    return std::make_unique<WebWindowDriver>();
}

}  // namespace zintu::testing
