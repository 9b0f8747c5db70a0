#include "formwindow.h"

#include <QLabel>
#include <QTimer>

#include "design.h"
#include "pad.h"
#include "scorefont.h"

namespace zintu {

FormWindow::FormWindow(QWidget* parent)
    : QWidget(parent),
      score_(new QLabel(QString::fromUtf8(design::scoreCaption), this)),
      lightUp_(new QTimer(this)) {
    // Loaded before it is shown: it must not appear with its window.
    hide();
    setFixedSize(designedSize());
    fillBackground(*this, design::formBackColor);

    lightUp_->setTimerType(Qt::PreciseTimer);
    lightUp_->setInterval(design::lightUpIntervalMs);

    score_->setGeometry(toQRect(design::scoreRect));
    score_->setAlignment(Qt::AlignCenter);
    score_->setFont(scoreFont(score_->size()));
    QPalette scoreColours = score_->palette();
    scoreColours.setColor(QPalette::WindowText, toQColor(design::scoreTextColour));
    score_->setPalette(scoreColours);

    Pad* first = new Pad(0, this);
    first->setTwipGeometry(design::padRect(0));
    first->setBackColor(design::restingColour(0));
    pads_[0] = first;
}

QSize FormWindow::designedSize() {
    return {design::toPixels(design::clientWidth), design::toPixels(design::clientHeight)};
}

Pad* FormWindow::pad(PadIndex index) const {
    return pads_.at(static_cast<std::size_t>(index));
}

Pad* FormWindow::loadPad(PadIndex index) {
    const Pad* original = pads_[0];
    Pad* copy = new Pad(index, this);
    copy->setTwipGeometry(original->twipGeometry());
    copy->setText(original->text());
    copy->setBackColor(original->backColor());
    copy->setEnabled(original->isEnabled());
    copy->hide();
    pads_.at(static_cast<std::size_t>(index)) = copy;
    return copy;
}

}  // namespace zintu
