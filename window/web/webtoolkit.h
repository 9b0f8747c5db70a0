#pragma once

#include <functional>
#include <map>
#include <string>

#include "beatschedule.h"
#include "design.h"
#include "formshelf.h"
#include "toolkit.h"
#include "webform.h"

namespace zintu {

namespace page {
struct Event;
}

// The toolkit over a web page's DOM. The page only queues its input; this one loop takes it,
// and the timers' beats, whenever it waits, and a box runs the same loop until it is dismissed:
// a single stack, as on the desktop, which the page suspends while it waits.
class WebToolkit : public Toolkit {
public:
    WebToolkit();
    ~WebToolkit() override;

    void open(ToolkitEvents& events) override;
    ToolkitForm& buildForm() override;
    void destroyLater(ToolkitForm& form) override;
    void setWindowShown(bool shown) override;
    void runMessageBox(const std::string& text, bool overWindow) override;
    void runEventLoop() override;
    void quit(int status) override;

    // Runs the page's input and the timers until `done` holds, or for `timeoutMs`; returns
    // whether `done` held.
    bool runUntil(const std::function<bool()>& done, double timeoutMs);

    // A timer beating every `intervalMs` from now, in every loop, a box's too, until it is
    // stopped.
    int startTimer(int intervalMs, std::function<void()> onBeat);
    void stopTimer(int timer);

    // The screen's resolution under the page's zoom, which the forms are laid out at.
    int dpi() const { return dpi_; }

private:
    struct Timer {
        BeatSchedule beat;
        std::function<void()> onBeat;
    };

    void takeInput();
    void deliver(const page::Event& event);
    void takeDueBeats();
    void rescale();
    double nextDue() const;

    ToolkitEvents* events_ = nullptr;
    std::string labelFont_;
    std::map<int, Timer> timers_;
    int nextTimer_ = 0;
    int loops_ = 0;
    int dpi_ = design::designDpi;
    // Declared last, so destroyed first: a form stops its timer as it goes.
    FormShelf<WebForm> forms_;
    bool boxOpen_ = false;
    bool quitting_ = false;
};

}  // namespace zintu
