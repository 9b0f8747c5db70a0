#pragma once

#include <windows.h>

#include <functional>

#include "beatschedule.h"

namespace zintu {

// The playback timer LightUp: one tick every interval, the first one interval after it starts,
// handed to `onTick` on the window thread.
//
// A plain SetTimer period is rounded up to the system's 15.6 ms tick on Windows, about 312 ms a
// phase, and each late tick delays the next. Here a high-resolution waitable timer (Windows 10
// 1803 and later; a plain one before) waits for each due time on one schedule from the start,
// read from the performance counter, so lateness never adds up, and the system's timer
// resolution is left alone. The timer queues the tick to the window thread, which takes it at
// its next alertable wait, the message loop's: no thread of its own, and between rounds nothing
// wakes. Each tick arms the next, so there is never more than one waiting.
class LightUpTimer {
public:
    LightUpTimer(std::function<void()> onTick, int intervalMs);
    ~LightUpTimer();
    LightUpTimer(const LightUpTimer&) = delete;
    LightUpTimer& operator=(const LightUpTimer&) = delete;

    void start();
    void stop();

    // Windows moves a window, and shows its menu, in loops of its own that wait unalertably:
    // these let the ticks due meanwhile in.
    static void takeDueTicks();

private:
    static void CALLBACK due(void* timer, DWORD, DWORD);
    void arm();
    long long now() const;

    std::function<void()> onTick_;
    long long countsPerSecond_;
    long long intervalCounts_;
    HANDLE waitable_;
    bool active_ = false;
    BeatSchedule beat_;
};

}  // namespace zintu
