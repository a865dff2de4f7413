// The settings file reader in all three dialects: whatever it reads, saving that record and
// reading the saved file back gives the same record, without a warning.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "model/Prompter.h"
#include "model/SettingsFile.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

class CRecordingSink : public IConnectionSink {
public:
    void SetGatewayDeviceString(const std::string& s) override { gateway = s; }
    void SetDirectDeviceString(const std::string& s) override { direct = s; }
    void SetConnectionType(int type) override { connectionType = type; }
    void SetUnitNumber(unsigned unit) override { unitNumber = unit; }
    std::string gateway, direct;
    int connectionType = -1;
    unsigned unitNumber = 0;
};

void CheckCounts(const CUnitSettings& record) {
    FUZZ_CHECK(record.pc.entryCount <= kMaxMappingEntries);
    FUZZ_CHECK(record.pc.faLinkNodeCount <= kMaxMappingEntries);
    FUZZ_CHECK(record.unitNumber <= 15);
    // Every text field stays terminated inside its width.
    FUZZ_CHECK(std::memchr(record.pc.modelName, 0, sizeof record.pc.modelName) != nullptr);
    FUZZ_CHECK(std::memchr(record.pc.protocolVersion, 0, sizeof record.pc.protocolVersion) != nullptr);
    FUZZ_CHECK(std::memchr(record.pc.nodeName, 0, sizeof record.pc.nodeName) != nullptr);
}

// Bytes after a text's terminator are never shown nor saved, and neither are list values past
// the node numbers (the lists are read up to 128 whatever the node count): they do not count.
SettingsImage Visible(const SettingsImage& image) {
    SettingsImage v = image;
    for (uint32_t i = image.entryCount; i < kMaxMappingEntries; ++i) v.entries[i] = MappingEntry{};
    CopyText(v.modelName, sizeof v.modelName, TextOf(image.modelName, sizeof image.modelName));
    CopyText(v.protocolVersion, sizeof v.protocolVersion, TextOf(image.protocolVersion, sizeof image.protocolVersion));
    CopyText(v.nodeName, sizeof v.nodeName, TextOf(image.nodeName, sizeof image.nodeName));
    return v;
}

bool SameRecord(const CUnitSettings& a, const CSettingsFile& fa, const CUnitSettings& b, const CSettingsFile& fb) {
    const SettingsImage va = Visible(a.pc), vb = Visible(b.pc);
    return std::memcmp(&va, &vb, sizeof va) == 0 && a.comment == b.comment &&
           a.extensionCheck == b.extensionCheck && a.relayPlc == b.relayPlc && a.targetPlc == b.targetPlc &&
           a.unitNumber == b.unitNumber && a.targetPlcNumber == b.targetPlcNumber &&
           fa.sendArea1Start == fb.sendArea1Start && fa.sendArea1Size == fb.sendArea1Size &&
           fa.sendArea2Start == fb.sendArea2Start && fa.sendArea2Size == fb.sendArea2Size;
}

void RoundTrip(const std::string& bytes, bool oldVersion) {
    CUnitSettings first;
    RecordingPrompter prompter;
    CRecordingSink sink;
    CSettingsFile file(first, prompter, &sink);
    bool clean = file.Apply(bytes, oldVersion);
    // A read with bad values warns once; a clean read says nothing.
    FUZZ_CHECK(prompter.shown.size() == (clean ? 0u : 1u));
    CheckCounts(first);
    FUZZ_CHECK(sink.unitNumber <= 15);

    const std::string saved = file.Serialize();
    CUnitSettings second;
    RecordingPrompter secondPrompter;
    CSettingsFile reread(second, secondPrompter);
    FUZZ_CHECK(reread.Apply(saved, false));
    FUZZ_CHECK(secondPrompter.shown.empty());
    FUZZ_CHECK(SameRecord(first, file, second, reread));
    FUZZ_CHECK(reread.Serialize() == saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The same bytes as a ".lsm" file and, when the first field names the English type key
    // (the only case where the file kind matters), as an old ".csv" file.
    RoundTrip(bytes, false);
    std::string first = bytes.substr(0, bytes.find('\n'));
    if (first.size() < bytes.size() && !first.empty() && first.back() == '\r') first.pop_back();
    first = first.substr(0, first.find(','));
    if (first.size() == 4 && (first[0] | 0x20) == 't' && (first[1] | 0x20) == 'y' && (first[2] | 0x20) == 'p' &&
        (first[3] | 0x20) == 'e')
        RoundTrip(bytes, true);
    return 0;
}
