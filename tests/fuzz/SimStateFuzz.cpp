// The simulator's state file: whatever it loads, the state it saves loads again and saves
// the same text; a refused file leaves the unit as it was.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sim/UnitSimulator.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string kDefaults = CUnitSimulator().StateText();
    CUnitSimulator unit;
    std::string error;
    if (!unit.LoadStateText(std::string(reinterpret_cast<const char*>(data), size), &error)) {
        FUZZ_CHECK(!error.empty());
        FUZZ_CHECK(unit.StateText() == kDefaults);
        return 0;
    }
    const std::string saved = unit.StateText();
    CUnitSimulator again;
    FUZZ_CHECK(again.LoadStateText(saved, &error));
    FUZZ_CHECK(again.StateText() == saved);
    return 0;
}
