#include "comm/CommuProcess.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>
#include <thread>

#include "comm/DeviceCatalog.h"
#include "comm/ProfileFile.h"
#include "model/Messages.h"

namespace {
constexpr const char* kProjectIdentity = "LinkSmithTool";
constexpr size_t kProfileBuffer = 2049;
constexpr size_t kOpenNameBuffer = 30;
constexpr size_t kCatalogTypeWidth = 33;
// Device type prefixes of the two PLC series that carry the network units.
constexpr const char* kCatalogSeries[] = {"VR", "VS"};
// How often the waiting thread lets the user interface work.
constexpr std::chrono::milliseconds kPumpInterval(10);
constexpr std::chrono::microseconds kSpinBeforeSleep(200);

namespace Id {
constexpr int kInitFailed = 32843;
constexpr int kLockFailed = 32844;
constexpr int kHostwire = 32846;
constexpr int kProjectOpenFailed = 32847;
constexpr int kProjectPathFailed = 32848;
constexpr int kAddPlcFailed = 32849;
constexpr int kChangePlcFailed = 32853;
constexpr int kOpenPlcFailed = 32856;
constexpr int kCommError = 32858;
constexpr int kCommandDataFailed = 32859;
constexpr int kNoSuchUnit = 33007;
constexpr int kProtected = 33008;
constexpr int kTimeout = 33069;
}  // namespace Id

namespace End {
constexpr uint16_t kNormal = 0x0000;
constexpr uint16_t kRelayed = 0x0001;
constexpr uint16_t kUnitMissing = 0x0202;
constexpr uint16_t kProtectedA = 0x2102;
constexpr uint16_t kProtectedB = 0x2201;
}  // namespace End

uint16_t Get16Host(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
void Put16Host(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }

std::string Hex4(uint16_t code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%.4x", code);
    return buf;
}

bool IsWriteCommand(uint16_t command) {
    return command == 0x0221 || command == 0x2912 || command == 0x2914 || command == 0x2103;
}

int ToNumber(const std::string& text) {
    // Decimal as the status bar shows it; anything that is not a number counts as 0.
    long v = 0;
    bool any = false;
    for (char c : text) {
        if (c < '0' || c > '9') return any ? static_cast<int>(v) : 0;
        v = v * 10 + (c - '0');
        if (v > 1000000) return 0;
        any = true;
    }
    return static_cast<int>(v);
}
}  // namespace

CCommuProcess::CCommuProcess(CUnitSettings& settings, IPrompter& prompter, IMiddleware& middleware, PumpHook pump)
    : m_settings(settings), m_prompter(prompter), m_middleware(middleware), m_pump(std::move(pump)) {
    m_direct.name = kDirectEntry;
    m_gateway.name = kGatewayEntry;
}

CCommuProcess::~CCommuProcess() { delete m_storage; }

void CCommuProcess::ReportFailure(FailureKind kind, int messageId, std::vector<std::string> inserts, int code) {
    m_failure = Failure{kind, messageId, inserts, code};
    m_prompter.Message(messageId, inserts);
}

bool CCommuProcess::ReportBadReply(uint16_t command) {
    ReportFailure(FailureKind::Exchange, Msg::kBadReply, {Hex4(command)}, m_endCode);
    return false;
}

void CCommuProcess::ReportCode(FailureKind kind, int id, uint16_t code) { ReportFailure(kind, id, {Hex4(code)}, code); }

bool CCommuProcess::Initialize() {
    uint16_t status = m_middleware.Initialize();
    if (Mw::Failed(status)) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%X", status);
        ReportFailure(FailureKind::Exchange, Id::kInitFailed, {buf}, status);
        return false;
    }
    m_initialised = true;
    if (!m_storage) {
        m_storage = new (std::nothrow) MemoryStorage;
        if (!m_storage) {
            ReportFailure(FailureKind::Exchange, Id::kLockFailed);
            return false;
        }
    }
    m_responseLength = 512;
    m_responseData.clear();
    m_mapMethod = 0;
    m_nodeCount = 0;
    m_recordsInChunk = 0;
    m_verifyMode = 0;
    m_error = 0;
    m_historyStart = 0;
    m_historyCount = 20;
    return true;
}

