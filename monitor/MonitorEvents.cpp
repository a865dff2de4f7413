#include "monitor/MonitorEvents.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>

#include "platform/LocalTime.h"
#include "status/CsvText.h"
#include "status/ErrorStatusView.h"

namespace {
struct KindName {
    MonitorEventKind kind;
    const char* token;
};
const KindName kKinds[] = {
    {MonitorEventKind::DataLink, "datalink"},         {MonitorEventKind::UpperLayer, "upper-layer"},
    {MonitorEventKind::AreaAllocation, "area-allocation"}, {MonitorEventKind::ErrorBit, "error-bit"},
    {MonitorEventKind::History, "history"},           {MonitorEventKind::CycleTime, "cycle-time"},
    {MonitorEventKind::Read, "read"},
};

MonitorEvent Make(const MonitorTarget& target, const MonitorReading& at, MonitorEventKind kind, int node) {
    MonitorEvent e;
    e.time = at.time;
    e.target = target.label;
    e.kind = kind;
    e.node = node;
    return e;
}

void Change(std::vector<MonitorEvent>& out, MonitorEvent e, const std::string& before, const std::string& after) {
    e.hasOld = true;
    e.oldValue = before;
    e.newValue = after;
    out.push_back(std::move(e));
}

const char* InOut(bool in) { return in ? "in" : "out"; }
const char* OnOff(bool on) { return on ? "on" : "off"; }
const char* ErrorOk(bool error) { return error ? "error" : "ok"; }

// A node whose upper layer the monitor follows: one that takes part, by either record.
bool TakesPart(const MonitorReading& r, int n) { return r.dataLink[n] || r.nodes[n].participating; }

bool SameRecord(const HistoryRecord& a, const HistoryRecord& b) {
    return a.errorCode == b.errorCode && a.detail == b.detail && std::equal(a.time, a.time + 6, b.time);
}

// How many records at the end of after are new: the unit appends, and once full drops its
// oldest, so the old list is found again shifted to the front of the new one.
size_t NewHistoryRecords(const std::vector<HistoryRecord>& before, const std::vector<HistoryRecord>& after) {
    for (size_t shift = 0; shift <= before.size(); ++shift) {
        const size_t kept = before.size() - shift;
        if (kept > after.size()) continue;
        bool same = true;
        for (size_t i = 0; i < kept && same; ++i) same = SameRecord(before[shift + i], after[i]);
        if (same) return after.size() - kept;
    }
    return after.size();
}

std::string Hex4Lower(unsigned v) {
    char b[8];
    std::snprintf(b, sizeof b, "%.4x", v & 0xFFFFu);
    return b;
}
}  // namespace

const std::vector<int>& CMonitorEvents::ShownErrorBits() {
    static const std::vector<int> bits = [] {
        std::vector<int> b;
        for (int i = 0; i < CErrorStatusView::kLampCount; ++i) b.push_back(CErrorStatusView::BitOfLamp(i));
        return b;
    }();
    return bits;
}

std::string CMonitorEvents::ErrorBitLabel(int bit) {
    static const std::map<int, std::string> labels = [] {
        auto record = std::make_unique<CUnitSettings>();
        RecordingPrompter prompter;
        CErrorStatusView view(*record, prompter, {});
        std::map<int, std::string> m;
        for (int i = 0; i < CErrorStatusView::kLampCount; ++i) m[CErrorStatusView::BitOfLamp(i)] = view.Lamps()[i].label;
        return m;
    }();
    auto it = labels.find(bit);
    return it == labels.end() ? std::string() : it->second;
}

std::string CMonitorEvents::UpperLayerText(const MonitorReading::NodeFlags& flags) {
    std::string text = flags.upperLayerRunning ? "running" : "stopped";
    if (flags.upperLayerError) text += ", error";
    return text;
}

