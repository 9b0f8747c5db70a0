#pragma once

#include <QLabel>

#include "design.h"
#include "runtime.h"
#include "toolkit.h"

namespace zintu {

// One pad of the Press control array: a label that shows nothing but its background colour and
// reports the raw mouse gestures on it.
class Pad : public QLabel {
    Q_OBJECT

public:
    Pad(PadIndex index, QWidget* parent);

    Colour backColor() const { return backColor_; }
    void setBackColor(Colour colour);
    bool lit() const { return backColor_ == design::litColour; }

    design::TwipRect twipGeometry() const { return twips_; }
    void setTwipGeometry(design::TwipRect twips);
    void moveTo(int left, int top);

    // Assistive technology's press action, which does what a left click does.
    void press();

signals:
    void mouseDown(MouseButton button);
    void mouseUp(MouseButton button, bool overPad);
    void pressed();

protected:
    // Qt turns a quick second press into a double-click event, which QWidget passes on here:
    // for a pad it is just another press.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A pad shows nothing but its background, which Qt fills before painting; its blank text
    // is never drawn, so start-up needs no text font for it.
    void paintEvent(QPaintEvent* event) override;

private:
    Colour backColor_ = 0;
    // Kept in twips so that every move rounds the pad's edges afresh, never its size.
    design::TwipRect twips_{};
};

QColor toQColor(Colour colour);
// Fills the widget's background with the colour, whether it is enabled or not.
void fillBackground(QWidget& widget, Colour colour);
QRect toQRect(design::TwipRect twips);

}  // namespace zintu