std::string CCommuProcess::ProfileFile() const {
    if (m_noProfile) return std::string();
    return m_profileFile.empty() ? CProfileFile::DefaultPath() : m_profileFile;
}

bool CCommuProcess::OpenProject() {
    if (m_projectHandle != 0) return true;
    uint16_t status = m_middleware.OpenProject(nullptr, m_storage, kProjectIdentity, Mw::kOpenMode, &m_projectHandle);
    if (Mw::Failed(status)) {
        m_projectHandle = 0;
        ReportFailure(FailureKind::Exchange, Id::kProjectOpenFailed, {}, status);
        return false;
    }
    if (Mw::LowByte(status) == Mw::kNothingMore) return true;
    if (Mw::Failed(m_middleware.GetProjectFilePath(m_projectHandle, &m_projectFile))) {
        ReportFailure(FailureKind::Exchange, Id::kProjectPathFailed);
        return false;
    }
    m_deviceNames.clear();
    status = m_middleware.EnumDeviceTypes(&EnumDeviceHelper, this);
    if (Mw::LowByte(status) == 0) {
        std::vector<std::string> excluded;
        std::string list = kExcludedDeviceTypes;
        for (size_t start = 0;;) {
            size_t comma = list.find(',', start);
            excluded.push_back(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        std::string offered;
        for (const std::string& name : m_deviceNames) {
            bool skip = false;
            for (const std::string& x : excluded) skip = skip || name == x;
            if (skip) continue;
            if (!offered.empty()) offered += ",";
            offered += name;
        }
        if (Mw::Failed(m_middleware.SetOfferedDeviceTypes(offered))) {
            ReportFailure(FailureKind::Exchange, Id::kAddPlcFailed);
            return false;
        }
    }

    CProfileFile profile(ProfileFile());
    bool target = !m_targetConfig.empty();
    bool relay = !m_relayConfig.empty();
    if (target && relay)
        m_connectionType = 1;
    else if (target)
        m_connectionType = 0;
    else if (relay)
        m_connectionType = 1;
    else  // a decimal number, as it is written: "01" is 1 as well
        m_connectionType = ToNumber(profile.ReadString(kProfileSection, "ConnectionType", kProfileBuffer)) == 1;
    m_settings.targetPlcNumber = static_cast<uint32_t>(m_connectionType);

    if (target) {
        m_direct.deviceString = m_targetConfig;
    } else {
        if (m_direct.deviceString.empty())
            m_direct.deviceString = profile.ReadString(kProfileSection, "PLCConfig", kProfileBuffer);
        if (m_direct.comment.empty()) m_direct.comment = profile.ReadString(kProfileSection, "PLCComment", kProfileBuffer);
    }
    if (relay) {
        m_gateway.deviceString = m_relayConfig;
    } else {
        if (m_gateway.deviceString.empty())
            m_gateway.deviceString = profile.ReadString(kProfileSection, "GPLCConfig", kProfileBuffer);
        if (m_gateway.comment.empty())
            m_gateway.comment = profile.ReadString(kProfileSection, "GPLCComment", kProfileBuffer);
    }

    if (m_connectionType == 1) AddWithRetry(kGatewayEntry);
    if (m_connectionType == 0 && m_direct.deviceString.find(kGatewayEntry) != std::string::npos)
        m_direct.deviceString = kDefaultDeviceString;
    bool result = AddWithRetry(kDirectEntry);
    if (m_settings.targetPlc.empty()) m_settings.targetPlc = m_direct.deviceString;
    if (m_settings.relayPlc.empty()) m_settings.relayPlc = m_gateway.deviceString;
    return result;
}

CCommuProcess::PlcEntry* CCommuProcess::EntryByName(const std::string& name) {
    if (name == kDirectEntry) return &m_direct;
    if (name == kGatewayEntry) return &m_gateway;
    return nullptr;
}

bool CCommuProcess::AddPlcEntry(const std::string& name) {
    PlcEntry* e = EntryByName(name);
    if (!e) {
        ReportFailure(FailureKind::Exchange, Id::kAddPlcFailed);
        return false;
    }
    e->name = name;
    if (e->deviceString.empty()) e->deviceString = kDefaultDeviceString;
    if (e->comment.empty()) e->comment = " ";
    uint16_t status = m_middleware.AddPlcEntry(m_projectHandle, e->name, e->deviceString, e->comment, &e->slot);
    if (Mw::Failed(status)) {
        ReportFailure(FailureKind::Exchange, Id::kAddPlcFailed);
        m_middleware.RemovePlcEntry(m_projectHandle, e->name);
        return false;
    }
    return true;
}

bool CCommuProcess::AddWithRetry(const std::string& name) {
    if (AddPlcEntry(name)) return true;
    PlcEntry* e = EntryByName(name);
    if (!e) return false;
    e->deviceString.clear();
    e->comment.clear();
    if (!AddPlcEntry(name)) return false;
    // Added with the defaults: the first refusal is no failure of what follows.
    m_failure = Failure{};
    return true;
}

bool CCommuProcess::RemovePlcEntry(const std::string& name) {
    return !Mw::Failed(m_middleware.RemovePlcEntry(m_projectHandle, name));
}

bool CCommuProcess::ChangePlcEntry(const std::string& name) {
    PlcEntry* e = EntryByName(name);
    if (!e) {
        m_prompter.Message(Id::kChangePlcFailed);
        return false;
    }
    std::string deviceString;
    std::string comment;
    uint16_t status = m_middleware.EditPlcEntry(m_projectHandle, e->slot, e->name, &deviceString, &comment);
    if (Mw::Failed(status)) {
        m_prompter.Message(Id::kChangePlcFailed);
        return false;
    }
    if (Mw::LowByte(status) == Mw::kCancelled) return false;
    e->deviceString = deviceString;
    e->comment = comment;
    MirrorDeviceStrings();
    return true;
}

void CCommuProcess::MirrorDeviceStrings() {
    if (!m_direct.deviceString.empty()) m_settings.targetPlc = m_direct.deviceString;
    if (!m_gateway.deviceString.empty()) m_settings.relayPlc = m_gateway.deviceString;
}

void CCommuProcess::SetConnectionType(int type) {
    type = type == 1 ? 1 : 0;
    // Before the project is open there are no entries to rebuild; OpenProject adds them.
    if (m_projectHandle != 0) {
        RemovePlcEntry(kDirectEntry);
        if (m_connectionType == 1) RemovePlcEntry(kGatewayEntry);
        if (type == 1) AddWithRetry(kGatewayEntry);
        if (type == 0 && m_direct.deviceString.find(kGatewayEntry) != std::string::npos)
            m_direct.deviceString = kDefaultDeviceString;
        AddWithRetry(kDirectEntry);
    }
    m_connectionType = type;
    m_settings.targetPlcNumber = static_cast<uint32_t>(type);
}

bool CCommuProcess::UseDirectConnection(bool edit) {
    int remembered = m_connectionType;
    m_connectionType = 0;
    bool result = true;
    if (remembered == 1) {
        RemovePlcEntry(kDirectEntry);
        RemovePlcEntry(kGatewayEntry);
        result = AddWithRetry(kDirectEntry);
    }
    if (edit) result = ChangePlcEntry(kDirectEntry);
    if (!result && remembered == 1) SetConnectionType(1);
    m_settings.targetPlcNumber = static_cast<uint32_t>(m_connectionType);
    return result;
}

bool CCommuProcess::UseGatewayConnection(bool edit) {
    int remembered = m_connectionType;
    m_connectionType = 1;
    RemovePlcEntry(kDirectEntry);
    if (remembered == 0) AddWithRetry(kGatewayEntry);
    if (edit && !ChangePlcEntry(kGatewayEntry)) {
        AddWithRetry(kDirectEntry);
        if (remembered == 0) {
            RemovePlcEntry(kGatewayEntry);
            m_connectionType = 0;
        }
        m_settings.targetPlcNumber = static_cast<uint32_t>(m_connectionType);
        return false;
    }
    bool result = AddWithRetry(kDirectEntry);
    if (edit) {
        result = ChangePlcEntry(kDirectEntry);
        if (!result && remembered != 1) SetConnectionType(remembered);
    }
    m_settings.targetPlcNumber = static_cast<uint32_t>(m_connectionType);
    return result;
}

bool CCommuProcess::OpenPlc() {
    char name[kOpenNameBuffer] = {};
    std::strncpy(name, m_direct.name.c_str(), kOpenNameBuffer - 1);
    uint16_t status = m_middleware.OpenPlc(m_projectHandle, name, Mw::kOpenMode, &m_plcHandle);
    if (Mw::Failed(status)) {
        m_plcHandle = 0;
        ReportFailure(FailureKind::Exchange, Id::kOpenPlcFailed, {}, status);
        return false;
    }
    return true;
}

void CCommuProcess::ClosePlc() {
    if (m_plcHandle == 0) return;
    m_middleware.ClosePlc(m_plcHandle);
    m_plcHandle = 0;
}

void CCommuProcess::Shutdown() {
    if (m_plcHandle != 0) ClosePlc();
    if (m_projectHandle != 0) m_middleware.CloseProject(m_projectHandle);
    if (m_initialised) m_middleware.Shutdown();
    delete m_storage;
    m_storage = nullptr;
    CProfileFile profile(ProfileFile());
    profile.WriteString(kProfileSection, "PLCConfig", m_direct.deviceString);
    profile.WriteString(kProfileSection, "PLCComment", m_direct.comment);
    profile.WriteString(kProfileSection, "GPLCConfig", m_gateway.deviceString);
    profile.WriteString(kProfileSection, "GPLCComment", m_gateway.comment);
    profile.WriteString(kProfileSection, "ConnectionType", std::to_string(m_connectionType));
    for (PlcEntry* e : {&m_direct, &m_gateway}) {
        e->deviceString.clear();
        e->comment.clear();
        e->slot.clear();
    }
    m_initialised = false;
    m_projectHandle = 0;
    m_deviceNames.clear();
}

int CCommuProcess::GetNetworkAddress() const {
    if (m_direct.deviceString.empty()) return 0;
    return ToNumber(m_middleware.ReadDeviceValue(m_direct.deviceString, "ADDRESS", "DNA"));
}

int CCommuProcess::GetNodeAddress() const {
    if (m_direct.deviceString.empty()) return 0;
    return ToNumber(m_middleware.ReadDeviceValue(m_direct.deviceString, "ADDRESS", "DA1"));
}

int CCommuProcess::GetFrameSize() const {
    if (m_direct.deviceString.empty()) return 0;
    return ToNumber(m_middleware.ReadDeviceValue(m_direct.deviceString, "NET", "FRAME"));
}

std::string CCommuProcess::GetNetworkTypeLabel() const {
    std::string net = m_middleware.ReadDeviceValue(m_direct.deviceString, "NET", "NET");
    if (net == "HWSP" || net == "HWXTND" || net == "HWSERIAL") return MessageText(Id::kHostwire);
    return net;
}

std::string CCommuProcess::Describe(const std::string& deviceString) const {
    if (deviceString.empty()) return std::string();
    std::string device = m_middleware.ReadDeviceValue(deviceString, "DEV", "DEV");
    std::string cpu = m_middleware.ReadDeviceValue(deviceString, "DEV", "CPU");
    bool catalogued = false;
    for (const char* series : kCatalogSeries) catalogued = catalogued || device.compare(0, 2, series) == 0;
    if (catalogued && device.size() >= 2 && !m_catalogFile.empty()) {
        CDeviceCatalog catalog(m_catalogFile);
        std::string type;
        if (catalog.GetType(device, &type)) device = type.substr(0, kCatalogTypeWidth - 1);
    }
    return device + "_" + cpu;
}

std::string CCommuProcess::GetPlcDescription() const { return Describe(m_direct.deviceString); }
std::string CCommuProcess::GetGatewayDescription() const { return Describe(m_gateway.deviceString); }

void CCommuProcess::SetGatewayDeviceString(const std::string& deviceString) {
    m_gateway.deviceString = deviceString;
    MirrorDeviceStrings();
}

void CCommuProcess::SetDirectDeviceString(const std::string& deviceString) {
    m_direct.deviceString = deviceString;
    MirrorDeviceStrings();
}

void CCommuProcess::SetUnitNumber(unsigned unitNumber) { m_unitNumber = static_cast<uint16_t>(unitNumber & 0xFFFF); }

// ---- command execution ----

void CCommuProcess::ResetEvent() {
    std::lock_guard<std::mutex> lock(m_eventMutex);
    m_eventSet = false;
}

void CCommuProcess::SignalEvent() {
    {
        std::lock_guard<std::mutex> lock(m_eventMutex);
        m_eventSet = true;
    }
    m_eventCv.notify_all();
}

bool CCommuProcess::ExecuteCommand(uint16_t command, uint16_t selector, const std::vector<uint8_t>& data,
                                   ResponseDecoder decoder, CompletionCallback callback) {
    m_error = 0;
    m_failure = Failure{};
    ResetEvent();
    uint32_t block = 0;
    uint8_t* address = nullptr;
    // Data that does not fit a block is refused whole, never cut short.
    if (data.size() > 0xFFFF ||
        Mw::Failed(m_middleware.AllocateBlock(Mw::kBlockInitial, Mw::kBlockFlags, &block, &address))) {
        SignalEvent();
        ReportFailure(FailureKind::NotSent, Id::kCommandDataFailed);
        m_error = 1;
        return false;
    }
    Put16Host(address + CommandBlock::kCommand, command);
    Put16Host(address + CommandBlock::kSelector, selector);
    Put16Host(address + CommandBlock::kReserved, 0);
    Put16Host(address + CommandBlock::kDataLength, static_cast<uint16_t>(data.size()));
    if (Mw::Failed(m_middleware.SizeBlock(0, data.size(), 1, block, &address))) {
        m_middleware.FreeBlock(block);
        SignalEvent();
        ReportFailure(FailureKind::NotSent, Id::kCommandDataFailed);
        m_error = 1;
        return false;
    }
    if (!data.empty()) std::memcpy(address + CommandBlock::kData, data.data(), data.size());
    {
        std::lock_guard<std::mutex> lock(m_responseMutex);
        m_responseData.clear();
        m_decoder = std::move(decoder);
    }
    uint16_t status = m_middleware.SendCommand(m_plcHandle, Mw::kCompletionKind, block, Mw::kSendMode, callback, this);
    m_middleware.FreeBlock(block);
    if (Mw::Failed(status) || Mw::LowByte(status) != 0) {
        // A refused send must not look like success to the caller.
        ReportCode(FailureKind::Exchange, Id::kCommError, status);
        m_error = 1;
        return false;
    }
    return true;
}

bool CCommuProcess::RunCommand(uint16_t command, uint16_t selector, const std::vector<uint8_t>& data,
                               ResponseDecoder decoder, CompletionCallback callback) {
    if (!ExecuteCommand(command, selector, data, std::move(decoder), callback)) return false;
    if (!WaitForCompletion()) {
        // Quitting: the command did not complete, so the sequence must not go on.
        m_error = 1;
        return false;
    }
    return m_error == 0;
}

bool CCommuProcess::WaitForCompletion() {
    // Most replies come within a few tens of microseconds; yielding that long is cheaper than the
    // sleep and wake-up of a blocking wait, which would otherwise dominate a long sequence.
    auto spinUntil = std::chrono::steady_clock::now() + (m_spinBeforeWait ? kSpinBeforeSleep : std::chrono::microseconds(0));
    while (!m_eventSet.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < spinUntil)
        std::this_thread::yield();
    std::unique_lock<std::mutex> lock(m_eventMutex);
    if (!m_pump) {
        m_eventCv.wait(lock, [&] { return m_eventSet.load(); });
        return true;
    }
    for (;;) {
        if (m_eventCv.wait_for(lock, kPumpInterval, [&] { return m_eventSet.load(); })) return true;
        lock.unlock();
        bool goOn = m_pump();
        lock.lock();
        if (m_eventSet) return true;
        if (!goOn) return false;
    }
}

bool CCommuProcess::CheckEndCode(EndCodes table, uint16_t command, uint16_t endCode) {
    if (endCode == End::kNormal) return true;
    switch (table) {
    case EndCodes::Raw:
        if (endCode == End::kRelayed && command != 0x2913) return true;
        if (endCode == Mw::kEndTimeout) {
            ReportFailure(FailureKind::Exchange, Id::kTimeout, {}, endCode);
            return false;
        }
        if ((endCode & 0x7FFF) == End::kUnitMissing) {
            ReportFailure(FailureKind::EndCode, Id::kNoSuchUnit, {}, endCode);
            return false;
        }
        if (IsWriteCommand(command) && (endCode == End::kProtectedA || endCode == End::kProtectedB)) {
            ReportFailure(FailureKind::EndCode, Id::kProtected, {}, endCode);
            return false;
        }
        break;
    case EndCodes::ModeOnly:
        break;
    case EndCodes::WithTimeout:
        if (endCode == Mw::kEndTimeout) {
            ReportFailure(FailureKind::Exchange, Id::kTimeout, {}, endCode);
            return false;
        }
        break;
    case EndCodes::WithUnitMissing:
        if ((endCode & 0x7FFF) == End::kUnitMissing) {
            ReportFailure(FailureKind::EndCode, Id::kNoSuchUnit, {}, endCode);
            return false;
        }
        break;
    }
    // A time-out that this table does not name is still a time-out, not the unit's answer.
    ReportCode(endCode == Mw::kEndTimeout ? FailureKind::Exchange : FailureKind::EndCode, Id::kCommError, endCode);
    return false;
}

int CCommuProcess::Complete(EndCodes table, uint16_t kind, const uint8_t* result, uint16_t status) {
    int accepted = 0;
    {
        std::lock_guard<std::mutex> lock(m_responseMutex);
        if (kind != Mw::kCompletionKind || !result) {
            accepted = 0;
        } else if (Mw::Failed(status)) {
            ReportCode(FailureKind::Exchange, Id::kCommError, status);
            m_error = 1;
        } else {
            uint16_t command = Get16Host(result + CommandResult::kCommand);
            uint16_t endCode = Get16Host(result + CommandResult::kEndCode);
            uint16_t length = Get16Host(result + CommandResult::kDataLength);
            m_responseLength = length;
            m_responseData.clear();
            if (!CheckEndCode(table, command, endCode)) {
                m_error = 1;
            } else {
                m_endCode = endCode;
                const uint8_t* data = result + CommandResult::kData;
                m_responseData.assign(data, data + length);
                if (m_decoder && !m_decoder(*this, command, m_responseData.data(), m_responseData.size()))
                    m_error = 1;
                else
                    accepted = 1;
            }
        }
    }
    SignalEvent();
    return accepted;
}

int CCommuProcess::EnumDeviceHelper(const char* name, void* context) {
    auto* self = static_cast<CCommuProcess*>(context);
    if (self && name) self->m_deviceNames.emplace_back(name);
    return 1;
}

int CCommuProcess::RawZephExecuteHelper(uint16_t, uint16_t kind, const uint8_t* result, uint16_t status, void* context) {
    return static_cast<CCommuProcess*>(context)->Complete(EndCodes::Raw, kind, result, status);
}

int CCommuProcess::ReadModeHelper(uint16_t, uint16_t kind, const uint8_t* result, uint16_t status, void* context) {
    return static_cast<CCommuProcess*>(context)->Complete(EndCodes::ModeOnly, kind, result, status);
}

int CCommuProcess::ReadOtherNodeNumHelper(uint16_t, uint16_t kind, const uint8_t* result, uint16_t status,
                                          void* context) {
    return static_cast<CCommuProcess*>(context)->Complete(EndCodes::ModeOnly, kind, result, status);
}

int CCommuProcess::ReadFALinkExtendHelper(uint16_t, uint16_t kind, const uint8_t* result, uint16_t status,
                                          void* context) {
    return static_cast<CCommuProcess*>(context)->Complete(EndCodes::WithTimeout, kind, result, status);
}

int CCommuProcess::GetDataLinkStatusHelper(uint16_t, uint16_t kind, const uint8_t* result, uint16_t status,
                                           void* context) {
    return static_cast<CCommuProcess*>(context)->Complete(EndCodes::WithUnitMissing, kind, result, status);
}

int CCommuProcess::GetNodeStatusHelper(uint16_t, uint16_t kind, const uint8_t* result, uint16_t status,
                                       void* context) {
    return static_cast<CCommuProcess*>(context)->Complete(EndCodes::WithUnitMissing, kind, result, status);
}
