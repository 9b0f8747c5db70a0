#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clockrandomsource.h"
#include "design.h"
#include "formshelf.h"
#include "host.h"
#include "toolkit.h"

namespace zintu::testing {

// A toolkit without a window: controls are plain records and time is a virtual clock that moves
// only when the test advances it. Message boxes are recorded and answered at once. It is also
// the random source, reseeded from its own "clock".
class HeadlessToolkit : public Toolkit, public RandomSource {
public:
    struct PadState {
        bool exists = false;
        Colour colour = 0;
        bool enabled = false;
        bool visible = false;
        int left = 0;
        int top = 0;
    };

    // Each reseed from the "clock" starts the generator from the next seed after this one.
    explicit HeadlessToolkit(std::uint64_t seed);
    ~HeadlessToolkit() override;

    // Virtual clock in milliseconds; ticks are delivered exactly when they fall due.
    long long now() const { return now_; }
    void advance(long long milliseconds);
    // Advances to the next tick and delivers it; the timer must be enabled.
    void advanceOneTick();

    // Player input, on the pads of the form built last.
    // The left button, as a player's; released off the pad unless said otherwise.
    void mouseDown(PadIndex pad);
    void mouseUp(PadIndex pad, bool overPad = false);
    void clickPad(PadIndex pad);
    // Assistive technology's press action.
    void pressAction(PadIndex pad);
    // The user closes the window; returns whether it closed.
    bool close();

    // The loaded form, to report from after it is unloaded and before it is destroyed: a real
    // toolkit's control can report then, inside the handler that unloaded its form.
    const ToolkitForm* latestForm() const;
    // Straight from that form's controls, as from inside a running handler.
    void tickFrom(const ToolkitForm& form);
    void clickFrom(const ToolkitForm& form, PadIndex pad);

    // Draws in [0, 1) before narrowing; the default is a seeded generator.
    void setUnitDraws(std::function<double()> draws) { unitDraws_ = std::move(draws); }
    // Runs while a message box is open, with its text: input and time may be injected there.
    void setWhileMessageOpen(std::function<void(const std::string&)> action) {
        whileMessageOpen_ = std::move(action);
    }

    // What the form built last shows.
    const PadState& pad(PadIndex pad) const;
    const std::string& scoreCaption() const;
    bool lightUpEnabled() const;
    // How often the timer was switched on since the form was built.
    int lightUpStartsThisLoad() const;
    // The form and its window are on the screen.
    bool visible() const;

    const std::vector<std::string>& messages() const { return messages_; }
    // Boxes opened while the game window was not on the screen.
    int messagesWithoutWindow() const { return messagesWithoutWindow_; }
    int reseeds() const { return reseeds_; }
    int draws() const { return draws_; }
    int loads() const { return loads_; }
    bool quit() const { return quit_; }
    int quitStatus() const { return quitStatus_; }

    void open(ToolkitEvents& events) override;
    ToolkitForm& buildForm() override;
    void destroyLater(ToolkitForm& form) override;
    void setWindowShown(bool shown) override;
    void runMessageBox(const std::string& text, bool overWindow) override;
    void runEventLoop() override;
    void quit(int status) override;

    void reseedFromClock() override;
    double nextUnit() override;

private:
    class Form;

    Form* latest() const { return forms_.latest(); }
    // What the toolkit's own loop does between two events: destroys what was handed over.
    void betweenEvents();
    bool padTakesInput(PadIndex pad) const;

    std::uint64_t seed_;
    ClockRandomSource generator_;
    std::function<double()> unitDraws_;
    std::function<void(const std::string&)> whileMessageOpen_;
    ToolkitEvents* events_ = nullptr;
    FormShelf<Form> forms_;
    std::vector<std::string> messages_;
    int messagesWithoutWindow_ = 0;
    int boxesOpen_ = 0;
    bool windowShown_ = false;
    bool quit_ = false;
    int quitStatus_ = -1;
    long long now_ = 0;
    int reseeds_ = 0;
    int draws_ = 0;
    int loads_ = 0;
};

// The runtime the game tests play on: the players' own host over the headless toolkit. A test
// in which the game makes an illegal call fails, naming the call.
class HeadlessRuntime : public HeadlessToolkit, public Host {
public:
    explicit HeadlessRuntime(std::uint64_t seed = 1) : HeadlessToolkit(seed), Host(*this, *this) {}
    ~HeadlessRuntime() override;
    HeadlessRuntime(const HeadlessRuntime&) = delete;
    HeadlessRuntime& operator=(const HeadlessRuntime&) = delete;
};

}  // namespace zintu::testing
