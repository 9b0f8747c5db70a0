#pragma once

#include <QWidget>
#include <array>

#include "design.h"
#include "toolkit.h"

class QLabel;
class QTimer;

namespace zintu {

class GameWindow;
class Pad;

// The game window's form Form1 with its controls, built from the design at every load inside
// the window that stays on the screen for the whole run. Its controls' events go to the host.
class FormWindow : public QWidget, public ToolkitForm {
    Q_OBJECT

public:
    FormWindow(GameWindow* window, ToolkitEvents& events);

    // The form's designed size.
    static QSize designedSize();

    QLabel* score() const { return score_; }
    QTimer* lightUp() const { return lightUp_; }
    // Null for a pad of the Press array that has not been created.
    Pad* pad(PadIndex index) const;

    void loadPad(PadIndex index) override;
    Colour padColour(PadIndex index) const override;
    void setPadColour(PadIndex index, Colour colour) override;
    void setPadEnabled(PadIndex index, bool enabled) override;
    void setPadVisible(PadIndex index, bool visible) override;
    void movePad(PadIndex index, int left, int top) override;
    void setScoreCaption(const std::string& text) override;
    void setLightUpEnabled(bool enabled) override;
    void setShown(bool shown) override;

private:
    void adopt(Pad* pad, PadIndex index);
    void startLightUpOnceOnScreen();

    ToolkitEvents& events_;
    QLabel* score_;
    QTimer* lightUp_;
    QMetaObject::Connection lightUpStart_;
    std::array<Pad*, design::padCount> pads_{};
};

}  // namespace zintu
