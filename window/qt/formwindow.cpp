#include "formwindow.h"

#include <QLabel>
#include <QTimer>

#include "design.h"
#include "gamewindow.h"
#include "pad.h"
#include "scorefont.h"

namespace zintu {

FormWindow::FormWindow(GameWindow* window, ToolkitEvents& events)
    : QWidget(window),
      events_(events),
      score_(new QLabel(QString::fromUtf8(design::scoreCaption), this)),
      lightUp_(new QTimer(this)) {
    // Loaded before it is shown: it must not appear with its window.
    hide();
    setFixedSize(designedSize());
    fillBackground(*this, design::formBackColor);

    lightUp_->setTimerType(Qt::PreciseTimer);
    lightUp_->setInterval(design::lightUpIntervalMs);
    connect(lightUp_, &QTimer::timeout, this, [this] { events_.tick(*this); });

    score_->setGeometry(toQRect(design::scoreRect));
    score_->setAlignment(Qt::AlignCenter);
    score_->setFont(scoreFont(score_->size()));
    QPalette scoreColours = score_->palette();
    scoreColours.setColor(QPalette::WindowText, toQColor(design::scoreTextColour));
    score_->setPalette(scoreColours);

    Pad* first = new Pad(0, this);
    first->setTwipGeometry(design::padRect(0));
    first->setBackColor(design::restingColour(0));
    adopt(first, 0);
}

QSize FormWindow::designedSize() {
    return {design::toPixels(design::clientWidth), design::toPixels(design::clientHeight)};
}

Pad* FormWindow::pad(PadIndex index) const {
    return pads_.at(static_cast<std::size_t>(index));
}

void FormWindow::loadPad(PadIndex index) {
    const Pad* original = pads_[0];
    Pad* copy = new Pad(index, this);
    copy->setTwipGeometry(original->twipGeometry());
    copy->setText(original->text());
    copy->setBackColor(original->backColor());
    copy->setEnabled(original->isEnabled());
    copy->hide();
    adopt(copy, index);
}

Colour FormWindow::padColour(PadIndex index) const {
    return pad(index)->backColor();
}

void FormWindow::setPadColour(PadIndex index, Colour colour) {
    pad(index)->setBackColor(colour);
}

void FormWindow::setPadEnabled(PadIndex index, bool enabled) {
    pad(index)->setEnabled(enabled);
}

void FormWindow::setPadVisible(PadIndex index, bool visible) {
    pad(index)->setVisible(visible);
}

void FormWindow::movePad(PadIndex index, int left, int top) {
    pad(index)->moveTo(left, top);
}

void FormWindow::setScoreCaption(const std::string& text) {
    score_->setText(QString::fromStdString(text));
}

void FormWindow::setLightUpEnabled(bool enabled) {
    if (enabled) {
        startLightUpOnceOnScreen();
    } else {
        disconnect(lightUpStart_);
        lightUp_->stop();
    }
}

void FormWindow::startLightUpOnceOnScreen() {
    // The first playback of the run starts loaded before its window is on the screen: its
    // first interval counts from the moment the player can see the pads, or a slow start
    // plays the first pad unseen. Later levels find the window there already.
    const auto* window = static_cast<const GameWindow*>(parentWidget());
    if (window->hasReachedScreen()) {
        lightUp_->start();
        return;
    }
    lightUpStart_ = connect(window, &GameWindow::screenReached, lightUp_,
                            qOverload<>(&QTimer::start), Qt::SingleShotConnection);
}

void FormWindow::setShown(bool shown) {
    setVisible(shown);
}

void FormWindow::adopt(Pad* pad, PadIndex index) {
    pads_.at(static_cast<std::size_t>(index)) = pad;
    connect(pad, &Pad::mouseDown, this,
            [this, index](MouseButton button) { events_.padDown(*this, index, button); });
    connect(pad, &Pad::mouseUp, this, [this, index](MouseButton button, bool overPad) {
        events_.padUp(*this, index, button, overPad);
    });
    connect(pad, &Pad::pressed, this, [this, index] { events_.padPressed(*this, index); });
}

}  // namespace zintu
