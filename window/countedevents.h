#pragma once

#include <functional>
#include <utility>

#include "toolkit.h"

namespace zintu {

// Passes a toolkit's reports on to the host, counting the handlers under way. A toolkit that
// destroys an unloaded form only while none is running never destroys it under its own pad,
// which may be raising the event that unloaded it, nor in the loop of a box that handler opens.
class CountedEvents final : public ToolkitEvents {
public:
    // `lastReturned` runs each time the last handler under way returns.
    CountedEvents(ToolkitEvents& host, std::function<void()> lastReturned)
        : host_(host), lastReturned_(std::move(lastReturned)) {}

    bool handling() const { return running_ > 0; }

    void tick(const ToolkitForm& form) override {
        const Handling handling(*this);
        host_.tick(form);
    }
    void padDown(const ToolkitForm& form, PadIndex pad, MouseButton button) override {
        const Handling handling(*this);
        host_.padDown(form, pad, button);
    }
    void padUp(const ToolkitForm& form, PadIndex pad, MouseButton button, bool overPad) override {
        const Handling handling(*this);
        host_.padUp(form, pad, button, overPad);
    }
    void padPressed(const ToolkitForm& form, PadIndex pad) override {
        const Handling handling(*this);
        host_.padPressed(form, pad);
    }
    bool closeRequested() override {
        const Handling handling(*this);
        return host_.closeRequested();
    }

private:
    class Handling {
    public:
        explicit Handling(CountedEvents& events) : events_(events) { ++events_.running_; }
        ~Handling() {
            if (--events_.running_ == 0) {
                events_.lastReturned_();
            }
        }
        Handling(const Handling&) = delete;
        Handling& operator=(const Handling&) = delete;

    private:
        CountedEvents& events_;
    };

    ToolkitEvents& host_;
    std::function<void()> lastReturned_;
    int running_ = 0;
};

}  // namespace zintu
