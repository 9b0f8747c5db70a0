#include "host.h"

#include <utility>

#include "clockrandomsource.h"

namespace zintu {

namespace {

constexpr int endStatus = 0;

bool inPressArray(PadIndex pad) {
    return pad >= 0 && pad < design::padCount;
}

}  // namespace

Host::Host(Toolkit& toolkit)
    : toolkit_(toolkit), ownRandom_(std::make_unique<ClockRandomSource>()), random_(*ownRandom_) {}

Host::Host(Toolkit& toolkit, RandomSource& random) : toolkit_(toolkit), random_(random) {}

Host::~Host() = default;

void Host::start(FormEvents& game) {
    game_ = &game;
    gate_.emplace(game);
    toolkit_.open(*this);
    guarded([this] { showForm(); });
}

int Host::run(FormEvents& game) {
    start(game);
    if (!ended()) {
        toolkit_.runEventLoop();
    }
    return exitStatus_;
}

void Host::randomize() {
    if (running("randomize")) {
        random_.reseedFromClock();
    }
}

float Host::rnd() {
    return running("rnd") ? toSingleBelowOne(random_.nextUnit()) : 0.0F;
}

Colour Host::backColor(PadIndex pad) const {
    // Reading a colour changes nothing the game sees; only a refusal is recorded.
    return const_cast<Host*>(this)->loadedPad(pad, "backColor") ? form_->padColour(pad) : Colour{};
}

void Host::setBackColor(PadIndex pad, Colour colour) {
    if (loadedPad(pad, "setBackColor")) {
        form_->setPadColour(pad, colour);
    }
}

void Host::setPadEnabled(PadIndex pad, bool enabled) {
    if (PadRecord* record = loadedPad(pad, "setPadEnabled")) {
        record->enabled = enabled;
        form_->setPadEnabled(pad, enabled);
    }
}

void Host::setPadVisible(PadIndex pad, bool visible) {
    if (PadRecord* record = loadedPad(pad, "setPadVisible")) {
        record->visible = visible;
        form_->setPadVisible(pad, visible);
    }
}

void Host::movePad(PadIndex pad, int left, int top) {
    if (loadedPad(pad, "movePad")) {
        form_->movePad(pad, left, top);
    }
}

void Host::loadPad(PadIndex pad) {
    ToolkitForm* form = loadedForm("loadPad");
    if (!form) {
        return;
    }
    if (!inPressArray(pad)) {
        refuseOnPad("loadPad", pad, ", outside the Press array");
        return;
    }
    PadRecord& created = pads_[static_cast<std::size_t>(pad)];
    if (created.loaded) {
        refuseOnPad("loadPad", pad, ", which is loaded already");
        return;
    }
    form->loadPad(pad);
    created = pads_[0];
    created.visible = false;
}

void Host::setScoreCaption(const std::string& text) {
    if (ToolkitForm* form = loadedForm("setScoreCaption")) {
        form->setScoreCaption(text);
    }
}

void Host::setLightUpEnabled(bool enabled) {
    ToolkitForm* form = loadedForm("setLightUpEnabled");
    // Enabling a running timer leaves its beat alone.
    if (!form || (enabled && lightUpEnabled_)) {
        return;
    }
    lightUpEnabled_ = enabled;
    form->setLightUpEnabled(enabled);
}

void Host::msgBox(const std::string& text) {
    if (!running("msgBox")) {
        return;
    }
    const bool overWindow = formShown_;
    if (!overWindow) {
        // A box from a load that follows an unload: the form is not on the screen, so neither
        // is its window.
        toolkit_.setWindowShown(false);
    }
    const EventGate::MessageScope open(*gate_);
    toolkit_.runMessageBox(text, overWindow);
}

void Host::unloadForm() {
    if (!running("unloadForm") || !form_) {
        return;
    }
    // From here on nothing on the old form reaches the game, not even what hiding it reports:
    // its events no longer name the loaded form.
    ToolkitForm& unloaded = *std::exchange(form_, nullptr);
    unloaded.setLightUpEnabled(false);
    unloaded.setShown(false);
    toolkit_.destroyLater(unloaded);
    pads_ = {};
    leftDownOn_.reset();
    lightUpEnabled_ = false;
    formShown_ = false;
}

void Host::showForm() {
    if (!running("showForm")) {
        return;
    }
    if (!form_) {
        form_ = &toolkit_.buildForm();
        pads_ = {};
        pads_[0] = {true, true, true};
        lightUpEnabled_ = false;
        game_->Form_Load();
        if (ended()) {
            return;
        }
    }
    form_->setShown(true);
    toolkit_.setWindowShown(true);
    formShown_ = true;
}

void Host::end() {
    if (running("end")) {
        finish(endStatus);
    }
}

void Host::tick(const ToolkitForm& form) {
    if (form_ == &form && lightUpEnabled_) {
        guarded([this] { gate_->tick(); });
    }
}

void Host::padDown(const ToolkitForm& form, PadIndex pad, MouseButton button) {
    if (!takesInput(form, pad)) {
        return;
    }
    if (button == MouseButton::left) {
        leftDownOn_ = pad;
    }
    guarded([this, pad] { gate_->mouseDown(pad); });
}

void Host::padUp(const ToolkitForm& form, PadIndex pad, MouseButton button, bool overPad) {
    if (!takesInput(form, pad)) {
        return;
    }
    const bool click = button == MouseButton::left && overPad && leftDownOn_ == pad;
    if (button == MouseButton::left) {
        leftDownOn_.reset();
    }
    guarded([this, pad] { gate_->mouseUp(pad); });
    // The release's own handler may have disabled or unloaded the pad.
    if (click && takesInput(form, pad)) {
        guarded([this, pad] { gate_->click(pad); });
    }
}

// The mouse's own path, so that the press is judged again between its release and its click.
void Host::padPressed(const ToolkitForm& form, PadIndex pad) {
    padDown(form, pad, MouseButton::left);
    padUp(form, pad, MouseButton::left, true);
}

bool Host::closeRequested() {
    if (ended()) {
        return true;
    }
    if (!gate_->requestClose()) {
        return false;
    }
    finish(endStatus);
    return true;
}

template <typename Handling>
void Host::guarded(Handling handling) {
    const bool illegalBefore = illegalCall_.has_value();
    handling();
    if (!illegalBefore && illegalCall_) {
        fail(illegalCall_->message);
    }
}

void Host::refuse(const char* operation, const std::string& why) {
    if (illegalCall_) {
        return;
    }
    std::string message = operation;
    message.append(" ").append(why);
    illegalCall_ = IllegalCall{operation, std::move(message)};
    // Whatever the handling goes on to ask, the game hears nothing more.
    if (gate_) {
        gate_->end();
    }
}

void Host::refuseOnPad(const char* operation, PadIndex pad, const char* why) {
    std::string where = "on pad ";
    where.append(std::to_string(pad)).append(why);
    refuse(operation, where);
}

void Host::fail(const std::string& what) {
    // Halted first, so that nothing reaches the game while the player reads why.
    halt();
    toolkit_.runMessageBox(std::string(design::internalErrorMessage) + "\n\n" + what, false);
    finish(failureStatus);
}

void Host::finish(int status) {
    halt();
    exitStatus_ = status;
    toolkit_.quit(status);
}

void Host::halt() {
    gate_->end();
    if (form_) {
        form_->setLightUpEnabled(false);
    }
    lightUpEnabled_ = false;
    formShown_ = false;
    toolkit_.setWindowShown(false);
}

bool Host::running(const char* operation) {
    if (illegalCall_) {
        return false;
    }
    if (!game_) {
        refuse(operation, "before the program started");
    } else if (ended()) {
        refuse(operation, "after the program ended");
    }
    return !illegalCall_;
}

ToolkitForm* Host::loadedForm(const char* operation) {
    if (running(operation) && !form_) {
        refuse(operation, "while the form is not loaded");
    }
    return illegalCall_ ? nullptr : form_;
}

Host::PadRecord* Host::loadedPad(PadIndex pad, const char* operation) {
    if (loadedForm(operation) &&
        (!inPressArray(pad) || !pads_[static_cast<std::size_t>(pad)].loaded)) {
        refuseOnPad(operation, pad, ", which is not loaded");
    }
    return illegalCall_ ? nullptr : &pads_[static_cast<std::size_t>(pad)];
}

bool Host::takesInput(const ToolkitForm& form, PadIndex pad) const {
    if (form_ != &form || !inPressArray(pad)) {
        return false;
    }
    const PadRecord& record = pads_[static_cast<std::size_t>(pad)];
    return record.loaded && record.enabled && record.visible;
}

}  // namespace zintu
