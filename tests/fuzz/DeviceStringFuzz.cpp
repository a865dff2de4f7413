// The device-string parser: what it accepts writes back to the same text, and values set
// into it read back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "comm/DeviceString.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CDeviceString d;
    if (!d.Parse(text)) {
        FUZZ_CHECK(d.Sections().empty());
        return 0;
    }
    FUZZ_CHECK(d.Write() == text);
    for (const auto& section : d.Sections()) {
        for (const auto& kv : section.values) {
            FUZZ_CHECK(d.Has(section.name, kv.first));
            (void)d.GetNumber(section.name, kv.first, -1);
        }
    }
    (void)d.GetNumber("NET", "FRAME", 1004);
    d.Set("NET", "TMO", "5000");
    d.Set("NEW", "KEY", "a:b");
    CDeviceString back;
    FUZZ_CHECK(back.Parse(d.Write()));
    FUZZ_CHECK(back.Get("NET", "TMO") == "5000");
    FUZZ_CHECK(back.Get("NEW", "KEY") == "a:b");
    FUZZ_CHECK(back.Write() == d.Write());
    return 0;
}
