#include "monitor/UnitPool.h"

#include "monitor/UnitReader.h"

CUnitPool::CUnitPool(std::vector<MonitorTarget> targets, IDatagramPeer* simulated, bool wholeHistory) {
    for (auto& t : targets) {
        auto w = std::make_unique<Worker>();
        w->reader = std::make_unique<CUnitReader>(std::move(t), simulated);
        w->reader->SetWholeHistory(wholeHistory);
        m_workers.push_back(std::move(w));
    }
    for (auto& w : m_workers) {
        Worker* worker = w.get();
        worker->thread = std::thread([this, worker] { Run(*worker); });
    }
}

CUnitPool::~CUnitPool() {
    for (auto& w : m_workers) {
        {
            std::lock_guard<std::mutex> lock(w->mutex);
            w->stop = true;
        }
        w->cv.notify_all();
    }
    for (auto& w : m_workers)
        if (w->thread.joinable()) w->thread.join();
}

const MonitorTarget& CUnitPool::Target(size_t i) const { return m_workers.at(i)->reader->Target(); }

void CUnitPool::Run(Worker& w) {
    std::unique_lock<std::mutex> lock(w.mutex);
    for (;;) {
        w.cv.wait(lock, [&w] { return w.stop || w.queued; });
        if (w.stop) return;
        w.queued = false;
        if (w.pauses > 0) {
            w.result = MonitorReading();
            w.result.paused = true;
            w.result.time = std::chrono::system_clock::now();
        } else {
            w.reading = true;
            lock.unlock();
            MonitorReading reading = w.reader->Read();
            lock.lock();
            w.reading = false;
            w.result = std::move(reading);
        }
        w.done = true;
        w.cv.notify_all();
    }
}

std::vector<MonitorReading> CUnitPool::ReadAll() {
    std::lock_guard<std::mutex> round(m_roundMutex);
    for (auto& w : m_workers) {
        std::lock_guard<std::mutex> lock(w->mutex);
        w->done = false;
        w->queued = true;
        w->cv.notify_all();
    }
    std::vector<MonitorReading> readings;
    readings.reserve(m_workers.size());
    for (auto& w : m_workers) {
        std::unique_lock<std::mutex> lock(w->mutex);
        w->cv.wait(lock, [&w] { return w->done; });
        readings.push_back(w->result);
    }
    return readings;
}

void CUnitPool::Pause(size_t i) {
    Worker& w = *m_workers.at(i);
    std::unique_lock<std::mutex> lock(w.mutex);
    ++w.pauses;
    w.cv.wait(lock, [&w] { return !w.reading; });
}

void CUnitPool::Resume(size_t i) {
    Worker& w = *m_workers.at(i);
    std::lock_guard<std::mutex> lock(w.mutex);
    if (w.pauses > 0) --w.pauses;
}

bool CUnitPool::Paused(size_t i) const {
    const Worker& w = *m_workers.at(i);
    std::lock_guard<std::mutex> lock(w.mutex);
    return w.pauses > 0;
}
