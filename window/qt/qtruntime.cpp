#include "qtruntime.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include "accessibility.h"
#include "design.h"
#include "formwindow.h"
#include "gamewindow.h"
#include "messagebox.h"
#include "pad.h"

namespace zintu {

namespace {

constexpr int exitStatus = 0;

}  // namespace

QtRuntime::QtRuntime() = default;

QtRuntime::~QtRuntime() = default;

void QtRuntime::start(FormEvents& game) {
    game_ = &game;
    gate_.emplace(game);
    // The program ends when the runtime says so, never because a window went away.
    QApplication::setQuitOnLastWindowClosed(false);
    installAccessibility();
    window_ = std::make_unique<GameWindow>();
    window_->installEventFilter(this);
    showForm();
}

int QtRuntime::run(FormEvents& game) {
    start(game);
    if (ended()) {
        return exitStatus;
    }
    const int status = QApplication::exec();
    // The level that ends the game unloads a form just before the end; delete it too.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}

void QtRuntime::randomize() {
    random_.reseedFromClock();
}

float QtRuntime::rnd() {
    return toSingleBelowOne(random_.nextUnit());
}

Colour QtRuntime::backColor(PadIndex pad) const {
    return form_->pad(pad)->backColor();
}

void QtRuntime::setBackColor(PadIndex pad, Colour colour) {
    form_->pad(pad)->setBackColor(colour);
}

void QtRuntime::setPadEnabled(PadIndex pad, bool enabled) {
    form_->pad(pad)->setEnabled(enabled);
}

void QtRuntime::setPadVisible(PadIndex pad, bool visible) {
    form_->pad(pad)->setVisible(visible);
}

void QtRuntime::movePad(PadIndex pad, int left, int top) {
    form_->pad(pad)->moveTo(left, top);
}

void QtRuntime::loadPad(PadIndex pad) {
    form_->loadPad(pad);
    connectControls(pad);
}

void QtRuntime::setScoreCaption(const std::string& text) {
    form_->score()->setText(QString::fromStdString(text));
}

void QtRuntime::setLightUpEnabled(bool enabled) {
    QTimer* timer = form_->lightUp();
    if (enabled && !timer->isActive()) {
        timer->start();
    } else if (!enabled) {
        timer->stop();
    }
}

void QtRuntime::msgBox(const std::string& text) {
    QWidget* over = nullptr;
    if (formShown()) {
        over = window_.get();
        // The box's own loop would paint the pads only once the box is built: show them as
        // they stand first, so that the last pad of a playback goes dark on the beat.
        over->repaint();
    } else {
        // A box from a load that follows an unload: the form is not on the screen, so neither
        // is its window.
        window_->hide();
    }
    MessageBox box(QString::fromStdString(text), over);
    const EventGate::MessageScope open(*gate_);
    box.exec();
}

void QtRuntime::unloadForm() {
    if (!form_) {
        return;
    }
    form_->lightUp()->stop();
    disconnectControls();
    form_->hide();
    // Deferred: the handler of one of this form's pads is still running.
    form_.release()->deleteLater();
}

void QtRuntime::showForm() {
    if (!form_) {
        loadForm();
        game_->Form_Load();
        if (ended()) {
            return;
        }
    }
    form_->show();
    window_->show();
}

void QtRuntime::end() {
    gate_->end();
    if (form_) {
        form_->lightUp()->stop();
    }
    window_->hide();
    QApplication::exit(exitStatus);
}

bool QtRuntime::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == window_.get()) {
        if (gate_->requestClose()) {
            end();
        } else {
            event->ignore();
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void QtRuntime::loadForm() {
    form_ = std::make_unique<FormWindow>(window_.get());
    form_->move(window_->formOrigin());
    connect(form_->lightUp(), &QTimer::timeout, this, [this] { gate_->tick(); });
    connectControls(0);
}

bool QtRuntime::formShown() const {
    return form_ && form_->isVisible();
}

void QtRuntime::disconnectControls() {
    for (const QObject* control : form_->findChildren<QObject*>()) {
        disconnect(control, nullptr, this, nullptr);
    }
}

void QtRuntime::connectControls(PadIndex index) {
    Pad* pad = form_->pad(index);
    connect(pad, &Pad::mouseDown, this, [this, index] { gate_->mouseDown(index); });
    connect(pad, &Pad::mouseUp, this, [this, index] { gate_->mouseUp(index); });
    connect(pad, &Pad::clicked, this, [this, index] { gate_->click(index); });
}

}  // namespace zintu
