#include "accessibility.h"

#include <QAccessibleWidget>
#include <QTimer>

#include "gamewindow.h"
#include "pad.h"

namespace zintu {

namespace {

class PadAccessible : public QAccessibleWidget {
public:
    explicit PadAccessible(Pad* pad) : QAccessibleWidget(pad, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = pad()->lit();
        return state;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& actionName) override {
        if (actionName == pressAction()) {
            // Deferred: the assistive technology waits for this call to return, and the press
            // may open a modal message box.
            QTimer::singleShot(0, pad(), &Pad::press);
        }
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    Pad* pad() const { return static_cast<Pad*>(widget()); }
};

QAccessibleInterface* gameAccessible(const QString&, QObject* object) {
    if (auto* pad = qobject_cast<Pad*>(object)) {
        return new PadAccessible(pad);
    }
    if (auto* window = qobject_cast<GameWindow*>(object)) {
        return new QAccessibleWidget(window, QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void installAccessibility() {
    static const bool installed = (QAccessible::installFactory(gameAccessible), true);
    Q_UNUSED(installed);
}

}  // namespace zintu
