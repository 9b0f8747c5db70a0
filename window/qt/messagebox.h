#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace zintu {

// The game's message: application-modal, captioned "Zintu", the text and one OK button,
// transient for the game window and centred over it when there is one. Neither minimised nor
// maximised, so it offers neither.
class MessageBox : public QDialog {
    Q_OBJECT

public:
    MessageBox(const QString& text, QWidget* over);

    QString text() const;
    QPushButton* okButton() const { return ok_; }

protected:
    // A box settles its size only as it is shown, after Qt has placed it for the size it had
    // before; centre it again once the size is final. Compositors that place windows
    // themselves ignore this, and centre a transient box by its parent.
    void showEvent(QShowEvent* event) override;
    // A click on the game window activates it, although it takes no input while the box is
    // open: the box takes the focus back, so that Return, Space and Escape still answer it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* text_;
    QPushButton* ok_;
};

}  // namespace zintu
