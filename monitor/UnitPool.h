#pragma once
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "monitor/MonitorReading.h"
#include "monitor/MonitorTarget.h"

class CUnitReader;
class IDatagramPeer;

// The readers of every watched unit, each on a thread of its own, so that one round reads all
// units side by side: a round takes as long as its slowest unit, not the sum of them. Each unit
// has at most one read under way, and a paused unit is not read at all.
class CUnitPool {
public:
    CUnitPool(std::vector<MonitorTarget> targets, IDatagramPeer* simulated = nullptr, bool wholeHistory = true);
    ~CUnitPool();
    CUnitPool(const CUnitPool&) = delete;
    CUnitPool& operator=(const CUnitPool&) = delete;

    size_t Size() const { return m_workers.size(); }
    const MonitorTarget& Target(size_t i) const;

    // One round: every unit read once, in parallel; the readings in the targets' order. A paused
    // unit's reading says so. Rounds run one at a time.
    std::vector<MonitorReading> ReadAll();

    // Stops reading unit i (its next rounds skip it) and returns once a read of it already under
    // way has ended, so the caller may then use the PLC itself; Resume lets the rounds read it again.
    void Pause(size_t i);
    void Resume(size_t i);
    bool Paused(size_t i) const;

private:
    struct Worker {
        std::unique_ptr<CUnitReader> reader;
        std::thread thread;
        mutable std::mutex mutex;
        std::condition_variable cv;
        bool queued = false;   // a read was asked for
        bool reading = false;  // the read is under way
        bool done = false;     // result holds the answer to the last request
        int pauses = 0;
        bool stop = false;
        MonitorReading result;
    };
    void Run(Worker& w);

    std::vector<std::unique_ptr<Worker>> m_workers;
    std::mutex m_roundMutex;
};
