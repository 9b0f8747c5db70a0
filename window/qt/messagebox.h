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

private:
    // A click on the game window can give it the keyboard, although it takes no input while
    // the box is open, and a compositor may refuse the box the focus back (GNOME Shell 43 does,
    // on a busy machine). So the box takes its keys from the game window too, where Qt offers
    // them to shortcuts before dropping them (Qt 6.4; Qt 6.8 keeps the keyboard on the box).
    void answerKeysFromAnyWindow();

    QLabel* text_;
    QPushButton* ok_;
};

}  // namespace zintu
