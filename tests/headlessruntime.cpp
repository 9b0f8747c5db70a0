#include "headlessruntime.h"

#include <algorithm>

#include "design.h"

namespace zintu::testing {

namespace {

std::string describe(const char* operation, PadIndex pad) {
    return std::string(operation) + " on pad " + std::to_string(pad);
}

}  // namespace

void HeadlessRuntime::start(FormEvents& game) {
    game_ = &game;
    gate_.emplace(game);
    showForm();
}

void HeadlessRuntime::advance(long long milliseconds) {
    const long long until = now_ + milliseconds;
    while (lightUpEnabled_ && nextTick_ <= until && !ended()) {
        now_ = nextTick_;
        nextTick_ += design::lightUpIntervalMs;
        gate_->tick();
    }
    // A message box may have moved the clock past `until` already.
    now_ = std::max(now_, until);
}

void HeadlessRuntime::advanceOneTick() {
    if (!lightUpEnabled_) {
        throw IllegalCall("a tick while the timer is disabled");
    }
    advance(nextTick_ - now_);
}

void HeadlessRuntime::mouseDown(PadIndex pad) {
    if (padTakesInput(pad)) {
        gate_->mouseDown(pad);
    }
}

void HeadlessRuntime::mouseUp(PadIndex pad) {
    if (padTakesInput(pad)) {
        gate_->mouseUp(pad);
    }
}

void HeadlessRuntime::click(PadIndex pad) {
    if (padTakesInput(pad)) {
        gate_->click(pad);
    }
}

void HeadlessRuntime::clickPad(PadIndex pad) {
    mouseDown(pad);
    mouseUp(pad);
    click(pad);
}

bool HeadlessRuntime::close() {
    if (ended()) {
        return true;
    }
    if (!gate_->requestClose()) {
        return false;
    }
    loaded_ = false;
    visible_ = false;
    lightUpEnabled_ = false;
    return true;
}

const HeadlessRuntime::PadState& HeadlessRuntime::pad(PadIndex pad) const {
    return pads_.at(static_cast<std::size_t>(pad));
}

void HeadlessRuntime::randomize() {
    requireRunning("randomize");
    random_.reseed(seed_ + static_cast<std::uint64_t>(reseeds_));
    ++reseeds_;
}

float HeadlessRuntime::rnd() {
    requireRunning("rnd");
    ++draws_;
    return toSingleBelowOne(unitDraws_ ? unitDraws_() : random_.nextUnit());
}

Colour HeadlessRuntime::backColor(PadIndex pad) const {
    return existingPad(pad, "backColor").colour;
}

void HeadlessRuntime::setBackColor(PadIndex pad, Colour colour) {
    existingPad(pad, "setBackColor").colour = colour;
}

void HeadlessRuntime::setPadEnabled(PadIndex pad, bool enabled) {
    existingPad(pad, "setPadEnabled").enabled = enabled;
}

void HeadlessRuntime::setPadVisible(PadIndex pad, bool visible) {
    existingPad(pad, "setPadVisible").visible = visible;
}

void HeadlessRuntime::movePad(PadIndex pad, int left, int top) {
    PadState& state = existingPad(pad, "movePad");
    state.left = left;
    state.top = top;
}

void HeadlessRuntime::loadPad(PadIndex pad) {
    requireRunning("loadPad");
    if (pad <= 0 || pad >= design::padCount) {
        throw IllegalCall(describe("loadPad outside the Press array", pad));
    }
    PadState& created = pads_[static_cast<std::size_t>(pad)];
    if (created.exists) {
        throw IllegalCall(describe("loadPad of an existing pad", pad));
    }
    created = pads_[0];
    created.visible = false;
}

void HeadlessRuntime::setScoreCaption(const std::string& text) {
    requireRunning("setScoreCaption");
    scoreCaption_ = text;
}

void HeadlessRuntime::setLightUpEnabled(bool enabled) {
    requireRunning("setLightUpEnabled");
    if (enabled && !lightUpEnabled_) {
        nextTick_ = now_ + design::lightUpIntervalMs;
        ++lightUpStartsThisLoad_;
    }
    lightUpEnabled_ = enabled;
}

void HeadlessRuntime::msgBox(const std::string& text) {
    if (ended()) {
        throw IllegalCall("msgBox after the program ended: " + text);
    }
    messages_.push_back(text);
    const EventGate::MessageScope open(*gate_);
    if (whileMessageOpen_) {
        whileMessageOpen_(text);
    }
}

void HeadlessRuntime::unloadForm() {
    requireRunning("unloadForm");
    loaded_ = false;
    visible_ = false;
    lightUpEnabled_ = false;
    pads_ = {};
}

void HeadlessRuntime::showForm() {
    requireRunning("showForm");
    if (!loaded_) {
        loadFromDesign();
        game_->Form_Load();
        if (ended()) {
            return;
        }
    }
    visible_ = true;
}

void HeadlessRuntime::end() {
    requireRunning("end");
    gate_->end();
    lightUpEnabled_ = false;
    visible_ = false;
}

void HeadlessRuntime::loadFromDesign() {
    pads_ = {};
    pads_[0] = {true, design::restingColour(0), true, true, 0, 0};
    scoreCaption_ = std::string(design::scoreCaption);
    lightUpEnabled_ = false;
    lightUpStartsThisLoad_ = 0;
    loaded_ = true;
    ++loads_;
}

void HeadlessRuntime::requireRunning(const char* operation) const {
    if (!game_) {
        throw IllegalCall(std::string(operation) + " before the program started");
    }
    if (ended()) {
        throw IllegalCall(std::string(operation) + " after the program ended");
    }
}

HeadlessRuntime::PadState& HeadlessRuntime::existingPad(PadIndex pad, const char* operation) {
    requireRunning(operation);
    if (!loaded_ || pad < 0 || pad >= design::padCount ||
        !pads_[static_cast<std::size_t>(pad)].exists) {
        throw IllegalCall(describe(operation, pad) + ", which does not exist");
    }
    return pads_[static_cast<std::size_t>(pad)];
}

const HeadlessRuntime::PadState& HeadlessRuntime::existingPad(PadIndex pad,
                                                              const char* operation) const {
    return const_cast<HeadlessRuntime*>(this)->existingPad(pad, operation);
}

bool HeadlessRuntime::padTakesInput(PadIndex pad) const {
    if (!loaded_ || ended()) {
        return false;
    }
    const PadState& state = pads_.at(static_cast<std::size_t>(pad));
    return state.exists && state.enabled && state.visible;
}

}  // namespace zintu::testing
