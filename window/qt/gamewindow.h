#pragma once

#include <QWidget>

namespace zintu {

class CaptionBar;

// The one top-level window the player sees, for the whole run. Every load of the form builds a
// new form inside it, so a level-up never replaces the window on the screen: its place, size,
// stacking, workspace and focus, and on Wayland its surface, stay as the player left them.
class GameWindow : public QWidget {
    Q_OBJECT

public:
    GameWindow();

    // Where a form's top-left corner goes: below the caption bar where the window draws its own.
    QPoint formOrigin() const;

    // Whether the window has been on the screen yet: a slow start, or a busy compositor, can
    // keep it off for longer than a pad is lit.
    bool hasReachedScreen() const { return reachedScreen_; }

signals:
    void screenReached();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CaptionBar* captionBar_ = nullptr;
    bool reachedScreen_ = false;
};

}  // namespace zintu
