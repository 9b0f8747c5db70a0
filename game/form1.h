#pragma once

#include <array>
#include <cstdint>

#include "runtime.h"

namespace zintu {

struct GameState {
    static constexpr int patternLength = 100;
    static constexpr int masterLevel = 100;

    // Pad numbers 1 to 4 in elements 1 to 100; element 0 is never used. Element 100 doubles as
    // the flag that the pattern has been drawn.
    std::array<std::int16_t, patternLength + 1> pattern{};
    int level = 0;
    // 1-based index of the element that playback shows next, or that the player must click next.
    int position = 0;

    // The pad that pattern element `element` names: its pad number less one.
    PadIndex padAt(int element) const {
        return static_cast<PadIndex>(pattern[static_cast<std::size_t>(element)] - 1);
    }
};

// The game window's form object: it owns the game state for the whole run, across every unload
// of the window, and handles every event the window raises.
class Form1 : public FormEvents {
public:
    explicit Form1(Runtime& runtime) : runtime_(runtime) {}

    void Form_Load() override;
    void LightUp_Timer() override;
    void Press_MouseDown(PadIndex Index) override;
    void Press_MouseUp(PadIndex Index) override;
    void Press_Click(PadIndex Index) override;

    const GameState& state() const { return state_; }

private:
    void colorset();
    void colors();

    PadIndex expectedPad() const;
    bool anyPadLit() const;
    void restoreLitPads();
    void startPlayerTurn();

    Runtime& runtime_;
    GameState state_;
};

}  // namespace zintu
