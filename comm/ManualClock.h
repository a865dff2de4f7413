#pragma once
#include <atomic>

#include "comm/Clock.h"

// A clock that stands still until something sleeps on it; sleeping moves it forward at once.
class CManualClock : public IClock {
public:
    TimePoint Now() const override { return TimePoint(std::chrono::nanoseconds(m_now.load())); }
    void SleepUntil(TimePoint t) override {
        long long target = std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
        long long cur = m_now.load();
        while (cur < target && !m_now.compare_exchange_weak(cur, target)) {
        }
    }
    void Advance(std::chrono::milliseconds ms) { m_now += std::chrono::nanoseconds(ms).count(); }

private:
    std::atomic<long long> m_now{1000000000LL};
};