std::string CMonitorEvents::HistoryText(const HistoryRecord& r) {
    // The time bytes are minute, second, day, hour, year, month in BCD.
    char b[64];
    std::snprintf(b, sizeof b, "%.2X/%.2X/%.2X %.2X:%.2X:%.2X ", r.time[4], r.time[5], r.time[2], r.time[3], r.time[0],
                  r.time[1]);
    return std::string(b) + Hex4Lower(r.errorCode) + " " + Hex4Lower(r.detail);
}

std::vector<MonitorEvent> CMonitorEvents::Detect(const MonitorTarget& target, const MonitorReading& before,
                                                 const MonitorReading& after) {
    std::vector<MonitorEvent> out;
    if (after.paused || before.paused) return out;
    if (before.ok != after.ok) {
        Change(out, Make(target, after, MonitorEventKind::Read, -1), before.ok ? "ok" : "failed: " + before.failure,
               after.ok ? "ok" : "failed: " + after.failure);
    }
    // Nothing to compare while either side has no records.
    if (!before.ok || !after.ok) return out;
    for (int n = MonitorReading::kFirstNode; n <= MonitorReading::kLastNode; ++n) {
        if (before.dataLink[n] != after.dataLink[n])
            Change(out, Make(target, after, MonitorEventKind::DataLink, n), InOut(before.dataLink[n]),
                   InOut(after.dataLink[n]));
        const auto& b = before.nodes[n];
        const auto& a = after.nodes[n];
        if (TakesPart(before, n) && TakesPart(after, n) &&
            (b.upperLayerRunning != a.upperLayerRunning || b.upperLayerError != a.upperLayerError))
            Change(out, Make(target, after, MonitorEventKind::UpperLayer, n), UpperLayerText(b), UpperLayerText(a));
        if (b.areaAllocError != a.areaAllocError)
            Change(out, Make(target, after, MonitorEventKind::AreaAllocation, n), ErrorOk(b.areaAllocError),
                   ErrorOk(a.areaAllocError));
    }
    for (int bit : ShownErrorBits()) {
        const bool was = (before.errorStatusWord >> bit) & 1;
        const bool is = (after.errorStatusWord >> bit) & 1;
        if (was == is) continue;
        MonitorEvent e = Make(target, after, MonitorEventKind::ErrorBit, -1);
        e.bit = bit;
        e.label = ErrorBitLabel(bit);
        Change(out, e, OnOff(was), OnOff(is));
    }
    if (before.historyRead && after.historyRead) {
        if (after.historyStored < before.historyStored && after.history.empty()) {
            Change(out, Make(target, after, MonitorEventKind::History, -1),
                   std::to_string(before.historyStored) + " records", "cleared");
        } else {
            const size_t fresh = NewHistoryRecords(before.history, after.history);
            for (size_t i = after.history.size() - fresh; i < after.history.size(); ++i) {
                MonitorEvent e = Make(target, after, MonitorEventKind::History, -1);
                e.newValue = HistoryText(after.history[i]);
                out.push_back(std::move(e));
            }
        }
    }
    return out;
}

