#include "pad.h"

#include <QAccessibleWidget>
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

namespace {

QAccessibleInterface* padAccessible(const QString&, QObject* object) {
    if (auto* pad = qobject_cast<Pad*>(object)) {
        return new QAccessibleWidget(pad, QAccessible::Button);
    }
    return nullptr;
}

}  // namespace

void installPadAccessibility() {
    static const bool installed = (QAccessible::installFactory(padAccessible), true);
    Q_UNUSED(installed);
}

Pad::Pad(PadIndex index, QWidget* parent) : QLabel(QString::fromUtf8(design::padText), parent) {
    setAutoFillBackground(true);
    setFrameShape(QFrame::NoFrame);
    const std::string_view colour = design::padTable.at(static_cast<std::size_t>(index)).colourName;
    setAccessibleName(QString::fromUtf8(colour) + QStringLiteral(" pad"));
}

void Pad::setBackColor(Colour colour) {
    backColor_ = colour;
    QPalette colours = palette();
    // Set for every colour group: disabling a pad must not change how it looks.
    colours.setColor(QPalette::Window, toQColor(colour));
    setPalette(colours);
}

void Pad::setTwipGeometry(design::TwipRect twips) {
    twips_ = twips;
    setGeometry(toQRect(twips));
}

void Pad::moveTo(int left, int top) {
    setTwipGeometry({left, top, twips_.width, twips_.height});
}

void Pad::paintEvent(QPaintEvent*) {}

void Pad::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftPressedHere_ = true;
    }
    event->accept();
    emit mouseDown();
}

void Pad::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const bool click = event->button() == Qt::LeftButton && leftPressedHere_ &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        leftPressedHere_ = false;
    }
    emit mouseUp();
    if (click) {
        emit clicked();
    }
}

}  // namespace zintu
