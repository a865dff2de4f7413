#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What another tool of the suite hands over when it starts LinkSmith: the switches of the
// command line and the PLCs and unit named in its ".cfg" launch file.
struct LaunchParameters {
    std::string firstSwitch;  // "/n"
    std::string modeSwitch;   // "/off", "/on" or empty
    std::string launchFilePath;
    std::string relayPlcName;
    std::string relayConfig;
    std::string targetPlcName;
    std::string targetConfig;
    int32_t networkAddress = 0;
    int32_t nodeAddress = 0;
    int32_t unitNumber = 0;
    int launchedFromFile = 0;
};

enum class LaunchSwitches { kNone, kLaunchFile, kMalformed };

// Looks at the arguments after the program name; only exactly three can be launch switches.
LaunchSwitches ParseLaunchSwitches(const std::vector<std::string>& args, LaunchParameters& params);

// Sets key in [section] of a device string and returns the edited string (the middleware's
// write device-string value operation).
using DeviceStringWriter =
    std::function<std::string(const std::string& deviceString, const std::string& section,
                              const std::string& key, const std::string& value)>;

// FL-net units on one PLC are numbered 0 to 15.
constexpr int32_t kMaxLaunchUnitNumber = 15;

// Reads the launch file named in params; deletes it after a successful read.
// False when it cannot be opened or read, or names a unit number outside 0-15 (the file is
// then kept).
bool ReadLaunchFile(LaunchParameters& params, const DeviceStringWriter& writeValue);
// The same on the file's bytes, for tests and for the reader above.
void ApplyLaunchFile(const std::string& bytes, LaunchParameters& params, const DeviceStringWriter& writeValue);
