#pragma once

#include <windows.h>

namespace zintu {

// The playback timer LightUp: one tick every interval, the first one interval after it starts.
//
// A plain SetTimer period is rounded up to the system's 15.6 ms tick on Windows, about 312 ms a
// phase, and each late tick delays the next. Here every tick has its own due time on one
// schedule from the start, read from the performance counter, and the timer is re-armed for
// the next due time at each tick, so lateness never adds up; the system timer resolution is
// raised to 1 ms only while the timer runs, so the player's turn costs nothing. A tick that
// falls due while an earlier one is still being handled is skipped, never delivered late in a
// burst.
class LightUpTimer {
public:
    LightUpTimer(HWND owner, UINT_PTR id, int intervalMs);
    ~LightUpTimer();
    LightUpTimer(const LightUpTimer&) = delete;
    LightUpTimer& operator=(const LightUpTimer&) = delete;

    void start();
    void stop();
    bool active() const { return active_; }

    // For the owner's WM_TIMER with this timer's id: re-arms, and says whether a tick is due.
    bool onTimerMessage();

private:
    long long now() const;
    long long dueTime(long long tick) const;
    void armFor(long long tick);

    HWND owner_;
    UINT_PTR id_;
    long long intervalCounts_;
    long long countsPerSecond_;
    bool active_ = false;
    long long started_ = 0;
    long long nextTick_ = 0;
};

}  // namespace zintu
