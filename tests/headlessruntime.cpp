#include "headlessruntime.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zintu::testing {

class HeadlessToolkit::Form : public ToolkitForm {
public:
    explicit Form(HeadlessToolkit& toolkit) : toolkit_(toolkit) {
        pads[0] = {true, design::restingColour(0), true, true, 0, 0};
    }

    void loadPad(PadIndex pad) override {
        PadState& created = at(pad);
        created = pads[0];
        created.visible = false;
    }
    Colour padColour(PadIndex pad) const override {
        return pads.at(static_cast<std::size_t>(pad)).colour;
    }
    void setPadColour(PadIndex pad, Colour colour) override { at(pad).colour = colour; }
    void setPadEnabled(PadIndex pad, bool enabled) override { at(pad).enabled = enabled; }
    void setPadVisible(PadIndex pad, bool visible) override { at(pad).visible = visible; }
    void movePad(PadIndex pad, int left, int top) override {
        at(pad).left = left;
        at(pad).top = top;
    }
    void setScoreCaption(const std::string& text) override { caption = text; }
    void setLightUpEnabled(bool enabled) override {
        if (enabled) {
            nextTick = toolkit_.now_ + design::lightUpIntervalMs;
            ++lightUpStarts;
        }
        lightUp = enabled;
    }
    void setShown(bool isShown) override { shown = isShown; }

    std::array<PadState, design::padCount> pads{};
    std::string caption{design::scoreCaption};
    bool lightUp = false;
    long long nextTick = 0;
    int lightUpStarts = 0;
    bool shown = false;

private:
    PadState& at(PadIndex pad) { return pads.at(static_cast<std::size_t>(pad)); }

    HeadlessToolkit& toolkit_;
};

HeadlessToolkit::HeadlessToolkit(std::uint64_t seed) : seed_(seed) {}

HeadlessToolkit::~HeadlessToolkit() = default;

void HeadlessToolkit::advance(long long milliseconds) {
    betweenEvents();
    const long long until = now_ + milliseconds;
    while (!quit_ && latest() && latest()->lightUp && latest()->nextTick <= until) {
        now_ = latest()->nextTick;
        latest()->nextTick += design::lightUpIntervalMs;
        events_->tick(*latest());
        betweenEvents();
    }
    // A message box may have moved the clock past `until` already.
    now_ = std::max(now_, until);
}

void HeadlessToolkit::advanceOneTick() {
    if (!lightUpEnabled()) {
        ADD_FAILURE() << "a tick asked for while the timer is disabled";
        return;
    }
    advance(latest()->nextTick - now_);
}

void HeadlessToolkit::mouseDown(PadIndex pad) {
    betweenEvents();
    if (padTakesInput(pad)) {
        events_->padDown(*latest(), pad, MouseButton::left);
    }
}

void HeadlessToolkit::mouseUp(PadIndex pad, bool overPad) {
    betweenEvents();
    if (padTakesInput(pad)) {
        events_->padUp(*latest(), pad, MouseButton::left, overPad);
    }
}

void HeadlessToolkit::clickPad(PadIndex pad) {
    mouseDown(pad);
    mouseUp(pad, true);
}

void HeadlessToolkit::pressAction(PadIndex pad) {
    betweenEvents();
    if (padTakesInput(pad)) {
        events_->padPressed(*latest(), pad);
    }
}

bool HeadlessToolkit::close() {
    betweenEvents();
    return quit_ || events_->closeRequested();
}

const ToolkitForm* HeadlessToolkit::latestForm() const {
    return latest();
}

void HeadlessToolkit::tickFrom(const ToolkitForm& form) {
    events_->tick(form);
}

void HeadlessToolkit::clickFrom(const ToolkitForm& form, PadIndex pad) {
    events_->padDown(form, pad, MouseButton::left);
    events_->padUp(form, pad, MouseButton::left, true);
}

const HeadlessToolkit::PadState& HeadlessToolkit::pad(PadIndex pad) const {
    static const PadState none;
    return latest() ? latest()->pads.at(static_cast<std::size_t>(pad)) : none;
}

const std::string& HeadlessToolkit::scoreCaption() const {
    static const std::string none;
    return latest() ? latest()->caption : none;
}

bool HeadlessToolkit::lightUpEnabled() const {
    return latest() && latest()->lightUp;
}

int HeadlessToolkit::lightUpStartsThisLoad() const {
    return latest() ? latest()->lightUpStarts : 0;
}

bool HeadlessToolkit::visible() const {
    return windowShown_ && latest() && latest()->shown;
}

void HeadlessToolkit::open(ToolkitEvents& events) {
    events_ = &events;
}

ToolkitForm& HeadlessToolkit::buildForm() {
    ++loads_;
    return forms_.add(std::make_unique<Form>(*this));
}

void HeadlessToolkit::destroyLater(ToolkitForm& form) {
    forms_.unload(form);
}

void HeadlessToolkit::setWindowShown(bool shown) {
    windowShown_ = shown;
}

void HeadlessToolkit::runMessageBox(const std::string& text, bool overWindow) {
    messages_.push_back(text);
    if (!overWindow) {
        ++messagesWithoutWindow_;
    }
    if (whileMessageOpen_) {
        ++boxesOpen_;
        whileMessageOpen_(text);
        --boxesOpen_;
    }
}

void HeadlessToolkit::runEventLoop() {}

void HeadlessToolkit::quit(int status) {
    quit_ = true;
    quitStatus_ = status;
}

void HeadlessToolkit::reseedFromClock() {
    generator_.reseed(seed_ + static_cast<std::uint64_t>(reseeds_));
    ++reseeds_;
}

double HeadlessToolkit::nextUnit() {
    ++draws_;
    return unitDraws_ ? unitDraws_() : generator_.nextUnit();
}

void HeadlessToolkit::betweenEvents() {
    // Input injected under a box comes inside the handler that opened it.
    if (boxesOpen_ == 0) {
        forms_.destroyUnloaded();
    }
}

bool HeadlessToolkit::padTakesInput(PadIndex pad) const {
    return latest() && !quit_ && pad >= 0 && pad < design::padCount;
}

HeadlessRuntime::~HeadlessRuntime() {
    EXPECT_FALSE(illegalCall()) << "the game made an illegal call: " << illegalCall()->message;
}

}  // namespace zintu::testing
