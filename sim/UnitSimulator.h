#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct ZephRequest {
    uint16_t command = 0;
    uint16_t selector = 0;
    std::vector<uint8_t> data;
};

struct ZephReply {
    uint16_t endCode = 0;
    std::vector<uint8_t> data;
};

// One simulated network unit and the memory of the PLC it sits in. It answers the unit's
// parameter, controller, status and diagnostic commands the way a real unit does, so a
// write followed by a read gives back the same bytes.
class CUnitSimulator {
public:
    // End codes of our own for requests the unit refuses.
    static constexpr uint16_t kEndNoSuchUnit = 0x0202;
    static constexpr uint16_t kEndNotSupported = 0x0401;
    static constexpr uint16_t kEndTooLong = 0x1001;
    static constexpr uint16_t kEndTooShort = 0x1002;
    static constexpr uint16_t kEndBadArea = 0x1101;
    static constexpr uint16_t kEndBadAddress = 0x1103;
    static constexpr uint16_t kEndBadParameter = 0x110C;
    static constexpr uint16_t kEndProtected = 0x2102;

    // The settings block holds the flag word, addresses, node count, area header and up to
    // 128 mapping records.
    static constexpr size_t kBlockSize = 32 + 10 * 128;
    static constexpr int kHistoryCapacity = 64;
    static constexpr int kSequenceNodes = 254;

    struct HistoryEntry {
        uint16_t errorCode = 0;
        uint16_t detail = 0;
        std::array<uint8_t, 6> time{};
    };
    struct CycleTime {
        uint8_t tokenNode = 0;
        uint8_t frameInterval = 0;
        uint16_t refreshAllowed = 0;
        uint16_t refreshCurrent = 0;
        uint16_t refreshMaximum = 0;
        uint16_t refreshMinimum = 0;
    };
    struct NodeInfo {
        uint8_t completion = 0;  // sent back as the end code (0 or 1)
        uint8_t state1 = 0;
        uint8_t state2 = 0;
        uint8_t errorCode = 0;
        uint8_t tokenWatchdog = 0;
        uint8_t frameInterval = 0;
        uint16_t refreshAllowed = 0;
        uint8_t localState = 0;
        uint16_t area1Start = 0;
        uint16_t area1Size = 0;
        uint16_t area2Start = 0;
        uint16_t area2Size = 0;
    };
    struct ReceiveSequence {
        uint32_t version = 0;
        uint32_t oneToN = 0;
        uint32_t oneToOne = 0;
    };

    CUnitSimulator();

    ZephReply Execute(const ZephRequest& request);

    // Text state file (docs/unitsim-state.md). Loading starts from the defaults.
    bool LoadState(const std::string& path, std::string* error);
    bool SaveState(const std::string& path, std::string* error) const;
    bool LoadStateText(const std::string& text, std::string* error);
    std::string StateText() const;
    // One line of the state file on top of the current state (the simulator's --set): all or
    // nothing; false with the reason, for a blank or comment line too.
    bool ApplyStateLine(const std::string& line, std::string* error);

    // The target selector of the PLC's CPU, answered whatever the unit number.
    static constexpr uint16_t kSelectorCpu = 0x10;

    // Unit number 0-15: the unit answers commands addressed to it (any other selector but the
    // CPU's gets end code 0x0202, as from a PLC with no unit there), and the status words move to
    // that unit's addresses.
    bool SetUnitNumber(int unit);
    int UnitNumber() const { return m_unitNumber; }
    void SetProtected(bool on) { m_protected = on; }
    bool Protected() const { return m_protected; }
    void SetModelText(const std::string& text) { m_model = text; }
    void SetSoftwareVersion(const std::string& text) { m_version = text; }
    void SetUnitIpAddress(const std::array<uint8_t, 4>& address) { m_unitIp = address; }
    void SetVendorName(const std::string& text) { m_vendor = text; }
    void SetModelName(const std::string& text) { m_modelName = text; }
    void SetProtocolVersion(uint8_t version) { m_protocol = version; }

