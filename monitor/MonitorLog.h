#pragma once
#include <optional>
#include <string>
#include <vector>

#include "monitor/MonitorEvent.h"
#include "monitor/MonitorReading.h"
#include "monitor/MonitorTarget.h"

// The monitor window's memory: each unit's last reading and last good reading, and the event
// log with its filter and CSV text. Kept on the user-interface thread.
class CMonitorLog {
public:
    // The log keeps at most this many events, dropping the oldest.
    static constexpr size_t kMaxEvents = 20000;

    explicit CMonitorLog(std::vector<MonitorTarget> targets);

    // Takes one round's readings (the targets' order); returns how many events it logged.
    size_t Take(const std::vector<MonitorReading>& round);

    size_t TargetCount() const { return m_targets.size(); }
    const MonitorTarget& Target(size_t i) const { return m_targets.at(i); }
    // The last reading of unit i (none before the first), and the last one that succeeded.
    const std::optional<MonitorReading>& Last(size_t i) const { return m_last.at(i); }
    const std::optional<MonitorReading>& LastGood(size_t i) const { return m_lastGood.at(i); }
    // Unit i's reads have failed since its last good one (or since the start).
    bool Stale(size_t i) const;

    const std::vector<MonitorEvent>& Events() const { return m_events; }
    // Filter: kind empty = every kind; node -1 = every node.
    struct Filter {
        std::string kind;
        int node = -1;
        bool Matches(const MonitorEvent& e) const;
    };
    std::vector<const MonitorEvent*> Filtered(const Filter& filter) const;
    // UTF-8 with a byte order mark (so a spreadsheet takes it as UTF-8), a header line and the
    // events that pass the filter, oldest first, each line ending CR LF.
    std::string ToCsv(const Filter& filter) const;
    // Writes ToCsv to path as a whole; false with why.
    bool SaveCsv(const std::string& path, const Filter& filter, std::string* why) const;

private:
    std::vector<MonitorTarget> m_targets;
    std::vector<std::optional<MonitorReading>> m_last;
    std::vector<std::optional<MonitorReading>> m_lastGood;
    std::vector<MonitorEvent> m_events;
};
