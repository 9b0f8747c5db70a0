#pragma once

#include <array>
#include <optional>
#include <string>

#include "design.h"
#include "toolkit.h"

namespace zintu {

class WebToolkit;

// The form Form1 with its controls, built in the page from the design at every load, inside the
// window that stays on the page for the whole run. The page's elements are only written: what
// the game reads back, it reads here.
class WebForm : public ToolkitForm {
public:
    WebForm(WebToolkit& toolkit, ToolkitEvents& events, const std::string& labelFont);
    ~WebForm() override;
    WebForm(const WebForm&) = delete;
    WebForm& operator=(const WebForm&) = delete;

    int id() const { return id_; }
    // Places the label and the pads anew, at the toolkit's resolution.
    void relayout();

    void loadPad(PadIndex pad) override;
    Colour padColour(PadIndex pad) const override;
    void setPadColour(PadIndex pad, Colour colour) override;
    void setPadEnabled(PadIndex pad, bool enabled) override;
    void setPadVisible(PadIndex pad, bool visible) override;
    void movePad(PadIndex pad, int left, int top) override;
    void setScoreCaption(const std::string& text) override;
    void setLightUpEnabled(bool enabled) override;
    void setShown(bool shown) override;

private:
    struct PadState {
        Colour colour;
        bool enabled;
        bool visible;
        design::TwipRect place;
        bool loaded;
    };

    PadState& pad(PadIndex index);
    void showPad(PadIndex index);
    void placePad(PadIndex index);

    WebToolkit& toolkit_;
    ToolkitEvents& events_;
    int id_;
    std::array<PadState, design::padCount> pads_{};
    std::optional<int> lightUp_;
};

}  // namespace zintu
