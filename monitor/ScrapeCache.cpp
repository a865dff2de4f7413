#include "monitor/ScrapeCache.h"

#include "monitor/UnitPool.h"

std::string CScrapeCache::Scrape() {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    if (m_haveFigures && now - m_lastRead < m_minInterval) return m_text;
    std::vector<MonitorReading> round = m_pool.ReadAll();
    m_failures.resize(round.size());
    std::vector<ScrapedUnit> units;
    for (size_t i = 0; i < round.size(); ++i) {
        if (!round[i].ok) ++m_failures[i];
        units.push_back({&m_pool.Target(i), std::move(round[i]), m_failures[i]});
    }
    m_text = CPrometheusText::Format(units);
    // The interval counts from the read's start, so a scraper at the same interval gets fresh figures.
    m_lastRead = now;
    m_haveFigures = true;
    ++m_reads;
    return m_text;
}

unsigned CScrapeCache::Reads() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_reads;
}
