#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "monitor/MonitorReading.h"

class CUnitPool;

// Reads every unit of a pool once per interval on a thread of its own and hands each round
// over. A round that takes longer than the interval is followed by the next at once; rounds
// never overlap.
class CMonitorScheduler {
public:
    static constexpr int kMinIntervalMs = 500;
    static constexpr int kMaxIntervalMs = 60000;
    // Called on the scheduler's thread after each round.
    using Sink = std::function<void(const std::vector<MonitorReading>& round)>;

    explicit CMonitorScheduler(CUnitPool& pool) : m_pool(pool) {}
    ~CMonitorScheduler() { Stop(); }

    // Starts the rounds, the first at once.
    void Start(int intervalMs, Sink sink);
    // Bounded to 0.5 s - 60 s; the next round waits the new interval from the last one's start.
    void SetInterval(int intervalMs);
    int IntervalMs() const;
    // Returns once the round under way has ended.
    void Stop();
    bool Running() const { return m_thread.joinable(); }

private:
    void Run();

    CUnitPool& m_pool;
    Sink m_sink;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_intervalMs = 1000;
    bool m_stop = false;
};
