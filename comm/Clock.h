#pragma once
#include <chrono>
#include <thread>

// Time as the middleware and the transports see it; tests hand in a clock that jumps.
class IClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~IClock() = default;
    virtual TimePoint Now() const = 0;
    // Used only where nothing can arrive before the time (the in-process transport).
    virtual void SleepUntil(TimePoint t) = 0;
};

class CSystemClock : public IClock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
    void SleepUntil(TimePoint t) override { std::this_thread::sleep_until(t); }
};
