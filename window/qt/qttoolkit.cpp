#include "qttoolkit.h"

#include <QApplication>
#include <QCloseEvent>
#include <utility>

#include "accessibility.h"
#include "formwindow.h"
#include "gamewindow.h"
#include "messagebox.h"

namespace zintu {

QtToolkit::QtToolkit() = default;

QtToolkit::~QtToolkit() = default;

void QtToolkit::open(ToolkitEvents& events) {
    reports_.emplace(events, [this] { destroyUnloadedOnceNoHandlerRuns(); });
    // The program ends when the host says so, never because a window went away.
    QApplication::setQuitOnLastWindowClosed(false);
    installAccessibility();
    window_ = std::make_unique<GameWindow>();
    window_->installEventFilter(this);
}

// Owned by the game window, its Qt parent, alone.
ToolkitForm& QtToolkit::buildForm() {
    auto* form = new FormWindow(window_.get(), *reports_);
    form->move(window_->formOrigin());
    latest_ = form;
    return *form;
}

// Not through deleteLater: when no loop runs as the form is unloaded, Qt 6.8 deletes it in the
// loop of the box that the same handler opens next.
void QtToolkit::destroyLater(ToolkitForm& form) {
    unloaded_.emplace_back(&static_cast<FormWindow&>(form));
    destroyUnloadedOnceNoHandlerRuns();
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
    destroyUnloaded();
}

void QtToolkit::quit(int status) {
    QApplication::exit(status);
}

bool QtToolkit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == window_.get()) {
        // Whether the window goes is the host's to say: it hides it when the program ends.
        if (!reports_->closeRequested()) {
            event->ignore();
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// Queued, not now: the handler that just returned is still in its pad's own event.
void QtToolkit::destroyUnloadedOnceNoHandlerRuns() {
    if (!reports_->handling() && !unloaded_.empty()) {
        QMetaObject::invokeMethod(this, &QtToolkit::destroyUnloaded, Qt::QueuedConnection);
    }
}

// A handler that began since the call was queued queues it again as it returns.
void QtToolkit::destroyUnloaded() {
    if (reports_->handling()) {
        return;
    }
    for (const QPointer<FormWindow>& form : std::exchange(unloaded_, {})) {
        delete form.data();
    }
}

}  // namespace zintu
