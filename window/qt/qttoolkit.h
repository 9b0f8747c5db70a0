#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>
#include <vector>

#include "countedevents.h"
#include "formwindow.h"
#include "toolkit.h"

namespace zintu {

class GameWindow;

// The toolkit over Qt Widgets: one top-level window for the whole run, with a form built inside
// it at every load. Needs a QApplication.
class QtToolkit : public QObject, public Toolkit {
    Q_OBJECT

public:
    QtToolkit();
    ~QtToolkit() override;

    void open(ToolkitEvents& events) override;
    ToolkitForm& buildForm() override;
    void destroyLater(ToolkitForm& form) override;
    void setWindowShown(bool shown) override;
    void runMessageBox(const std::string& text, bool overWindow) override;
    void runEventLoop() override;
    void quit(int status) override;

    // The window on the screen; null before open.
    GameWindow* window() const { return window_.get(); }
    // The form built last, until it is destroyed.
    FormWindow* form() const { return latest_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void destroyUnloadedOnceNoHandlerRuns();
    void destroyUnloaded();

    // Every report of the controls, on its way to the host.
    std::optional<CountedEvents> reports_;
    std::unique_ptr<GameWindow> window_;
    QPointer<FormWindow> latest_;
    std::vector<QPointer<FormWindow>> unloaded_;
};

}  // namespace zintu
