#include "app/LaunchParameters.h"

#include <cstdio>

#include "model/FileIo.h"

namespace {

// The text between the first and the second double quote; empty with fewer than two.
std::string QuotedValue(const std::string& line) {
    size_t open = line.find('"');
    if (open == std::string::npos) return {};
    size_t close = line.find('"', open + 1);
    if (close == std::string::npos) return {};
    return line.substr(open + 1, close - open - 1);
}

int32_t LeadingInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value < 0x80000000LL) value = value * 10 + (text[i] - '0');
    if (value > 0x7FFFFFFFLL) value = negative ? 0x80000000LL : 0x7FFFFFFFLL;
    return static_cast<int32_t>(negative ? -value : value);
}

bool Contains(const std::string& line, const char* key) {
    return line.find(key) != std::string::npos;
}

bool EndsWithCfg(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return ext == ".cfg";
}

}  // namespace

LaunchSwitches ParseLaunchSwitches(const std::vector<std::string>& args, LaunchParameters& params) {
    if (args.size() != 3) return LaunchSwitches::kNone;
    if (args[0] != "/n") return LaunchSwitches::kMalformed;
    std::string path = args[1];
    if (args[1] == "/off" || args[1] == "/on") {
        params.modeSwitch = args[1];
        path = args[2];
    }
    if (!EndsWithCfg(path)) return LaunchSwitches::kMalformed;
    params.firstSwitch = "/n";
    params.launchFilePath = path;
    return LaunchSwitches::kLaunchFile;
}

void ApplyLaunchFile(const std::string& bytes, LaunchParameters& params, const DeviceStringWriter& writeValue) {
    bool relay = true;
    bool subUnit = false;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t lf = bytes.find('\n', start);
        size_t end = lf == std::string::npos ? bytes.size() : lf;
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        if (Contains(line, "[RelayPLC]")) relay = true;
        if (Contains(line, "[TargetCompo]")) relay = false;
        if (Contains(line, "[TargetSIOU]")) subUnit = true;
        // Once a key line applies, its value replaces the line for the tests after it.
        if (Contains(line, "Name:=") && !Contains(line, "ModelName:=")) {
            line = QuotedValue(line);
            if (relay)
                params.relayPlcName = line;
            else if (!subUnit)
                params.targetPlcName = line;
        }
        if (Contains(line, "Config:=")) {
            line = QuotedValue(line);
            if (relay) {
                params.relayConfig = line;
            } else if (!subUnit) {
                params.targetConfig = line;
                if (params.relayConfig == params.targetConfig)
                    params.relayConfig.clear();
                else
                    params.targetConfig = writeValue(params.targetConfig, "NET", "GATE", "Gateway");
                params.targetConfig = writeValue(params.targetConfig, "NET", "TMO", "5000");
            }
        }
        if (Contains(line, "NetworkAddress:=")) {
            line = QuotedValue(line);
            if (!relay) params.networkAddress = LeadingInteger(line);
        }
        if (Contains(line, "NodeAddress:=")) {
            line = QuotedValue(line);
            if (!relay) params.nodeAddress = LeadingInteger(line);
        }
        if (Contains(line, "UnitNumber:=")) {
            line = QuotedValue(line);
            if (subUnit) {
                params.unitNumber = LeadingInteger(line);
                subUnit = false;
            } else if (!relay) {
                params.unitNumber = LeadingInteger(line);
            }
        }
    }
}

bool ReadLaunchFile(LaunchParameters& params, const DeviceStringWriter& writeValue) {
    std::string bytes;
    if (!ReadWholeFile(params.launchFilePath, bytes)) return false;
    ApplyLaunchFile(bytes, params, writeValue);
    // A unit number no unit can have would address something else on the PLC: such a file is
    // refused and kept like one that could not be read.
    if (params.unitNumber < 0 || params.unitNumber > kMaxLaunchUnitNumber) return false;
    std::remove(params.launchFilePath.c_str());
    params.launchedFromFile = 1;
    return true;
}
