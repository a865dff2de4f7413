#pragma once
#include <string>
#include <vector>

#include "monitor/MonitorReading.h"
#include "monitor/MonitorTarget.h"

// One scrape's figures of one unit, as the exporter keeps them.
struct ScrapedUnit {
    const MonitorTarget* target = nullptr;
    MonitorReading reading;
    unsigned long long readFailures = 0;  // failed reads since the exporter started
};

// The Prometheus text exposition format 0.0.4 of a scrape: every family once with its HELP and
// TYPE lines, its samples for every unit together, each with the unit's target label.
class CPrometheusText {
public:
    static constexpr const char* kContentType = "text/plain; version=0.0.4; charset=utf-8";
    static std::string Format(const std::vector<ScrapedUnit>& units);
    // A label value with backslash, quote and line feed escaped.
    static std::string LabelValue(const std::string& text);
};
