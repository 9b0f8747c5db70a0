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

private:
    CaptionBar* captionBar_ = nullptr;
};

}  // namespace zintu
