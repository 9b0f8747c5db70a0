#include "qttoolkit.h"

#include <QApplication>
#include <QCloseEvent>

#include "accessibility.h"
#include "formwindow.h"
#include "gamewindow.h"
#include "messagebox.h"

namespace zintu {

QtToolkit::QtToolkit() = default;

QtToolkit::~QtToolkit() = default;

void QtToolkit::open(ToolkitEvents& events) {
    events_ = &events;
    // The program ends when the host says so, never because a window went away.
    QApplication::setQuitOnLastWindowClosed(false);
    installAccessibility();
    window_ = std::make_unique<GameWindow>();
    window_->installEventFilter(this);
}

// Owned by the game window, its Qt parent, alone.
ToolkitForm& QtToolkit::buildForm() {
    auto* form = new FormWindow(window_.get(), *events_);
    form->move(window_->formOrigin());
    latest_ = form;
    return *form;
}

// Qt deletes it once control is back in the loop that was running here, never in a box's loop
// started after: so never under the handler that unloaded it.
void QtToolkit::destroyLater(ToolkitForm& form) {
    static_cast<FormWindow&>(form).deleteLater();
}

void QtToolkit::setWindowShown(bool shown) {
    window_->setVisible(shown);
}

void QtToolkit::runMessageBox(const std::string& text, bool overWindow) {
    QWidget* over = nullptr;
    if (overWindow) {
        over = window_.get();
        // The box's own loop would paint the pads only once the box is built: show them as
        // they stand first, so that the last pad of a playback goes dark on the beat.
        over->repaint();
    }
    MessageBox box(QString::fromStdString(text), over);
    box.exec();
}

void QtToolkit::runEventLoop() {
    QApplication::exec();
    // The level that ends the game unloads a form just before the end; delete it too.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void QtToolkit::quit(int status) {
    QApplication::exit(status);
}

bool QtToolkit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == window_.get()) {
        // Whether the window goes is the host's to say: it hides it when the program ends.
        if (!events_->closeRequested()) {
            event->ignore();
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace zintu
