#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "design.h"
#include "eventgate.h"
#include "randomsource.h"
#include "runtime.h"
#include "toolkit.h"

namespace zintu {

// A call the runtime cannot honour in the state it is in: an operation on a pad that is not
// loaded, a pad loaded twice, a control of a form that is not loaded, any call before the
// program started or after it ended.
struct IllegalCall {
    std::string operation;
    // The operation, and why it could not be honoured.
    std::string message;
};

// The window runtime written once, over any toolkit: it owns the game's events and the gate
// they pass, the random source, and the form's load, show, unload and end. The toolkit only
// builds, draws and reports.
class Host : public Runtime, private ToolkitEvents {
public:
    static constexpr int failureStatus = 1;

    explicit Host(Toolkit& toolkit);
    Host(Toolkit& toolkit, RandomSource& random);
    ~Host() override;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Program entry: opens the window, loads the form, raising Form_Load, and shows it.
    void start(FormEvents& game);
    // start, then the toolkit's events until the program ends; returns the exit status.
    int run(FormEvents& game);

    bool ended() const { return gate_ && gate_->ended(); }
    bool messageOpen() const { return gate_ && gate_->messageOpen(); }
    int exitStatus() const { return exitStatus_; }
    // The first illegal call, recorded where it was made. Every runtime call after it is
    // refused with no effect, and the event it came in ends the game with an error box, never
    // a crash and never silently.
    const std::optional<IllegalCall>& illegalCall() const { return illegalCall_; }

    void randomize() override;
    float rnd() override;
    Colour backColor(PadIndex pad) const override;
    void setBackColor(PadIndex pad, Colour colour) override;
    void setPadEnabled(PadIndex pad, bool enabled) override;
    void setPadVisible(PadIndex pad, bool visible) override;
    void movePad(PadIndex pad, int left, int top) override;
    void loadPad(PadIndex pad) override;
    void setScoreCaption(const std::string& text) override;
    void setLightUpEnabled(bool enabled) override;
    void msgBox(const std::string& text) override;
    void unloadForm() override;
    void showForm() override;
    void end() override;

private:
    struct PadRecord {
        bool loaded = false;
        bool enabled = false;
        bool visible = false;
    };

    void tick(const ToolkitForm& form) override;
    void padDown(const ToolkitForm& form, PadIndex pad, MouseButton button) override;
    void padUp(const ToolkitForm& form, PadIndex pad, MouseButton button, bool overPad) override;
    void padPressed(const ToolkitForm& form, PadIndex pad) override;
    bool closeRequested() override;

    // Runs an event's handling; an illegal call in it ends the game once the handling returns.
    // Never inlined by the compiler, so that the web's test page, linked unoptimised, has it on
    // the stack under every box: the list of the functions that may wait is checked there to
    // name it, a template whose name begins with its return type.
    template <typename Handling>
    [[gnu::noinline]] void guarded(Handling handling);
    void refuse(const char* operation, const std::string& why);
    void refuseOnPad(const char* operation, PadIndex pad, const char* why);
    void fail(const std::string& what);
    void finish(int status);
    // Nothing reaches the game any more, and nothing of it is on the screen.
    void halt();

    // Each answers whether the call may go on, having recorded the illegal call if not.
    bool running(const char* operation);
    ToolkitForm* loadedForm(const char* operation);
    PadRecord* loadedPad(PadIndex pad, const char* operation);
    bool takesInput(const ToolkitForm& form, PadIndex pad) const;

    Toolkit& toolkit_;
    // The clock's source, made only where none is handed in.
    std::unique_ptr<RandomSource> ownRandom_;
    RandomSource& random_;
    FormEvents* game_ = nullptr;
    std::optional<EventGate> gate_;
    // The loaded form; the toolkit owns it.
    ToolkitForm* form_ = nullptr;
    // What the host needs to judge calls and input; the controls' colours stay in the controls.
    std::array<PadRecord, design::padCount> pads_{};
    bool lightUpEnabled_ = false;
    bool formShown_ = false;
    // The pad of the loaded form the left button went down on, until it comes up: a click is
    // the left button pressed and released on the same pad.
    std::optional<PadIndex> leftDownOn_;
    int exitStatus_ = 0;
    std::optional<IllegalCall> illegalCall_;
};

}  // namespace zintu
