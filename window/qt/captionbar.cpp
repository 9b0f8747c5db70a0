#include "captionbar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWindow>

#include "waylanddecorations.h"

namespace zintu {

namespace {

constexpr int barHeight = 28;
constexpr int buttonSize = 22;
constexpr int spacing = 4;
constexpr int glyphSize = 10;

// Drawn rather than taken from the style or a font, which would load an icon theme or depend on
// the glyphs installed.
QPixmap glyph(bool cross) {
    QPixmap pixmap(glyphSize, glyphSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.5));
    if (cross) {
        painter.drawLine(QPointF(1, 1), QPointF(glyphSize - 1, glyphSize - 1));
        painter.drawLine(QPointF(1, glyphSize - 1), QPointF(glyphSize - 1, 1));
    } else {
        painter.drawLine(QPointF(1, glyphSize - 2), QPointF(glyphSize - 1, glyphSize - 2));
    }
    return pixmap;
}

}  // namespace

bool CaptionBar::needed() {
    static const bool needed = QApplication::platformName().startsWith(QStringLiteral("wayland")) &&
                               !compositorDecoratesWindows();
    return needed;
}

CaptionBar::CaptionBar(Buttons buttons, QWidget* window) : QWidget(window) {
    // A title bar's colours, not those the window it heads passes on to its children.
    QPalette colours = QApplication::palette();
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::WindowText}) {
        colours.setColor(role, colours.color(role));
    }
    setPalette(colours);
    setAutoFillBackground(true);
    setFixedHeight(barHeight);
    if (buttons == Buttons::minimiseAndClose) {
        connect(addButton(QStringLiteral("Minimise"), glyph(false)), &QToolButton::clicked, window,
                &QWidget::showMinimized);
    }
    connect(addButton(QStringLiteral("Close"), glyph(true)), &QToolButton::clicked, window,
            &QWidget::close);
}

QToolButton* CaptionBar::addButton(const QString& name, const QPixmap& glyph) {
    auto* button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(buttonSize, buttonSize);
    button->setIcon(QIcon(glyph));
    button->setAccessibleName(name);
    button->setToolTip(name);
    buttons_.append(button);
    return button;
}

void CaptionBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, window()->windowTitle());
}

void CaptionBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && window()->windowHandle()) {
        window()->windowHandle()->startSystemMove();
    }
}

void CaptionBar::resizeEvent(QResizeEvent*) {
    int right = width() - spacing;
    // The last added, Close, outermost.
    for (auto button = buttons_.crbegin(); button != buttons_.crend(); ++button) {
        right -= buttonSize;
        (*button)->move(right, (height() - buttonSize) / 2);
        right -= spacing;
    }
}

}  // namespace zintu
