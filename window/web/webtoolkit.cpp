#include "webtoolkit.h"

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
    return std::llround(page::now() * microsecondsPerMs);
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

// The designed size, made smaller only where the widest caption would not show whole. The page
// picks the designed family where the system has it, and the embedded fallback otherwise.
std::string labelFont() {
    page::loadFont(cssFont(design::scoreFontPointSize));
    constexpr int width = design::toPixels(design::scoreRect).width;
    return cssFont(scorelabel::fittedPointSize([](double pointSize) {
        const std::string font = cssFont(pointSize);
        const int level = scorelabel::widestLevel(
            [&font](char digit) { return page::textWidth(font, std::string(1, digit)); });
        return page::textWidth(font, messages::levelCaption(level)) <= width;
    }));
}

}  // namespace

WebToolkit::WebToolkit() = default;

WebToolkit::~WebToolkit() = default;

void WebToolkit::open(ToolkitEvents& events) {
    events_ = &events;
    page::open();
    rescale();
    labelFont_ = labelFont();
}

std::unique_ptr<ToolkitForm> WebToolkit::buildForm() {
    auto form = std::make_unique<WebForm>(*this, *events_, labelFont_);
    forms_[form->id()] = form.get();
    return form;
}

void WebToolkit::destroyLater(std::unique_ptr<ToolkitForm> form) {
    forms_.erase(static_cast<WebForm&>(*form).id());
    unloaded_.push_back(std::move(form));
}

void WebToolkit::setWindowShown(bool shown) {
    page::setWindowShown(shown);
}

void WebToolkit::runMessageBox(const std::string& text, bool overWindow) {
    page::showBox(text, overWindow);
    boxOpen_ = true;
    runUntil([this] { return !boxOpen_; }, forever);
}

void WebToolkit::runEventLoop() {
    runUntil([this] { return quitting_; }, forever);
}

void WebToolkit::quit(int) {
    quitting_ = true;
    timers_.clear();
    page::end();
}

bool WebToolkit::runUntil(const std::function<bool()>& done, double timeoutMs) {
    const double deadline = page::now() + timeoutMs;
    ++loops_;
    bool held = done();
    while (!held && page::now() < deadline) {
        page::wait(std::min(deadline, nextDue()));
        takeInput();
        takeDueBeats();
        // Only the outermost loop: a box opened by an unloaded form's own handler runs
        // while that handler is still on the stack.
        if (loops_ == 1) {
            unloaded_.clear();
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
    while (const std::optional<page::Event> event = page::take()) {
        if (event->kind == page::EventKind::boxClosed) {
            // What came after is for the loop the box returns to: a close or a press made
            // just after the box must not meet the box's gate.
            boxOpen_ = false;
            return;
        }
        deliver(*event);
    }
}

void WebToolkit::deliver(const page::Event& event) {
    if (event.kind == page::EventKind::close) {
        events_->closeRequested();
        return;
    }
    if (event.kind == page::EventKind::rescale) {
        rescale();
        return;
    }
    const auto found = forms_.find(event.form);
    if (found == forms_.end()) {
        return;
    }
    const WebForm& form = *found->second;
    switch (event.kind) {
        case page::EventKind::down:
            events_->padDown(form, event.pad, event.button);
            break;
        case page::EventKind::up:
            events_->padUp(form, event.pad, event.button, event.overPad);
            break;
        default:
            events_->padPressed(form, event.pad);
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
    dpi_ = static_cast<int>(std::lround(design::designDpi * page::pixelRatio()));
    page::sizeClient(design::toPixels(design::clientWidth, dpi_),
                     design::toPixels(design::clientHeight, dpi_));
    for (const auto& entry : forms_) {
        entry.second->relayout();
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
