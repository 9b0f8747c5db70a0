#pragma once

#include "runtime.h"

namespace zintu {

// Passes the runtime's events into the game, except while a message box is open or after the
// program has ended: such events are dropped, never queued for later. A toolkit's modal dialog
// may go on dispatching timer events in its nested loop, so this is not left to the toolkit.
class EventGate {
public:
    explicit EventGate(FormEvents& game) : game_(game) {}

    void tick();
    void mouseDown(PadIndex pad);
    void mouseUp(PadIndex pad);
    void click(PadIndex pad);

    // The user asks to close the window. Refused while a message box is open, as an
    // application-modal box refuses it; otherwise the program ends. Returns whether it ended.
    bool requestClose();
    void end() { ended_ = true; }

    bool ended() const { return ended_; }
    bool messageOpen() const { return openMessages_ > 0; }
    bool accepting() const { return !ended_ && !messageOpen(); }

    // Held for as long as a message box is open.
    class MessageScope {
    public:
        explicit MessageScope(EventGate& gate) : gate_(gate) { ++gate_.openMessages_; }
        ~MessageScope() { --gate_.openMessages_; }
        MessageScope(const MessageScope&) = delete;
        MessageScope& operator=(const MessageScope&) = delete;

    private:
        EventGate& gate_;
    };

private:
    FormEvents& game_;
    int openMessages_ = 0;
    bool ended_ = false;
};

}  // namespace zintu
