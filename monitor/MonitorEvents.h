#pragma once
#include <string>
#include <vector>

#include "monitor/MonitorEvent.h"
#include "monitor/MonitorReading.h"
#include "monitor/MonitorTarget.h"

// The events between two readings of one unit, the starting state of a first reading, and how
// an event is written: as a line, as a JSON line and as a CSV row.
class CMonitorEvents {
public:
    // What changed from before to after; a paused reading changes nothing.
    static std::vector<MonitorEvent> Detect(const MonitorTarget& target, const MonitorReading& before,
                                            const MonitorReading& after);
    // The state a first reading found: the nodes in the data link (and those listed but out),
    // their upper layers, the error bits on, the stored history count and the cycle times; a
    // failed first read is a read event.
    static std::vector<MonitorEvent> StartingState(const MonitorTarget& target, const MonitorReading& reading);

    // "datalink", "upper-layer", "area-allocation", "error-bit", "history", "cycle-time", "read".
    static const char* KindToken(MonitorEventKind kind);
    static bool KindFromToken(const std::string& token, MonitorEventKind* kind);
    // ISO 8601 in local time with milliseconds and the offset: 2026-03-01T04:05:06.789+09:00.
    static std::string IsoTime(std::chrono::system_clock::time_point time);
    // TIME TARGET KIND [node N | bit N LABEL]: [OLD -> ]NEW
    static std::string TextLine(const MonitorEvent& e);
    // {"time", "target", "kind", "node", "old", "new"} and, for an error bit, "bit" and "label".
    static std::string JsonLine(const MonitorEvent& e);
    // The event log's columns, and one row of them (CR LF ended).
    static std::string CsvHeader();
    static std::string CsvRow(const MonitorEvent& e);
    // A history record as the error history view shows it: "YY/MM/DD hh:mm:ss code detail".
    static std::string HistoryText(const HistoryRecord& record);
    static std::string UpperLayerText(const MonitorReading::NodeFlags& flags);
    // The error status bits the error status view shows, lowest first.
    static const std::vector<int>& ShownErrorBits();
    static std::string ErrorBitLabel(int bit);
};
