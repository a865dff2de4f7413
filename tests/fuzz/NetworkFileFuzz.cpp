// The network file reader: whatever the bytes, no crash, every fault has a line inside the text,
// and a file read without errors, written again, reads back to the same network.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "network/NetworkFile.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool SameNodes(const CNetworkFile& a, const CNetworkFile& b) {
    if (a.name != b.name || a.nodes.size() != b.nodes.size()) return false;
    for (size_t i = 0; i < a.nodes.size(); ++i) {
        const NetworkNodeEntry& x = a.nodes[i];
        const NetworkNodeEntry& y = b.nodes[i];
        if (x.number != y.number || x.file != y.file || x.path != y.path || x.device != y.device ||
            x.gateway != y.gateway || x.unit != y.unit || x.hasDevice != y.hasDevice || x.hasGateway != y.hasGateway)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CNetworkFile file;
    // The settings files named need not exist here: only the network file is under test.
    const bool ok = file.Parse(text, "net", false);
    FUZZ_CHECK(ok == !file.HasErrors());
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (const auto& p : file.Problems()) {
        FUZZ_CHECK(p.line >= 0 && p.line <= lines);
        FUZZ_CHECK(!p.text.empty());
        FUZZ_CHECK(p.node >= 0 && p.node <= kHighestNodeNumber);
    }
    for (const auto& n : file.nodes) {
        FUZZ_CHECK(n.number >= kLowestNodeNumber && n.number <= kHighestNodeNumber);
        FUZZ_CHECK(n.unit >= -1 && n.unit <= 15);
        FUZZ_CHECK(!n.file.empty() && !n.path.empty());
        FUZZ_CHECK(n.line >= 1 && n.line <= lines);
    }
    if (!ok) return 0;
    // Every number once, every settings file once.
    for (size_t i = 0; i < file.nodes.size(); ++i)
        for (size_t j = 0; j < i; ++j) {
            FUZZ_CHECK(file.nodes[i].number != file.nodes[j].number);
            FUZZ_CHECK(file.nodes[i].path != file.nodes[j].path);
        }
    const std::string written = file.ToToml();
    CNetworkFile back;
    FUZZ_CHECK(back.Parse(written, "net", false));
    FUZZ_CHECK(SameNodes(file, back));
    FUZZ_CHECK(back.ToToml() == written);
    return 0;
}
