#include "messagebox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

#include "captionbar.h"
#include "design.h"

namespace zintu {

namespace {

// Room on each side of a centred caption for what a title bar puts beside it: up to three
// buttons and the window's icon. Openbox, for one, draws minimise and maximise on every window
// even where they do nothing, and a box only as wide as "GO!" loses its caption to them.
constexpr int titleBarSideRoom = 90;

int captionRoom(const QString& caption, QFont font) {
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(caption) + 2 * titleBarSideRoom;
}

}  // namespace

MessageBox::MessageBox(const QString& text, QWidget* over)
    : QDialog(over), text_(new QLabel(text)), ok_(new QPushButton(QStringLiteral("OK"))) {
    setWindowTitle(QString::fromUtf8(design::messageCaption));
    setWindowModality(Qt::ApplicationModal);
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    auto* layout = new QVBoxLayout(this);
    auto* content = new QVBoxLayout;
    if (CaptionBar::needed()) {
        flags = Qt::Dialog | Qt::FramelessWindowHint;
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new CaptionBar(CaptionBar::Buttons::close, this));
        content->setContentsMargins(style()->pixelMetric(QStyle::PM_LayoutLeftMargin), 0,
                                    style()->pixelMetric(QStyle::PM_LayoutRightMargin),
                                    style()->pixelMetric(QStyle::PM_LayoutBottomMargin));
    }
    setWindowFlags(flags);
    layout->addLayout(content);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    text_->setTextFormat(Qt::PlainText);
    text_->setAlignment(Qt::AlignCenter);
    text_->setMinimumWidth(captionRoom(windowTitle(), font()));
    content->addWidget(text_);
    // A plain button: the standard OK button would load an icon theme for its icon, which
    // costs more memory than the rest of the box.
    ok_->setDefault(true);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(ok_, QDialogButtonBox::AcceptRole);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    content->addWidget(buttons);
    answerKeysFromAnyWindow();
}

void MessageBox::answerKeysFromAnyWindow() {
    // Qt drops every key sent to a window that a modal box blocks, but an application-wide
    // shortcut is matched before that: it reaches the box from the blocked game window too.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::ApplicationShortcut);
        connect(shortcut, &QShortcut::activated, ok_, &QPushButton::click);
    }
}

QString MessageBox::text() const {
    return text_->text();
}

void MessageBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QWidget* over = parentWidget()) {
        // Centred by the windows' insides: the box's frame is not known yet, and the window
        // manager places the box by its inside.
        QRect placed = geometry();
        placed.moveCenter(over->geometry().center());
        const QPoint frameOffset = geometry().topLeft() - pos();
        move(placed.topLeft() - frameOffset);
    }
}

}  // namespace zintu