    // Node numbers 0-255.
    void SetParticipation(int node, bool on);
    bool Participation(int node) const;
    // Node numbers 1-255; bit 0 area allocation error, bit 1 participating, bit 2 upper layer
    // error, bit 3 upper layer running.
    void SetNodeStatus(int node, uint8_t nibble);
    uint8_t NodeStatus(int node) const;
    void SetErrorStatusWord(uint16_t word);
    uint16_t ErrorStatusWord() const { return m_errorStatus; }
    void SetNodeInfo(int node, const NodeInfo& info);
    void SetCycleTime(const CycleTime& cycle) { m_cycle = cycle; }
    void SetSequenceHeader(uint32_t version, uint32_t send1toN);
    void SetSendSequence(int index, uint32_t value);
    void SetReceiveSequence(int index, const ReceiveSequence& value);
    // False once 64 records are kept.
    bool AddHistory(const HistoryEntry& entry);
    size_t HistoryCount() const { return m_history.size(); }

    const std::vector<uint8_t>& SettingsBlock() const { return m_block; }
    uint16_t ReadWord(uint8_t area, int address) const;
    bool WriteWord(uint8_t area, int address, uint16_t value);

private:
    // One state file line into this state (blank and comment lines change nothing); the caller
    // writes the status words afterwards.
    bool ParseStateLine(std::string line, std::string* why);
    ZephReply MemoryAreaRead(const std::vector<uint8_t>& data) const;
    ZephReply ControllerData(const std::vector<uint8_t>& data) const;
    ZephReply UnitData(const std::vector<uint8_t>& data) const;
    ZephReply UnitSettingRead(const std::vector<uint8_t>& data) const;
    ZephReply UnitSettingWrite(const std::vector<uint8_t>& data);
    ZephReply SystemAreaRead(const std::vector<uint8_t>& data) const;
    ZephReply SystemAreaWrite(const std::vector<uint8_t>& data);
    ZephReply ExtensionRead(const std::vector<uint8_t>& data) const;
    ZephReply ExtensionWrite(const std::vector<uint8_t>& data);
    ZephReply NodeInformation(const std::vector<uint8_t>& data) const;
    ZephReply CycleTimeRead(const std::vector<uint8_t>& data) const;
    ZephReply MessageSequence(const std::vector<uint8_t>& data) const;
    ZephReply HistoryRead(const std::vector<uint8_t>& data) const;
    ZephReply HistoryClear(const std::vector<uint8_t>& data);
    void WriteStatusWords();
    void ClearStatusWords();
    bool IsStatusWord(uint8_t area, int address) const;

    int m_unitNumber = 0;
    bool m_protected = false;
    std::string m_model = "VR4K-LUX22";
    std::string m_version = "V1.05";
    std::array<uint8_t, 4> m_unitIp{{192, 168, 250, 1}};
    std::string m_vendor = "LINKSMITH";
    std::string m_modelName = "FLNET-SIM";
    uint8_t m_protocol = 1;

    uint16_t m_unitAreaWord = 0;
    std::array<uint8_t, 10> m_nodeName{};
    uint16_t m_tokenWatchdog = 50;
    uint16_t m_minFrameInterval = 0;

    std::vector<uint8_t> m_block;
    std::map<uint8_t, std::vector<uint16_t>> m_memory;

    std::array<bool, 256> m_participation{};
    std::array<uint8_t, 256> m_nodeStatus{};
    uint16_t m_errorStatus = 0;
    std::array<NodeInfo, 256> m_nodeInfo{};
    CycleTime m_cycle;
    uint32_t m_sequenceVersion = 0;
    uint32_t m_sequenceSend1toN = 0;
    std::array<uint32_t, kSequenceNodes> m_sendSequence{};
    std::array<ReceiveSequence, kSequenceNodes> m_receiveSequence{};
    std::vector<HistoryEntry> m_history;
};
