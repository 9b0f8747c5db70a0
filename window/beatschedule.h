#pragma once

#include <algorithm>
#include <cassert>

namespace zintu {

// The playback timer's beat: tick n is due n intervals after the start, on a monotonic clock
// counted in whatever unit the toolkit reads it in. Each tick is placed on that one schedule,
// so lateness never adds up, and a tick whose time has passed is skipped, never delivered late
// in a burst.
class BeatSchedule {
public:
    // `interval` must be above zero.
    void start(long long now, long long interval) {
        assert(interval > 0);
        started_ = now;
        interval_ = interval;
        next_ = 1;
    }

    long long due() const { return started_ + next_ * interval_; }

    // Once the tick that was due is delivered at `now`: the next one due after it.
    void advance(long long now) { next_ = std::max(next_ + 1, (now - started_) / interval_ + 1); }

private:
    long long started_ = 0;
    long long interval_ = 1;
    long long next_ = 1;
};

}  // namespace zintu
