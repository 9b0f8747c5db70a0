#include "headlessruntime.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zintu::testing {

class HeadlessToolkit::Form : public ToolkitForm {
public:
    explicit Form(HeadlessToolkit& toolkit) : toolkit_(toolkit) {
        pads[0] = {true, design::restingColour(0), true, true, 0, 0};
    }

    ~Form() override {
        if (toolkit_.latest_ == this) {
            toolkit_.latest_ = nullptr;
        }
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

HeadlessToolkit::~HeadlessToolkit() = default;

void HeadlessToolkit::advance(long long milliseconds) {
    betweenEvents();
    const long long until = now_ + milliseconds;
    while (!quit_ && latest_ && latest_->lightUp && latest_->nextTick <= until) {
        now_ = latest_->nextTick;
        latest_->nextTick += design::lightUpIntervalMs;
        events_->tick(*latest_);
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
    advance(latest_->nextTick - now_);
}

void HeadlessToolkit::mouseDown(PadIndex pad) {
    betweenEvents();
    if (padTakesInput(pad)) {
        events_->padDown(*latest_, pad, MouseButton::left);
    }
}

void HeadlessToolkit::mouseUp(PadIndex pad, bool overPad) {
    betweenEvents();
    if (padTakesInput(pad)) {
        events_->padUp(*latest_, pad, MouseButton::left, overPad);
    }
}

void HeadlessToolkit::clickPad(PadIndex pad) {
    mouseDown(pad);
    mouseUp(pad, true);
}

bool HeadlessToolkit::close() {
    betweenEvents();
    return quit_ || events_->closeRequested();
}

const HeadlessToolkit::PadState& HeadlessToolkit::pad(PadIndex pad) const {
    static const PadState none;
    return latest_ ? latest_->pads.at(static_cast<std::size_t>(pad)) : none;
}

const std::string& HeadlessToolkit::scoreCaption() const {
    static const std::string none;
    return latest_ ? latest_->caption : none;
}

bool HeadlessToolkit::lightUpEnabled() const {
    return latest_ && latest_->lightUp;
}

int HeadlessToolkit::lightUpStartsThisLoad() const {
    return latest_ ? latest_->lightUpStarts : 0;
}

bool HeadlessToolkit::visible() const {
    return windowShown_ && latest_ && latest_->shown;
}

void HeadlessToolkit::open(ToolkitEvents& events) {
    events_ = &events;
}

std::unique_ptr<ToolkitForm> HeadlessToolkit::buildForm() {
    auto form = std::make_unique<Form>(*this);
    latest_ = form.get();
    ++loads_;
    return form;
}

void HeadlessToolkit::destroyLater(std::unique_ptr<ToolkitForm> form) {
    if (form.get() == latest_) {
        latest_ = nullptr;
    }
    unloaded_.push_back(std::move(form));
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
        unloaded_.clear();
    }
}

bool HeadlessToolkit::padTakesInput(PadIndex pad) const {
    return latest_ && !quit_ && pad >= 0 && pad < design::padCount;
}

HeadlessRuntime::~HeadlessRuntime() {
    EXPECT_FALSE(illegalCall()) << "the game made an illegal call: " << illegalCall()->message;
}

}  // namespace zintu::testing
