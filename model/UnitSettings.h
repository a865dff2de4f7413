#pragma once
#include <cstdint>
#include <string>

constexpr int kMaxMappingEntries = 128;
constexpr int kCommonArea1Words = 512;
constexpr int kCommonArea2Words = 8192;

// One entry of the FA Link mapping table (another node sharing data).
struct MappingEntry {
    uint16_t nodeNumber;
    uint16_t receiveDataOrder;
    uint16_t area1Size;
    uint16_t area1Offset;
    uint16_t area2Size;
    uint16_t area2Offset;
};

// The unit's parameters in a fixed layout, host byte order. Texts are NUL-terminated
// byte strings inside their width (Shift_JIS bytes are carried unchanged).
struct SettingsImage {
    char protocolVersion[24];
    char vendorName[12];
    char modelName[24];
    char softwareVersion[24];
    uint8_t unitIpAddress[4];
    char nodeName[24];
    uint16_t tokenWatchdog;
    uint16_t minFrameInterval;
    uint16_t minFrameWait;
    uint32_t nodeNameEnabled;
    uint32_t tokenWatchdogEnabled;
    uint32_t minFrameIntervalEnabled;
    uint32_t minFrameWaitEnabled;
    uint16_t unitAreaWord;
    uint16_t mappingTableMethod;
    uint16_t startupMethod;
    uint16_t confirmMessage;
    uint16_t broadcastType;
    uint16_t ipAddressMethod;
    uint16_t systemFlags;
    uint8_t subnetMask[4];
    uint8_t ipAddress[4];
    uint16_t faLinkNodeCount;
    uint16_t etherBaudRate;
    uint8_t localArea1Type;
    uint8_t localArea2Type;
    uint16_t localArea1Start;
    uint16_t localArea2Start;
    uint16_t localArea1Size;
    uint16_t localArea2Size;
    uint16_t localArea1ComStart;
    uint16_t localArea2ComStart;
    uint16_t sendDataOrder;
    uint8_t mapArea1Type;
    uint8_t mapArea2Type;
    uint16_t mapArea1Start;
    uint16_t mapArea2Start;
    MappingEntry entries[kMaxMappingEntries];
    uint32_t entryCount;
};

// Status records read from the unit; their meaning belongs to the status views.
struct CycleTimeRecord {
    uint8_t tokenNode;
    uint8_t frameInterval;
    uint16_t refreshAllowed;
    uint16_t refreshCurrent;
    uint16_t refreshMaximum;
    uint16_t refreshMinimum;
};

struct HistoryRecord {
    uint16_t errorCode;
    uint16_t detail;
    uint8_t time[6];
};

struct NodeInfoRecord {
    uint8_t completion;
    uint8_t state1;
    uint8_t state2;
    uint8_t errorCode;
    uint8_t tokenWatchdog;
    uint8_t frameInterval;
    uint16_t refreshAllowed;
    uint8_t localState;
    uint16_t area1Start;
    uint16_t area1Size;
    uint16_t area2Start;
    uint16_t area2Size;
};

struct ReceiveSequence {
    uint32_t version;
    uint32_t oneToN;
    uint32_t oneToOne;
};

struct NodeStatusEntry {
    uint32_t areaAllocError;
    uint32_t participating;
    uint32_t upperLayerError;
    uint32_t upperLayerRunning;
};

constexpr int kMaxHistoryRecords = 64;
constexpr int kSequenceNodes = 254;

struct StatusArea {
    uint32_t participation[256];
    uint16_t errorStatusWord;
    uint32_t sequenceVersion;
    uint32_t sequenceSend1toN;
    uint32_t nodeInfoNode;
    CycleTimeRecord cycleTime;
    uint16_t historyMaxRecords;
    uint16_t historyStored;
    uint16_t historyInReply;
    HistoryRecord historyRecords[kMaxHistoryRecords];
    NodeInfoRecord nodeInfo;
    uint32_t sendSequence[kSequenceNodes];
    ReceiveSequence receiveSequence[kSequenceNodes];
    NodeStatusEntry nodeStatus[256];
};

// Values of the unit area panel handed to SetUnitArea.
struct UnitAreaValues {
    char nodeName[20];
    uint16_t tokenWatchdog;
    uint16_t minFrameInterval;
    uint16_t minFrameWait;
    uint32_t nodeNameEnabled;
    uint32_t tokenWatchdogEnabled;
    uint32_t minFrameIntervalEnabled;
    uint32_t minFrameWaitEnabled;
};

struct SystemSettingsValues {
    uint16_t mappingTableMethod;
    uint16_t startupMethod;
    uint16_t confirmMessage;
    uint16_t broadcastType;
    uint16_t ipAddressMethod;
    uint8_t subnetMask[4];
    uint8_t ipAddress[4];
    uint16_t faLinkNodeCount;
    uint16_t etherBaudRate;
};

struct LocalNodeValues {
    uint8_t localArea1Type;
    uint8_t localArea2Type;
    uint16_t localArea1Start;
    uint16_t localArea2Start;
    uint16_t localArea1Size;
    uint16_t localArea2Size;
    uint16_t localArea1ComStart;
    uint16_t localArea2ComStart;
};

struct MappingTableValues {
    uint8_t mapArea1Type;
    uint8_t mapArea2Type;
    uint16_t mapArea1Start;
    uint16_t mapArea2Start;
    MappingEntry entries[kMaxMappingEntries];
    uint32_t entryCount;
};

// Receives the connection values a settings file names (the communication object later).
class IConnectionSink {
public:
    virtual ~IConnectionSink() = default;
    virtual void SetGatewayDeviceString(const std::string& deviceString) = 0;
    virtual void SetDirectDeviceString(const std::string& deviceString) = 0;
    virtual void SetConnectionType(int type) = 0;
    virtual void SetUnitNumber(unsigned unitNumber) = 0;
};

// The one record of the unit's parameters for a run. Code receives it by reference.
class CUnitSettings {
public:
    CUnitSettings();

    SettingsImage pc;
    SettingsImage plc;
    std::string comment;
    uint32_t extensionCheck = 0;
    std::string relayPlc;
    std::string targetPlc;
    uint32_t unitNumber = 0;
    uint32_t targetPlcNumber = 0;
    StatusArea status;

    // Unit number given at launch; reset copies it into unitNumber.
    uint32_t launchUnitNumber = 0;

    int ResetToDefaults();
    int ResetKeepingTarget();

    uint16_t SetUnitArea(const UnitAreaValues& v);
    void SetSystemSettings(const SystemSettingsValues& v);
    SystemSettingsValues GetSystemSettings() const;
    void SetLocalNodeArea(const LocalNodeValues& v);
    LocalNodeValues GetLocalNodeArea() const;
    void SetMappingTable(const MappingTableValues& v);
    MappingTableValues GetMappingTable() const;
    // rows: receive data orders by mapping position; nodeNumbers says which rows are in use.
    void SetDataOrders(uint16_t sendDataOrder, const uint16_t nodeNumbers[kMaxMappingEntries],
                       const uint16_t receiveOrders[kMaxMappingEntries]);

    // Derive the separate method fields of an image from its systemFlags (a read from the unit).
    static void DeriveFromSystemFlags(SettingsImage& image);
    static uint16_t ComposeSystemFlags(uint16_t oldFlags, const SettingsImage& image);

private:
    void ResetImagesAndStatus();
};

// Copy at most width-1 bytes and terminate.
void CopyText(char* dest, size_t width, const std::string& text);
std::string TextOf(const char* field, size_t width);
