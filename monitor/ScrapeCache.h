#pragma once
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "monitor/PrometheusText.h"

class CUnitPool;

// What the exporter answers a scrape with: every unit read in parallel when scraped, at most
// once per minimum interval; a scrape within it gets the figures of the last one. Scrapes that
// come while a read is under way wait for it and share its figures.
class CScrapeCache {
public:
    CScrapeCache(CUnitPool& pool, std::chrono::milliseconds minInterval) : m_pool(pool), m_minInterval(minInterval) {}
    // The exposition text of the current figures.
    std::string Scrape();
    // Told, on the scraping thread, when a unit's read fails after having succeeded (or at the
    // first read) and when it succeeds again: one line for the log, e.g. "3: read failed: why".
    void SetChangeLog(std::function<void(const std::string& line)> log) { m_log = std::move(log); }
    // Reads made so far (for the tests and the benchmark).
    unsigned Reads() const;

private:
    CUnitPool& m_pool;
    std::chrono::milliseconds m_minInterval;
    mutable std::mutex m_mutex;
    bool m_haveFigures = false;
    std::chrono::steady_clock::time_point m_lastRead;
    std::vector<unsigned long long> m_failures;
    std::vector<int> m_up;  // -1 not read yet, else the last read's 0 or 1
    std::function<void(const std::string&)> m_log;
    std::string m_text;
    unsigned m_reads = 0;
};
