#include "lightuptimer.h"

#include <algorithm>
#include <utility>

namespace zintu {

namespace {

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

constexpr long long hundredNanosecondsPerSecond = 10'000'000;

long long performanceFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

HANDLE createWaitableTimer() {
    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                          TIMER_ALL_ACCESS);
    return timer ? timer : CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
}

}  // namespace

LightUpTimer::LightUpTimer(std::function<void()> onTick, int intervalMs)
    : onTick_(std::move(onTick)),
      countsPerSecond_(performanceFrequency()),
      intervalCounts_(countsPerSecond_ * intervalMs / 1000),
      waitable_(createWaitableTimer()) {}

LightUpTimer::~LightUpTimer() {
    stop();
    CloseHandle(waitable_);
}

void LightUpTimer::start() {
    if (active_) {
        return;
    }
    active_ = true;
    beat_.start(now(), intervalCounts_);
    arm();
}

void LightUpTimer::stop() {
    if (!active_) {
        return;
    }
    active_ = false;
    // Also takes back a tick already queued and not yet taken.
    CancelWaitableTimer(waitable_);
}

void LightUpTimer::takeDueTicks() {
    SleepEx(0, TRUE);
}

void CALLBACK LightUpTimer::due(void* timer, DWORD, DWORD) {
    auto& self = *static_cast<LightUpTimer*>(timer);
    if (!self.active_) {
        return;
    }
    self.beat_.advance(self.now());
    self.arm();
    self.onTick_();
}

void LightUpTimer::arm() {
    const long long remaining = std::max(0LL, beat_.due() - now());
    LARGE_INTEGER dueTime;
    // Negative: relative to now, so that a change of the clock's date moves nothing.
    dueTime.QuadPart = -(remaining * hundredNanosecondsPerSecond / countsPerSecond_);
    SetWaitableTimer(waitable_, &dueTime, 0, due, this, FALSE);
}

long long LightUpTimer::now() const {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

}  // namespace zintu
