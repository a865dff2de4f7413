// The unit parameter transfer sequences of the communication object.
#include <algorithm>
#include <cstring>

#include "comm/CommuProcess.h"
#include "comm/SettingsBlock.h"
#include "model/Messages.h"

namespace {
constexpr int kCommandDataFailed = 32859;
constexpr int kDefaultFrameSize = 1004;
constexpr uint16_t kSelectorCpu = 0x10;

SettingsImage& Image(CCommuProcess& c) {
    return c.m_verifyMode ? c.Settings().plc : c.Settings().pc;
}


// A node count past the table would write beyond the entries.
bool TakeNodeCount(CCommuProcess& c, uint16_t count) {
    if (count > kMaxMappingEntries) {
        c.ReportFailure(CCommuProcess::FailureKind::Exchange, Msg::kNodeCountTooLarge, {std::to_string(count)});
        return false;
    }
    Image(c).faLinkNodeCount = count;
    c.m_nodeCount = count;
    return true;
}

bool Run(CCommuProcess& c, uint16_t command, uint16_t selector, const std::vector<uint8_t>& data,
         CCommuProcess::ResponseDecoder decoder = {},
         CompletionCallback callback = &CCommuProcess::RawZephExecuteHelper) {
    return c.RunCommand(command, selector, data, std::move(decoder), callback) && c.m_error == 0;
}

bool UnitSettingRead(CCommuProcess& c) {
    return Run(c, 0x2913, c.m_unitNumber, {}, [](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
        return CSettingsBlock::DecodeUnitSetting(d, n, Image(self)) || self.ReportBadReply(cmd);
    });
}

bool ControllerDataRead(CCommuProcess& c) {
    return Run(c, 0x0501, c.m_unitNumber, {}, [](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
        std::string* model = self.m_verifyMode ? nullptr : &self.m_unitModel;
        return CSettingsBlock::DecodeControllerData(d, n, Image(self), model) || self.ReportBadReply(cmd);
    });
}

bool UnitDataRead(CCommuProcess& c) {
    return Run(c, 0x0601, c.m_unitNumber, {}, [](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
        return CSettingsBlock::DecodeUnitData(d, n, Image(self)) || self.ReportBadReply(cmd);
    });
}

bool SystemHeadRead(CCommuProcess& c) {
    auto decode = [](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
        if (n < CSettingsBlock::kHeadBytes) return self.ReportBadReply(cmd);
        SettingsImage& im = Image(self);
        CSettingsBlock::DecodeHead(d, n, im);
        int method = im.systemFlags & 1;
        if (self.m_verifyMode) {
            self.m_plcMethodForVerify = method;
        } else {
            self.m_mapMethod = method;
            if (im.ipAddressMethod != 2) std::memset(im.ipAddress, 0, sizeof im.ipAddress);
        }
        if (method == 0) return TakeNodeCount(self, static_cast<uint16_t>((d[10] << 8) | d[11]));
        return true;
    };
    return Run(c, 0x0220, kSelectorCpu, CSettingsBlock::AreaReadBlock(c.m_unitNumber, 0, 6), decode,
               &CCommuProcess::ReadModeHelper);
}

// The records of the chunk under way, into the image by m_recordsDone; the first chunk starts
// with the area header. Which chunk is the first is not told by m_recordsDone: in a frame of 30
// to 39 bytes the first chunk carries the header alone, so the second starts at record 0 too.
bool DecodeTableChunk(CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n, bool first) {
    SettingsImage& im = Image(self);
    bool verify = self.m_verifyMode != 0;
    if (first) {
        if (!CSettingsBlock::DecodeAreaHeader(d, n, im) ||
            !CSettingsBlock::DecodeRecords(d + CSettingsBlock::kAreaHeaderBytes, n - CSettingsBlock::kAreaHeaderBytes,
                                           0, self.m_recordsInChunk, verify, im))
            return self.ReportBadReply(cmd);
        im.entryCount = static_cast<uint32_t>(self.m_nodeCount);
        return true;
    }
    return CSettingsBlock::DecodeRecords(d, n, self.m_recordsDone, self.m_recordsInChunk, verify, im) ||
           self.ReportBadReply(cmd);
}

bool DecodeTable(CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
    return DecodeTableChunk(self, cmd, d, n, true);
}

int FrameSize(const CCommuProcess& c) {
    int frame = c.GetFrameSize();
    return frame > 0 ? frame : kDefaultFrameSize;
}

bool MappingTableRead(CCommuProcess& c) {
    if (c.m_mapMethod == 0) {
        c.m_recordsDone = 0;
        c.m_recordsInChunk = c.m_nodeCount;
        auto words = static_cast<uint16_t>((c.m_nodeCount + 2) * 5);
        return Run(c, 0x0220, kSelectorCpu, CSettingsBlock::AreaReadBlock(c.m_unitNumber, 6, words), &DecodeTable);
    }
    auto count = [](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
        if (n < 2) return self.ReportBadReply(cmd);
        return TakeNodeCount(self, static_cast<uint16_t>((d[0] << 8) | d[1]));
    };
    if (!Run(c, 0x2911, c.m_unitNumber, CSettingsBlock::ExtensionReadData({10, 2, 0}), count,
             &CCommuProcess::ReadOtherNodeNumHelper))
        return false;
    std::vector<CSettingsBlock::Chunk> chunks = CSettingsBlock::ReadChunks(c.m_nodeCount, FrameSize(c));
    if (chunks.empty()) {
        c.ReportFailure(CCommuProcess::FailureKind::NotSent, kCommandDataFailed);
        c.m_error = 1;
        return false;
    }
    c.m_recordsDone = 0;
    const int total = static_cast<int>(chunks.size());
    c.ReportChunks(0, total);
    for (int i = 0; i < total; ++i) {
        const CSettingsBlock::Chunk& chunk = chunks[static_cast<size_t>(i)];
        c.m_recordsInChunk = chunk.records;
        auto decode = [first = i == 0](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
            return DecodeTableChunk(self, cmd, d, n, first);
        };
        if (!Run(c, 0x2911, c.m_unitNumber, CSettingsBlock::ExtensionReadData(chunk), decode,
                 &CCommuProcess::ReadFALinkExtendHelper))
            return false;
        c.m_recordsDone += chunk.records;
        c.ReportChunks(i + 1, total);
    }
    return true;
}

bool ReadHead(CCommuProcess& c) {
    return UnitSettingRead(c) && ControllerDataRead(c) && UnitDataRead(c) && SystemHeadRead(c);
}
}  // namespace

