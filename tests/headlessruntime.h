#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "eventgate.h"
#include "randomsource.h"
#include "runtime.h"

namespace zintu::testing {

// A call the real runtime could not honour; thrown so that the test fails at the faulty call.
struct IllegalCall : std::logic_error {
    using std::logic_error::logic_error;
};

// The runtime without a window: controls are plain records and time is a virtual clock that
// moves only when the test advances it. Message boxes are recorded and answered at once.
class HeadlessRuntime : public Runtime {
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
    explicit HeadlessRuntime(std::uint64_t seed = 1) : seed_(seed) {}

    // Program entry: loads the window, raising Form_Load, and shows it.
    void start(FormEvents& game);

    // Virtual clock in milliseconds; ticks are delivered exactly when they fall due.
    long long now() const { return now_; }
    void advance(long long milliseconds);
    // Advances to the next tick and delivers it; the timer must be enabled.
    void advanceOneTick();

    // Player input; like the real runtime, a disabled pad raises nothing.
    void mouseDown(PadIndex pad);
    void mouseUp(PadIndex pad);
    void click(PadIndex pad);
    void clickPad(PadIndex pad);
    // The user closes the window; returns whether the program ended.
    bool close();

    // Draws in [0, 1) before narrowing; the default is a seeded generator.
    void setUnitDraws(std::function<double()> draws) { unitDraws_ = std::move(draws); }
    // Runs while a message box is open, with its text: input and time may be injected there.
    void setWhileMessageOpen(std::function<void(const std::string&)> action) {
        whileMessageOpen_ = std::move(action);
    }

    const PadState& pad(PadIndex pad) const;
    const std::vector<std::string>& messages() const { return messages_; }
    const std::string& scoreCaption() const { return scoreCaption_; }
    bool lightUpEnabled() const { return lightUpEnabled_; }
    bool loaded() const { return loaded_; }
    bool visible() const { return visible_; }
    bool ended() const { return gate_ && gate_->ended(); }
    bool messageOpen() const { return gate_ && gate_->messageOpen(); }
    int reseeds() const { return reseeds_; }
    int draws() const { return draws_; }
    int loads() const { return loads_; }
    // How often the timer was enabled since the window was last loaded.
    int lightUpStartsThisLoad() const { return lightUpStartsThisLoad_; }

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
    void loadFromDesign();
    void requireRunning(const char* operation) const;
    PadState& existingPad(PadIndex pad, const char* operation);
    const PadState& existingPad(PadIndex pad, const char* operation) const;
    bool padTakesInput(PadIndex pad) const;

    std::optional<EventGate> gate_;
    FormEvents* game_ = nullptr;
    std::uint64_t seed_;
    RandomSource random_;
    std::function<double()> unitDraws_;
    std::function<void(const std::string&)> whileMessageOpen_;
    std::vector<std::string> messages_;

    std::array<PadState, 4> pads_{};
    std::string scoreCaption_;
    bool loaded_ = false;
    bool visible_ = false;
    bool lightUpEnabled_ = false;
    long long now_ = 0;
    long long nextTick_ = 0;
    int reseeds_ = 0;
    int draws_ = 0;
    int loads_ = 0;
    int lightUpStartsThisLoad_ = 0;
};

}  // namespace zintu::testing
