#include "monitor/PrometheusText.h"

#include <cstdio>
#include <functional>

#include "monitor/MonitorEvents.h"

namespace {
std::string Number(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.9g", v);
    return b;
}

// Writes one family: its HELP and TYPE lines and the samples every unit gives.
void Family(std::string& out, const char* name, const char* type, const char* help,
            const std::vector<ScrapedUnit>& units, bool onlyUp,
            const std::function<void(const ScrapedUnit&, const std::function<void(const std::string&, double)>&)>& each) {
    std::string samples;
    for (const ScrapedUnit& u : units) {
        if (onlyUp && !u.reading.ok) continue;
        const std::string target = "target=\"" + CPrometheusText::LabelValue(u.target->label) + "\"";
        each(u, [&](const std::string& labels, double value) {
            samples += name;
            samples += "{" + target + (labels.empty() ? "" : "," + labels) + "} " + Number(value) + "\n";
        });
    }
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n" + samples;
}

bool Listed(const MonitorTarget& t, int n) {
    for (int l : t.listedNodes)
        if (l == n) return true;
    return false;
}

std::string NodeLabel(int n) { return "node=\"" + std::to_string(n) + "\""; }
}  // namespace

std::string CPrometheusText::LabelValue(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '"') out += "\\\"";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

std::string CPrometheusText::Format(const std::vector<ScrapedUnit>& units) {
    using Add = std::function<void(const std::string&, double)>;
    std::string out;
    Family(out, "linksmith_up", "gauge", "1 when the last read of the unit succeeded, else 0.", units, false,
           [](const ScrapedUnit& u, const Add& add) { add("", u.reading.ok ? 1 : 0); });
    Family(out, "linksmith_datalink_nodes", "gauge", "Nodes taking part in the data link as the unit reports.", units,
           true, [](const ScrapedUnit& u, const Add& add) { add("", u.reading.DataLinkCount()); });
    Family(out, "linksmith_datalink_participating", "gauge",
           "1 when the node takes part in the data link, else 0; for every node that takes part or is listed in the "
           "network file.",
           units, true, [](const ScrapedUnit& u, const Add& add) {
               for (int n = MonitorReading::kFirstNode; n <= MonitorReading::kLastNode; ++n)
                   if (u.reading.dataLink[n] || Listed(*u.target, n)) add(NodeLabel(n), u.reading.dataLink[n] ? 1 : 0);
           });
    // The network status of every node the unit reports anything about, or that is listed.
    auto reported = [](const ScrapedUnit& u, int n) {
        const auto& f = u.reading.nodes[n];
        return f.participating || f.areaAllocError || f.upperLayerError || f.upperLayerRunning ||
               u.reading.dataLink[n] || Listed(*u.target, n);
    };
    auto nodeFamily = [&](const char* name, const char* help, bool MonitorReading::NodeFlags::*flag) {
        Family(out, name, "gauge", help, units, true, [&](const ScrapedUnit& u, const Add& add) {
            for (int n = MonitorReading::kFirstNode; n <= MonitorReading::kLastNode; ++n)
                if (reported(u, n)) add(NodeLabel(n), u.reading.nodes[n].*flag ? 1 : 0);
        });
    };
    nodeFamily("linksmith_node_upper_layer_running", "1 when the network status shows the node's upper layer running.",
               &MonitorReading::NodeFlags::upperLayerRunning);
    nodeFamily("linksmith_node_upper_layer_error", "1 when the network status shows an upper layer error of the node.",
               &MonitorReading::NodeFlags::upperLayerError);
    nodeFamily("linksmith_node_area_allocation_error",
               "1 when the network status shows an area allocation error of the node.",
               &MonitorReading::NodeFlags::areaAllocError);
    Family(out, "linksmith_error_status_bit", "gauge",
           "1 or 0 for each bit of the unit's error status word that the error status view shows.", units, true,
           [](const ScrapedUnit& u, const Add& add) {
               for (int bit : CMonitorEvents::ShownErrorBits())
                   add("bit=\"" + std::to_string(bit) + "\"", (u.reading.errorStatusWord >> bit) & 1);
           });
    Family(out, "linksmith_cycle_time_seconds", "gauge", "Measured refresh cycle time: current, maximum and minimum.",
           units, true, [](const ScrapedUnit& u, const Add& add) {
               add("kind=\"current\"", u.reading.cycle.refreshCurrent / 1000.0);
               add("kind=\"max\"", u.reading.cycle.refreshMaximum / 1000.0);
               add("kind=\"min\"", u.reading.cycle.refreshMinimum / 1000.0);
           });
    Family(out, "linksmith_error_history_records", "gauge", "Error history records the unit has stored.", units, true,
           [](const ScrapedUnit& u, const Add& add) { add("", u.reading.historyStored); });
    Family(out, "linksmith_read_failures_total", "counter", "Reads of the unit that failed since the exporter started.",
           units, false, [](const ScrapedUnit& u, const Add& add) { add("", static_cast<double>(u.readFailures)); });
    Family(out, "linksmith_scrape_duration_seconds", "gauge", "How long the last read of the unit took.", units, false,
           [](const ScrapedUnit& u, const Add& add) { add("", u.reading.seconds); });
    return out;
}