bool CCommuProcess::ReadUnitFromPlc() {
    m_verifyMode = 0;
    m_error = 0;
    return ReadHead(*this) && MappingTableRead(*this);
}

bool CCommuProcess::ReadControllerData() {
    // Run alone for the model check: always read mode, so the model text is renewed after a verify.
    m_verifyMode = 0;
    m_error = 0;
    return ControllerDataRead(*this);
}

bool CCommuProcess::WriteUnitToPlc() {
    m_error = 0;
    SettingsImage& pc = m_settings.pc;
    if (!Run(*this, 0x2914, m_unitNumber, CSettingsBlock::UnitSettingWriteData(pc))) return false;
    m_nodeCount = static_cast<int32_t>(std::min<uint32_t>(pc.entryCount, kMaxMappingEntries));
    pc.faLinkNodeCount = static_cast<uint16_t>(m_nodeCount);
    std::vector<uint8_t> block = CSettingsBlock::Encode(pc, m_nodeCount);
    if (m_mapMethod == 1) {
        std::vector<CSettingsBlock::Chunk> chunks = CSettingsBlock::WriteChunks(block.size(), FrameSize(*this));
        if (chunks.empty()) {
            ReportFailure(FailureKind::NotSent, kCommandDataFailed);
            m_error = 1;
            return false;
        }
        const int total = static_cast<int>(chunks.size());
        ReportChunks(0, total);
        for (int i = 0; i < total; ++i) {
            const CSettingsBlock::Chunk& chunk = chunks[static_cast<size_t>(i)];
            if (!Run(*this, 0x2912, m_unitNumber, CSettingsBlock::ExtensionWriteData(block, chunk))) return false;
            ReportChunks(i + 1, total);
        }
        return Run(*this, 0x0221, kSelectorCpu,
                   CSettingsBlock::AreaWriteBlock(m_unitNumber, 0, 6, block.data(), CSettingsBlock::kHeadBytes));
    }
    auto words = static_cast<uint16_t>(16 + 5 * m_nodeCount);
    return Run(*this, 0x0221, kSelectorCpu,
               CSettingsBlock::AreaWriteBlock(m_unitNumber, 0, words, block.data(), block.size()));
}

bool CCommuProcess::VerifyUnitWithPlc() {
    m_verifyMode = 1;
    m_error = 0;
    m_verifyResult.Clear();
    std::memset(&m_settings.plc, 0, sizeof m_settings.plc);
    if (!ReadHead(*this)) return false;
    const int32_t savedMethod = m_mapMethod;
    const int32_t savedCount = m_nodeCount;
    m_mapMethod = m_plcMethodForVerify;
    if (!MappingTableRead(*this)) return false;
    m_verifyResult.Build(m_settings.pc, m_settings.plc);
    m_mapMethod = savedMethod;
    m_nodeCount = savedCount;
    return true;
}
