// The launch file reader, with the middleware's device-string writer the program hands it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/LaunchParameters.h"
#include "comm/DeviceString.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {
// What the middleware's write device-string value does: a malformed string is left as it was.
std::string WriteValue(const std::string& deviceString, const std::string& section, const std::string& key,
                       const std::string& value) {
    CDeviceString d;
    if (!d.Parse(deviceString)) return deviceString;
    d.Set(section, key, value);
    std::string written = d.Write();
    CDeviceString back;
    FUZZ_CHECK(back.Parse(written));
    FUZZ_CHECK(back.Get(section, key) == value);
    return written;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LaunchParameters params;
    ApplyLaunchFile(std::string(reinterpret_cast<const char*>(data), size), params, WriteValue);
    // Names and configurations come from between two quotes.
    for (const std::string* text : {&params.relayPlcName, &params.targetPlcName, &params.relayConfig})
        FUZZ_CHECK(text->find('"') == std::string::npos);
    FUZZ_CHECK(params.launchedFromFile == 0);
    return 0;
}