std::vector<MonitorEvent> CMonitorEvents::StartingState(const MonitorTarget& target, const MonitorReading& r) {
    std::vector<MonitorEvent> out;
    auto add = [&](MonitorEventKind kind, int node, const std::string& value) {
        MonitorEvent e = Make(target, r, kind, node);
        e.newValue = value;
        out.push_back(std::move(e));
    };
    if (r.paused) return out;
    if (!r.ok) {
        add(MonitorEventKind::Read, -1, "failed: " + r.failure);
        return out;
    }
    for (int n = MonitorReading::kFirstNode; n <= MonitorReading::kLastNode; ++n) {
        bool listed = false;
        for (int l : target.listedNodes) listed = listed || l == n;
        if (r.dataLink[n] || listed) add(MonitorEventKind::DataLink, n, InOut(r.dataLink[n]));
    }
    for (int n = MonitorReading::kFirstNode; n <= MonitorReading::kLastNode; ++n)
        if (TakesPart(r, n)) add(MonitorEventKind::UpperLayer, n, UpperLayerText(r.nodes[n]));
    for (int n = MonitorReading::kFirstNode; n <= MonitorReading::kLastNode; ++n)
        if (r.nodes[n].areaAllocError) add(MonitorEventKind::AreaAllocation, n, "error");
    for (int bit : ShownErrorBits()) {
        if (!((r.errorStatusWord >> bit) & 1)) continue;
        MonitorEvent e = Make(target, r, MonitorEventKind::ErrorBit, -1);
        e.bit = bit;
        e.label = ErrorBitLabel(bit);
        e.newValue = "on";
        out.push_back(std::move(e));
    }
    add(MonitorEventKind::History, -1, std::to_string(r.historyStored) + " records");
    add(MonitorEventKind::CycleTime, -1,
        "current " + std::to_string(r.cycle.refreshCurrent) + " ms, maximum " + std::to_string(r.cycle.refreshMaximum) +
            " ms, minimum " + std::to_string(r.cycle.refreshMinimum) + " ms");
    return out;
}

const char* CMonitorEvents::KindToken(MonitorEventKind kind) {
    for (const auto& k : kKinds)
        if (k.kind == kind) return k.token;
    return "read";
}

bool CMonitorEvents::KindFromToken(const std::string& token, MonitorEventKind* kind) {
    for (const auto& k : kKinds) {
        if (token != k.token) continue;
        *kind = k.kind;
        return true;
    }
    return false;
}

std::string CMonitorEvents::IsoTime(std::chrono::system_clock::time_point time) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    long millis = static_cast<long>(ms % 1000);
    if (millis < 0) {
        millis += 1000;
        --seconds;
    }
    long offset = 0;
    const std::tm local = LocalTime(seconds, &offset);
    char stamp[40];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
    char zone[16];
    // An offset is at most a day; the clamp also tells the compiler the text fits.
    const long minutes = std::min((offset < 0 ? -offset : offset) / 60, 24L * 60);
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);  // +09:00
    std::string z(zone);
    char out[64];
    std::snprintf(out, sizeof out, "%s.%03ld%s", stamp, millis, z.c_str());
    return out;
}

std::string CMonitorEvents::TextLine(const MonitorEvent& e) {
    std::string line = IsoTime(e.time) + " " + e.target + " " + KindToken(e.kind);
    if (e.node >= 0) line += " node " + std::to_string(e.node);
    if (e.bit >= 0) line += " bit " + std::to_string(e.bit) + " " + e.label;
    line += ": ";
    if (e.hasOld) line += e.oldValue + " -> ";
    return line + e.newValue;
}

std::string CMonitorEvents::JsonLine(const MonitorEvent& e) {
    nlohmann::ordered_json j;
    j["time"] = IsoTime(e.time);
    j["target"] = e.target;
    j["kind"] = KindToken(e.kind);
    j["node"] = e.node >= 0 ? nlohmann::ordered_json(e.node) : nlohmann::ordered_json(nullptr);
    j["old"] = e.hasOld ? nlohmann::ordered_json(e.oldValue) : nlohmann::ordered_json(nullptr);
    j["new"] = e.newValue;
    if (e.bit >= 0) {
        j["bit"] = e.bit;
        j["label"] = e.label;
    }
    return j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string CMonitorEvents::CsvHeader() {
    return CsvLine({"time", "target", "kind", "node", "bit", "label", "old", "new"});
}

std::string CMonitorEvents::CsvRow(const MonitorEvent& e) {
    return CsvLine({IsoTime(e.time), e.target, KindToken(e.kind), e.node >= 0 ? std::to_string(e.node) : "",
                    e.bit >= 0 ? std::to_string(e.bit) : "", e.label, e.hasOld ? e.oldValue : "", e.newValue});
}
