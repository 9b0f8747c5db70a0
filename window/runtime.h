#pragma once

#include <cstdint>
#include <string>

namespace zintu {

// Index of a pad in the Press control array, 0 to 3.
using PadIndex = std::int16_t;

// 24-bit colour in the 0x00BBGGRR layout; the game compares colours for exact equality.
using Colour = std::uint32_t;

constexpr Colour rgb(int red, int green, int blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) |
           (static_cast<Colour>(blue) << 16);
}

// Decimal digits with a leading space when not negative: 3 gives " 3", -3 gives "-3".
std::string formatNumber(int value);

// The events the runtime raises into the game, one at a time, on one thread.
class FormEvents {
public:
    virtual ~FormEvents() = default;

    virtual void Form_Load() = 0;
    virtual void LightUp_Timer() = 0;
    virtual void Press_MouseDown(PadIndex Index) = 0;
    virtual void Press_MouseUp(PadIndex Index) = 0;
    virtual void Press_Click(PadIndex Index) = 0;
};

// What the game asks of the window runtime. Positions are in twips.
class Runtime {
public:
    virtual ~Runtime() = default;

    virtual void randomize() = 0;
    // A single-precision r with 0 <= r < 1.
    virtual float rnd() = 0;

    virtual Colour backColor(PadIndex pad) const = 0;
    virtual void setBackColor(PadIndex pad, Colour colour) = 0;
    virtual void setPadEnabled(PadIndex pad, bool enabled) = 0;
    virtual void setPadVisible(PadIndex pad, bool visible) = 0;
    virtual void movePad(PadIndex pad, int left, int top) = 0;
    // Creates pad `pad` as a hidden copy of pad 0.
    virtual void loadPad(PadIndex pad) = 0;

    virtual void setScoreCaption(const std::string& text) = 0;
    virtual void setLightUpEnabled(bool enabled) = 0;

    // Modal; returns once the box is dismissed in any way.
    virtual void msgBox(const std::string& text) = 0;

    // Destroys the window and its controls; the game state survives.
    virtual void unloadForm() = 0;
    // Loads the window if it is unloaded, raising Form_Load, then shows it.
    virtual void showForm() = 0;
    // Ends the program at once: no event is delivered after it.
    virtual void end() = 0;
};

}  // namespace zintu
