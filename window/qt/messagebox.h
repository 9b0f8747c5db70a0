#pragma once

#include <QMessageBox>

namespace zintu {

// The game's message: application-modal, captioned "Zintu", the text and one OK button, and
// centred over the game window when there is one.
class MessageBox : public QMessageBox {
    Q_OBJECT

public:
    MessageBox(const QString& text, QWidget* over);

protected:
    // QMessageBox settles its size only as it is shown, after Qt has placed it for the size it
    // had before; centre it again once the size is final.
    void showEvent(QShowEvent* event) override;
};

}  // namespace zintu
