#include "pad.h"

#include <QAccessible>
#include <QMouseEvent>

namespace zintu {

QColor toQColor(Colour colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QRect toQRect(design::TwipRect twips) {
    const design::PixelRect pixels = design::toPixels(twips);
    return {pixels.x, pixels.y, pixels.width, pixels.height};
}

void fillBackground(QWidget& widget, Colour colour) {
    QPalette colours = widget.palette();
    colours.setColor(QPalette::Window, toQColor(colour));
    widget.setPalette(colours);
    widget.setAutoFillBackground(true);
}

Pad::Pad(PadIndex index, QWidget* parent) : QLabel(QString::fromUtf8(design::padText), parent) {
    setFrameShape(QFrame::NoFrame);
    const std::string_view name = design::padTable.at(static_cast<std::size_t>(index)).name;
    setAccessibleName(QString::fromUtf8(name));
}

void Pad::setBackColor(Colour colour) {
    const bool wasLit = lit();
    backColor_ = colour;
    // Disabling a pad must not change how it looks.
    fillBackground(*this, colour);
    if (lit() != wasLit) {
        // A screen reader follows playback by these.
        QAccessible::State litChanged;
        litChanged.checked = true;
        QAccessibleStateChangeEvent event(this, litChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void Pad::setTwipGeometry(design::TwipRect twips) {
    twips_ = twips;
    setGeometry(toQRect(twips));
}

void Pad::moveTo(int left, int top) {
    setTwipGeometry({left, top, twips_.width, twips_.height});
}

void Pad::press() {
    emit pressed();
}

void Pad::paintEvent(QPaintEvent*) {}

namespace {

MouseButton buttonOf(const QMouseEvent& event) {
    return event.button() == Qt::LeftButton ? MouseButton::left : MouseButton::other;
}

}  // namespace

void Pad::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit mouseDown(buttonOf(*event));
}

void Pad::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    emit mouseUp(buttonOf(*event), rect().contains(event->position().toPoint()));
}

}  // namespace zintu
