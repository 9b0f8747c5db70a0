#include "lightuptimer.h"

#include <timeapi.h>

#include <algorithm>

namespace zintu {

namespace {

constexpr UINT finestResolutionMs = 1;
// SetTimer counts whole milliseconds and may fire up to one early on the performance counter's
// finer scale; a tick that early is on time.
constexpr long long earlinessToleratedMs = 1;

long long performanceFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

}  // namespace

LightUpTimer::LightUpTimer(HWND owner, UINT_PTR id, int intervalMs)
    : owner_(owner), id_(id), countsPerSecond_(performanceFrequency()) {
    intervalCounts_ = countsPerSecond_ * intervalMs / 1000;
}

LightUpTimer::~LightUpTimer() {
    stop();
}

void LightUpTimer::start() {
    if (active_) {
        return;
    }
    active_ = true;
    timeBeginPeriod(finestResolutionMs);
    started_ = now();
    armFor(1);
}

void LightUpTimer::stop() {
    if (!active_) {
        return;
    }
    active_ = false;
    KillTimer(owner_, id_);
    timeEndPeriod(finestResolutionMs);
}

bool LightUpTimer::onTimerMessage() {
    if (!active_) {
        return false;
    }
    const long long at = now();
    const long long tolerance = countsPerSecond_ * earlinessToleratedMs / 1000;
    if (at + tolerance < dueTime(nextTick_)) {
        armFor(nextTick_);
        return false;
    }
    const long long elapsedTicks = (at - started_) / intervalCounts_;
    armFor(std::max(nextTick_ + 1, elapsedTicks + 1));
    return true;
}

long long LightUpTimer::now() const {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

long long LightUpTimer::dueTime(long long tick) const {
    return started_ + tick * intervalCounts_;
}

void LightUpTimer::armFor(long long tick) {
    nextTick_ = tick;
    const long long remaining = std::max(0LL, dueTime(tick) - now());
    // Rounded up: a tick that comes early only waits again.
    const auto ms = static_cast<UINT>((remaining * 1000 + countsPerSecond_ - 1) / countsPerSecond_);
    SetTimer(owner_, id_, std::max<UINT>(ms, USER_TIMER_MINIMUM), nullptr);
}

}  // namespace zintu
