#include "monitor/MonitorScheduler.h"

#include <algorithm>

#include "monitor/UnitPool.h"

void CMonitorScheduler::Start(int intervalMs, Sink sink) {
    Stop();
    m_sink = std::move(sink);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = false;
        m_intervalMs = std::clamp(intervalMs, kMinIntervalMs, kMaxIntervalMs);
    }
    m_thread = std::thread([this] { Run(); });
}

void CMonitorScheduler::SetInterval(int intervalMs) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_intervalMs = std::clamp(intervalMs, kMinIntervalMs, kMaxIntervalMs);
    }
    m_cv.notify_all();
}

int CMonitorScheduler::IntervalMs() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_intervalMs;
}

void CMonitorScheduler::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_cv.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void CMonitorScheduler::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        const auto started = std::chrono::steady_clock::now();
        lock.unlock();
        std::vector<MonitorReading> round = m_pool.ReadAll();
        if (m_sink) m_sink(round);
        lock.lock();
        // The wait is measured from the round's start, so the rounds keep their rhythm; a new
        // interval applies at once.
        for (;;) {
            const auto next = started + std::chrono::milliseconds(m_intervalMs);
            if (m_stop || std::chrono::steady_clock::now() >= next) break;
            m_cv.wait_until(lock, next);
        }
    }
}
