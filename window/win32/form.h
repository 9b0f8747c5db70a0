#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "design.h"
#include "eventgate.h"
#include "lightuptimer.h"
#include "pad.h"

namespace zintu {

// The game window's form Form1 with its controls, the label Score, the timer LightUp and the
// pads, built from the design at every load as a child of the window that stays on the screen
// for the whole run. Hidden until shown.
class Form : public PadListener {
public:
    Form(HWND frame, int dpi, EventGate& gate);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND score() const { return score_; }
    LightUpTimer& lightUp() { return *lightUp_; }
    // Null for a pad of the Press array that has not been created.
    Pad* pad(PadIndex index) const { return pads_.at(static_cast<std::size_t>(index)).get(); }
    // Creates pad `index` as a hidden copy of pad 0.
    void loadPad(PadIndex index);
    void movePad(PadIndex index, int left, int top);

    // The form's designed size at a resolution.
    static SIZE size(int dpi);
    // The form's colour, for the window it stands in as well.
    static HBRUSH background();

    int dpi() const { return dpi_; }
    // Lays the form and its controls out anew for a resolution.
    void layout(int dpi);

    // Cuts the form off from the game: nothing on it reaches the game any more.
    void detach();

    // From the pads, passed on to the game while attached.
    void padDown(PadIndex pad) override;
    void padUp(PadIndex pad) override;
    void padClick(PadIndex pad) override;

    // The window's messages.
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    EventGate* gate_;
    int dpi_;
    HWND hwnd_;
    HWND score_;
    HFONT scoreFont_ = nullptr;
    std::unique_ptr<LightUpTimer> lightUp_;
    std::array<std::unique_ptr<Pad>, design::padCount> pads_{};
};

}  // namespace zintu
