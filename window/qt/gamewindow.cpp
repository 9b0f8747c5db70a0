#include "gamewindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "captionbar.h"
#include "design.h"
#include "formwindow.h"
#include "pad.h"

namespace zintu {

GameWindow::GameWindow() {
    setWindowTitle(QString::fromUtf8(design::formCaption));
    // The form's size is fixed: nothing to maximise.
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint;
    if (CaptionBar::needed()) {
        flags = Qt::Window | Qt::FramelessWindowHint;
        captionBar_ = new CaptionBar(CaptionBar::Buttons::minimiseAndClose, this);
    }
    setWindowFlags(flags);
    // The form's own colour, so that nothing else can show between two forms.
    fillBackground(*this, design::formBackColor);

    const QPoint origin = formOrigin();
    setFixedSize(FormWindow::designedSize() + QSize(origin.x(), origin.y()));
    if (captionBar_) {
        captionBar_->setGeometry(0, 0, width(), captionBar_->height());
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed = frameGeometry();
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
}

QPoint GameWindow::formOrigin() const {
    return {0, captionBar_ ? captionBar_->height() : 0};
}

void GameWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The native window exists from now on, and is exposed only later.
    if (!reachedScreen_) {
        windowHandle()->installEventFilter(this);
    }
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!reachedScreen_ && watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        reachedScreen_ = true;
        windowHandle()->removeEventFilter(this);
        emit screenReached();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zintu
