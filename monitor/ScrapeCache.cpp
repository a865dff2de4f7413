#include "monitor/ScrapeCache.h"

#include "monitor/UnitPool.h"

std::string CScrapeCache::Scrape() {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto now = std::chrono::steady_clock::now();
    if (m_haveFigures && now - m_lastRead < m_minInterval) return m_text;
    std::vector<MonitorReading> round = m_pool.ReadAll();
    m_failures.resize(round.size());
    m_up.resize(round.size(), -1);
    std::vector<ScrapedUnit> units;
    for (size_t i = 0; i < round.size(); ++i) {
        if (!round[i].ok) ++m_failures[i];
        const int up = round[i].ok ? 1 : 0;
        if (m_log && up != m_up[i] && (m_up[i] >= 0 || !up))
            m_log(m_pool.Target(i).label + (up ? ": answers again" : ": read failed: " + round[i].failure));
        m_up[i] = up;
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
