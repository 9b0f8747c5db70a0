#pragma once

#include <QWidget>

class QToolButton;

namespace zintu {

// A caption drawn by the window itself, for Wayland compositors that leave the decoration to the
// program, as weston and GNOME's do: the decoration Qt then draws offers minimise and maximise
// on every window, a message box included, and crowds a short box's caption out of its title
// bar. Where the compositor decorates windows itself, as KDE's does, its own frame is used.
class CaptionBar : public QWidget {
    Q_OBJECT

public:
    enum class Buttons { close, minimiseAndClose };

    // Whether windows on this desktop need one.
    static bool needed();

    // For the top of `window`, which must be frameless; its owner places it.
    CaptionBar(Buttons buttons, QWidget* window);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Dragging the bar moves the window, as the compositor's own title bars do.
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* addButton(const QString& name, const QPixmap& glyph);

    QList<QToolButton*> buttons_;
};

}  // namespace zintu
