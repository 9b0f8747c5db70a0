#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <vector>

#include "formwindow.h"
#include "gamewindow.h"
#include "messagebox.h"
#include "pad.h"
#include "qttoolkit.h"
#include "windowdriver.h"

namespace zintu::testing {

namespace {

constexpr int pollMs = 5;
// A point of the form's background, off every pad.
const QPoint offThePads(design::toPixels(design::offPadsPoint.x),
                        design::toPixels(design::offPadsPoint.y));

Qt::MouseButton qtButton(Button button) {
    switch (button) {
        case Button::right:
            return Qt::RightButton;
        case Button::middle:
            return Qt::MiddleButton;
        case Button::left:
            break;
    }
    return Qt::LeftButton;
}

MessageBox* activeBox() {
    return qobject_cast<MessageBox*>(QApplication::activeModalWidget());
}

// Mouse events through the window system, so that Qt does its own grabbing and its own
// double-click detection.
class QtWindowDriver : public WindowDriver {
public:
    Toolkit& toolkit() override { return toolkit_; }

    bool settle() override { return QTest::qWaitForWindowExposed(toolkit_.window()); }

    bool runUntil(const std::function<bool()>& done, int timeoutMs) override {
        return QTest::qWaitFor(done, timeoutMs);
    }

    void startPolling(std::function<void()> poll) override {
        auto& timer = pollers_.emplace_back(std::make_unique<QTimer>());
        QObject::connect(timer.get(), &QTimer::timeout, std::move(poll));
        timer->start(pollMs);
    }

    void press(PadIndex pad, Button button) override {
        QTest::mousePress(screenWindow(), qtButton(button), {}, centreOf(pad));
    }

    void release(PadIndex pad, Button button) override {
        QTest::mouseRelease(screenWindow(), qtButton(button), {}, centreOf(pad));
    }

    void releaseOffThePads(Button button) override {
        QTest::mouseRelease(screenWindow(), qtButton(button), {},
                            form()->mapTo(toolkit_.window(), offThePads));
    }

    void releaseOutsideTheWindow(Button button) override {
        QTest::mouseRelease(screenWindow(), qtButton(button), {}, QPoint(-10, -10));
    }

    void doubleClick(PadIndex pad) override {
        QTest::mouseDClick(screenWindow(), Qt::LeftButton, {}, centreOf(pad));
    }

    void pressAction(PadIndex pad) override {
        QAccessible::queryAccessibleInterface(form()->pad(pad))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
    }

    Colour shownAt(int x, int y) override {
        const QPoint point = form()->mapTo(toolkit_.window(), QPoint(x, y));
        const QColor shown = toolkit_.window()->grab().toImage().pixelColor(point);
        return rgb(shown.red(), shown.green(), shown.blue());
    }

    std::string labelText() override { return form()->score()->text().toStdString(); }

    // Drawn whole: ink inside the label and none on its edge, where a cut caption reaches.
    bool labelShowsWhole() override {
        const QImage image = form()->score()->grab().toImage();
        const QColor background = toQColor(design::formBackColor);
        int ink = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) == background) {
                    continue;
                }
                ++ink;
                if (x == 0 || y == 0 || x == image.width() - 1 || y == image.height() - 1) {
                    return false;
                }
            }
        }
        return ink > 0;
    }

    SeenAccessible accessibleOf(PadIndex pad) override {
        QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(form()->pad(pad));
        QStringList actions;
        if (QAccessibleActionInterface* action = seen->actionInterface()) {
            actions = action->actionNames();
        }
        std::vector<std::string> names;
        for (const QString& name : actions) {
            names.push_back(name.toStdString());
        }
        return {seen->role() == QAccessible::Button ? "button" : "other",
                seen->text(QAccessible::Name).toStdString(), names, seen->state().checked != 0};
    }

    std::optional<SeenBox> openBox() override {
        MessageBox* box = activeBox();
        if (!box) {
            return std::nullopt;
        }
        std::vector<std::string> buttons;
        for (const QAbstractButton* button : box->findChildren<QAbstractButton*>()) {
            buttons.push_back(button->text().toStdString());
        }
        // Transient for the game window: compositors that place boxes by their parent need it.
        const bool owned =
            box->parentWidget() == toolkit_.window() &&
            box->windowHandle()->transientParent() == toolkit_.window()->windowHandle();
        return SeenBox{idOf(box),
                       box->windowTitle().toStdString(),
                       box->text().toStdString(),
                       buttons,
                       owned,
                       box->windowModality() == Qt::ApplicationModal};
    }

    void pressOk() override {
        if (MessageBox* box = activeBox()) {
            box->okButton()->click();
        }
    }

    void requestClose() override { toolkit_.window()->close(); }

    bool windowShown() override { return toolkit_.window()->isVisible(); }

    std::string windowCaption() override { return toolkit_.window()->windowTitle().toStdString(); }

    std::pair<int, int> clientSize() override {
        const GameWindow* window = toolkit_.window();
        return {window->width(), window->height() - window->formOrigin().y()};
    }

    bool fixedSize() override {
        const GameWindow* window = toolkit_.window();
        return window->minimumSize() == window->maximumSize() &&
               !(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    }

    std::uintptr_t windowIdentity() override {
        return reinterpret_cast<std::uintptr_t>(toolkit_.window());
    }

    int formsInWindow() override {
        return static_cast<int>(
            toolkit_.window()->findChildren<FormWindow*>(Qt::FindDirectChildrenOnly).size());
    }

    int padsInWindow() override {
        return static_cast<int>(toolkit_.window()->findChildren<Pad*>().size());
    }

private:
    FormWindow* form() const { return toolkit_.form(); }

    int idOf(MessageBox* box) {
        constexpr char property[] = "contractId";
        if (!box->property(property).isValid()) {
            box->setProperty(property, ++boxesSeen_);
        }
        return box->property(property).toInt();
    }

    QWindow* screenWindow() const { return toolkit_.window()->windowHandle(); }

    // In the coordinates of the top-level window, which is where the window system delivers
    // input.
    QPoint centreOf(PadIndex index) const {
        const Pad* pad = form()->pad(index);
        return pad->mapTo(toolkit_.window(), pad->rect().center());
    }

    QtToolkit toolkit_;
    std::vector<std::unique_ptr<QTimer>> pollers_;
    int boxesSeen_ = 0;
};

}  // namespace

std::unique_ptr<WindowDriver> makeWindowDriver() {
    return std::make_unique<QtWindowDriver>();
}

}  // namespace zintu::testing
