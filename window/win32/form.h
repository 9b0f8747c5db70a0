#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "design.h"
#include "lightuptimer.h"
#include "pad.h"
#include "toolkit.h"

namespace zintu {

// The game window's form Form1 with its controls, the label Score, the timer LightUp and the
// pads, built from the design at every load as a child of the window that stays on the screen
// for the whole run. Hidden until shown. Its controls' events go to the host.
class Form : public ToolkitForm {
public:
    Form(HWND frame, int dpi, ToolkitEvents& events);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND score() const { return score_; }
    // Null for a pad of the Press array that has not been created.
    Pad* pad(PadIndex index) const { return pads_.at(static_cast<std::size_t>(index)).get(); }

    void loadPad(PadIndex index) override;
    Colour padColour(PadIndex index) const override;
    void setPadColour(PadIndex index, Colour colour) override;
    void setPadEnabled(PadIndex index, bool enabled) override;
    void setPadVisible(PadIndex index, bool visible) override;
    void movePad(PadIndex index, int left, int top) override;
    void setScoreCaption(const std::string& text) override;
    void setLightUpEnabled(bool enabled) override;
    void setShown(bool shown) override;

    // The form's designed size at a resolution.
    static SIZE size(int dpi);
    // The form's colour, for the window it stands in as well.
    static HBRUSH background();

    // Lays the form and its controls out anew for a resolution.
    void layout(int dpi);

    // The window's messages.
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    ToolkitEvents& events_;
    int dpi_;
    HWND hwnd_;
    HWND score_;
    HFONT scoreFont_ = nullptr;
    std::unique_ptr<LightUpTimer> lightUp_;
    std::array<std::unique_ptr<Pad>, design::padCount> pads_{};
};

}  // namespace zintu
