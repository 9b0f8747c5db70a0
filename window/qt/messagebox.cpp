#include "messagebox.h"

#include <QPushButton>

#include "design.h"

namespace zintu {

MessageBox::MessageBox(const QString& text, QWidget* over)
    : QMessageBox(QMessageBox::NoIcon, QString::fromUtf8(design::messageCaption), text,
                  QMessageBox::NoButton, over) {
    // A plain button: the standard OK button would load an icon theme for its icon, which
    // costs more memory than the rest of the box.
    QPushButton* ok = addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    setDefaultButton(ok);
    setEscapeButton(ok);
    setWindowModality(Qt::ApplicationModal);
}

void MessageBox::showEvent(QShowEvent* event) {
    QMessageBox::showEvent(event);
    if (const QWidget* over = parentWidget()) {
        QRect placed = frameGeometry();
        placed.moveCenter(over->frameGeometry().center());
        move(placed.topLeft());
    }
}

}  // namespace zintu
