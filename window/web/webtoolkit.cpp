#include "webtoolkit.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "design.h"
#include "messages.h"
#include "page.h"
#include "scorelabel.h"
#include "webform.h"

namespace zintu {

namespace {

constexpr double forever = std::numeric_limits<double>::infinity();
// The beat is kept in microseconds of the page's clock, which reads in fractions of one.
constexpr double microsecondsPerMs = 1000;

long long beatClock() {
    return std::llround(emscripten_get_now() * microsecondsPerMs);
}

// In hundredths of a point, written by hand: the sizes are quarter points, and formatting a
// double would bring printf's floating point into the page.
std::string cssFont(double pointSize) {
    const long hundredths = std::lround(pointSize * 100);
    const std::string fraction = std::to_string(100 + hundredths % 100).substr(1);
    return std::to_string(design::scoreFontWeight) + " " + std::to_string(hundredths / 100) + "." +
           fraction + "pt \"" + std::string(design::scoreFontFamily) + "\", \"" +
           std::string(design::scoreFallbackFamily) + "\", serif";
}

double textWidth(const std::string& font, const std::string& text) {
    return zintu_text_width(font.c_str(), text.c_str());
}

// The designed size, made smaller only where the widest caption would not show whole. The page
// picks the designed family where the system has it, and the embedded fallback otherwise.
std::string labelFont() {
    zintu_load_font(cssFont(design::scoreFontPointSize).c_str());
    constexpr int width = design::toPixels(design::scoreRect).width;
    return cssFont(scorelabel::fittedPointSize([](double pointSize) {
        const std::string font = cssFont(pointSize);
        const int level = scorelabel::widestLevel(
            [&font](char digit) { return textWidth(font, std::string(1, digit)); });
        return textWidth(font, messages::levelCaption(level)) <= width;
    }));
}

}  // namespace

WebToolkit::WebToolkit() = default;

WebToolkit::~WebToolkit() = default;

void WebToolkit::open(ToolkitEvents& events) {
    events_ = &events;
    const std::string windowCaption(design::formCaption);
    const std::string boxCaption(design::messageCaption);
    zintu_open(windowCaption.c_str(), boxCaption.c_str(), static_cast<int>(design::formBackColor));
    rescale();
    labelFont_ = labelFont();
}

ToolkitForm& WebToolkit::buildForm() {
    return forms_.add(std::make_unique<WebForm>(*this, *events_, labelFont_));
}

void WebToolkit::destroyLater(ToolkitForm& form) {
    forms_.unload(form);
}

void WebToolkit::setWindowShown(bool shown) {
    zintu_set_window_shown(shown);
}

void WebToolkit::runMessageBox(const std::string& text, bool overWindow) {
    zintu_show_box(text.c_str(), overWindow);
    boxOpen_ = true;
    runUntil([this] { return !boxOpen_; }, forever);
}

void WebToolkit::runEventLoop() {
    runUntil([this] { return quitting_; }, forever);
}

void WebToolkit::quit(int) {
    quitting_ = true;
    timers_.clear();
    zintu_end();
}

bool WebToolkit::runUntil(const std::function<bool()>& done, double timeoutMs) {
    const double deadline = emscripten_get_now() + timeoutMs;
    ++loops_;
    bool held = done();
    while (!held && emscripten_get_now() < deadline) {
        zintu_wait(std::min(deadline, nextDue()));
        takeInput();
        takeDueBeats();
        // Only the outermost loop: a box opened by an unloaded form's own handler runs
        // while that handler is still on the stack.
        if (loops_ == 1) {
            forms_.destroyUnloaded();
        }
        held = done();
    }
    --loops_;
    return held;
}

int WebToolkit::startTimer(int intervalMs, std::function<void()> onBeat) {
    Timer& timer = timers_[++nextTimer_];
    timer.beat.start(beatClock(), std::llround(intervalMs * microsecondsPerMs));
    timer.onBeat = std::move(onBeat);
    return nextTimer_;
}

void WebToolkit::stopTimer(int timer) {
    timers_.erase(timer);
}

void WebToolkit::takeInput() {
    page::Event event{};
    while (zintu_take(&event)) {
        if (static_cast<page::EventKind>(event.kind) == page::EventKind::boxClosed) {
            // What came after is for the loop the box returns to: a close or a press made
            // just after the box must not meet the box's gate.
            boxOpen_ = false;
            return;
        }
        deliver(event);
    }
}

void WebToolkit::deliver(const page::Event& event) {
    const auto kind = static_cast<page::EventKind>(event.kind);
    if (kind == page::EventKind::close) {
        events_->closeRequested();
        return;
    }
    if (kind == page::EventKind::rescale) {
        rescale();
        return;
    }
    const auto& loaded = forms_.loaded();
    const auto found = std::find_if(loaded.begin(), loaded.end(), [&event](const auto& form) {
        return form->id() == event.form;
    });
    if (found == loaded.end()) {
        return;
    }
    const WebForm& form = **found;
    const auto pad = static_cast<PadIndex>(event.pad);
    const MouseButton button = event.left != 0 ? MouseButton::left : MouseButton::other;
    switch (kind) {
        case page::EventKind::down:
            events_->padDown(form, pad, button);
            break;
        case page::EventKind::up:
            events_->padUp(form, pad, button, event.overPad != 0);
            break;
        default:
            events_->padPressed(form, pad);
            break;
    }
}

// One beat at most per timer and pass; a beat's handler may stop or start timers.
void WebToolkit::takeDueBeats() {
    std::vector<int> due;
    const long long now = beatClock();
    for (const auto& [id, timer] : timers_) {
        if (timer.beat.due() <= now) {
            due.push_back(id);
        }
    }
    for (const int id : due) {
        const auto timer = timers_.find(id);
        if (timer == timers_.end()) {
            continue;
        }
        timer->second.beat.advance(beatClock());
        // A copy: the handler may stop its own timer.
        const std::function<void()> onBeat = timer->second.onBeat;
        onBeat();
    }
}

// Laid out as the desktop lays a window out at its monitor's resolution: each edge rounded to a
// screen pixel, so that the pads tile edge to edge at any zoom.
void WebToolkit::rescale() {
    dpi_ = static_cast<int>(std::lround(design::designDpi * zintu_pixel_ratio()));
    zintu_size_client(design::toPixels(design::clientWidth, dpi_),
                      design::toPixels(design::clientHeight, dpi_));
    for (const auto& form : forms_.loaded()) {
        form->relayout();
    }
}

double WebToolkit::nextDue() const {
    double due = forever;
    for (const auto& entry : timers_) {
        due = std::min(due, static_cast<double>(entry.second.beat.due()) / microsecondsPerMs);
    }
    return due;
}

}  // namespace zintu
