#include "monitor/MonitorLog.h"

#include "model/FileIo.h"
#include "monitor/MonitorEvents.h"

CMonitorLog::CMonitorLog(std::vector<MonitorTarget> targets)
    : m_targets(std::move(targets)), m_last(m_targets.size()), m_lastGood(m_targets.size()) {}

size_t CMonitorLog::Take(const std::vector<MonitorReading>& round) {
    size_t logged = 0;
    for (size_t i = 0; i < round.size() && i < m_targets.size(); ++i) {
        const MonitorReading& r = round[i];
        if (r.paused) continue;
        std::vector<MonitorEvent> events;
        if (m_last[i]) {
            events = CMonitorEvents::Detect(m_targets[i], *m_last[i], r);
        } else if (!r.ok) {
            // The window shows the state itself; only a first read that fails is worth a row.
            events = CMonitorEvents::StartingState(m_targets[i], r);
        }
        for (auto& e : events) m_events.push_back(std::move(e));
        logged += events.size();
        m_last[i] = r;
        if (r.ok) m_lastGood[i] = r;
    }
    if (m_events.size() > kMaxEvents) m_events.erase(m_events.begin(), m_events.end() - kMaxEvents);
    return logged;
}

bool CMonitorLog::Stale(size_t i) const { return m_last.at(i) && !m_last.at(i)->ok; }

bool CMonitorLog::Filter::Matches(const MonitorEvent& e) const {
    if (!kind.empty() && kind != CMonitorEvents::KindToken(e.kind)) return false;
    return node < 0 || e.node == node;
}

std::vector<const MonitorEvent*> CMonitorLog::Filtered(const Filter& filter) const {
    std::vector<const MonitorEvent*> out;
    for (const auto& e : m_events)
        if (filter.Matches(e)) out.push_back(&e);
    return out;
}

std::string CMonitorLog::ToCsv(const Filter& filter) const {
    std::string text = "\xEF\xBB\xBF" + CMonitorEvents::CsvHeader();
    for (const MonitorEvent* e : Filtered(filter)) text += CMonitorEvents::CsvRow(*e);
    return text;
}

bool CMonitorLog::SaveCsv(const std::string& path, const Filter& filter, std::string* why) const {
    if (WriteFileAtomically(path, ToCsv(filter))) return true;
    if (why) *why = "cannot write " + path;
    return false;
}
