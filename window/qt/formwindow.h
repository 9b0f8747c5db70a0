#pragma once

#include <QWidget>
#include <array>

#include "design.h"

class QLabel;
class QTimer;

namespace zintu {

class Pad;

// The game window's form Form1 with its controls, built from the design at every load inside
// the window that stays on the screen for the whole run.
class FormWindow : public QWidget {
    Q_OBJECT

public:
    explicit FormWindow(QWidget* parent);

    // The form's designed size.
    static QSize designedSize();

    QLabel* score() const { return score_; }
    QTimer* lightUp() const { return lightUp_; }
    // Null for a pad of the Press array that has not been created.
    Pad* pad(PadIndex index) const;
    // Creates pad `index` as a hidden copy of pad 0.
    Pad* loadPad(PadIndex index);

private:
    QLabel* score_;
    QTimer* lightUp_;
    std::array<Pad*, design::padCount> pads_{};
};

}  // namespace zintu
