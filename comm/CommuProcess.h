#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "comm/Middleware.h"
#include "model/Prompter.h"
#include "model/UnitSettings.h"
#include "model/VerifyResult.h"

// The communication object: the connection to the PLC through the middleware, and the execution
// of one ZEPH command at a time with its completion callback.
class CCommuProcess : public IConnectionSink {
public:
    // Lets the user interface work while a command is awaited; false when the program is quitting.
    using PumpHook = std::function<bool()>;
    // Called on a good response with the response data; false when the data could not be decoded,
    // after the decoder has shown its one message.
    using ResponseDecoder = std::function<bool(CCommuProcess& self, uint16_t command, const uint8_t* data,
                                               size_t length)>;
    // Progress of a mapping table moved through the extension area in chunks: (0, n) before the
    // first of n chunks, then (k, n) once the k-th has completed. Called on the sending thread.
    using ChunkProgress = std::function<void(int done, int total)>;

    static constexpr const char* kDirectEntry = "PLC-LinkSmith";
    static constexpr const char* kGatewayEntry = "Gateway";
    static constexpr const char* kDefaultDeviceString = "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;NET:HWSP;TMO:5000;";
    static constexpr const char* kProfileSection = "VLCProject";
    // Device types never offered: the gateway software and the older PLC series.
    static constexpr const char* kExcludedDeviceTypes = "ZephGateway,VR1A,VR1B,VR1C,VR1D,VR1E";

    CCommuProcess(CUnitSettings& settings, IPrompter& prompter, IMiddleware& middleware, PumpHook pump = {});
    ~CCommuProcess() override;
    CCommuProcess(const CCommuProcess&) = delete;
    CCommuProcess& operator=(const CCommuProcess&) = delete;

    // Where "VLCProject" lives (CProfileFile::DefaultPath() unless set) and the device catalog file.
    void SetProfileFile(const std::string& path) { m_profileFile = path; }
    // No profile at all: the entries are neither read from one nor written back at shutdown. For
    // many objects working at once, each with its own connection, which must not all rewrite one file.
    void UseNoProfile() { m_noProfile = true; }
    void SetCatalogFile(const std::string& path) { m_catalogFile = path; }
    // Launch parameters that override the entries (device strings; empty = not given).
    void SetLaunchConfiguration(const std::string& target, const std::string& relay) {
        m_targetConfig = target;
        m_relayConfig = relay;
    }
    void SetPumpHook(PumpHook pump) { m_pump = std::move(pump); }
    // Whether a wait spins briefly before it sleeps (the default). Off for many objects working
    // at once: their spins would only take the processors from the ones with work to do.
    void SetSpinBeforeWait(bool spin) { m_spinBeforeWait = spin; }
    void SetChunkProgress(ChunkProgress progress) { m_chunkProgress = std::move(progress); }
    void ReportChunks(int done, int total) {
        if (m_chunkProgress) m_chunkProgress(done, total);
    }

    // Connection and target.
    bool Initialize();
    bool OpenProject();
    bool AddPlcEntry(const std::string& name);
    bool RemovePlcEntry(const std::string& name);
    bool ChangePlcEntry(const std::string& name);
    void SetConnectionType(int type) override;
    bool UseDirectConnection(bool edit);
    bool UseGatewayConnection(bool edit);
    bool OpenPlc();
    void ClosePlc();
    void Shutdown();

    int GetNetworkAddress() const;
    int GetNodeAddress() const;
    int GetFrameSize() const;
    std::string GetNetworkTypeLabel() const;
    std::string GetPlcDescription() const;
    std::string GetGatewayDescription() const;

    const std::string& DirectDeviceString() const { return m_direct.deviceString; }
    const std::string& GatewayDeviceString() const { return m_gateway.deviceString; }
    const std::string& DirectComment() const { return m_direct.comment; }
    const std::string& GatewayComment() const { return m_gateway.comment; }
    int ConnectionType() const { return m_connectionType; }
    const std::vector<std::string>& DeviceNames() const { return m_deviceNames; }

    // IConnectionSink: the settings file hands over what it names.
    void SetGatewayDeviceString(const std::string& deviceString) override;
    void SetDirectDeviceString(const std::string& deviceString) override;
    void SetUnitNumber(unsigned unitNumber) override;

    // Command execution. ExecuteCommand clears m_error, fills and sends one block; true when the
    // middleware accepted it (the caller then waits). A refused send is reported and sets m_error.
    bool ExecuteCommand(uint16_t command, uint16_t selector, const std::vector<uint8_t>& data,
                        ResponseDecoder decoder = {}, CompletionCallback callback = &RawZephExecuteHelper);
    // The whole pattern: send, wait when accepted; true when no failure was reported.
    bool RunCommand(uint16_t command, uint16_t selector, const std::vector<uint8_t>& data,
                    ResponseDecoder decoder = {}, CompletionCallback callback = &RawZephExecuteHelper);
    bool WaitForCompletion();

    static int EnumDeviceHelper(const char* name, void* context);
    static int RawZephExecuteHelper(uint16_t value, uint16_t kind, const uint8_t* result, uint16_t status,
                                    void* context);
    static int ReadModeHelper(uint16_t value, uint16_t kind, const uint8_t* result, uint16_t status, void* context);
    static int ReadOtherNodeNumHelper(uint16_t value, uint16_t kind, const uint8_t* result, uint16_t status,
                                      void* context);
    static int ReadFALinkExtendHelper(uint16_t value, uint16_t kind, const uint8_t* result, uint16_t status,
                                      void* context);
    static int GetDataLinkStatusHelper(uint16_t value, uint16_t kind, const uint8_t* result, uint16_t status,
                                       void* context);
    static int GetNodeStatusHelper(uint16_t value, uint16_t kind, const uint8_t* result, uint16_t status,
                                   void* context);

    // Unit parameter transfer (defined with the transfer commands).
    bool ReadUnitFromPlc();
    bool WriteUnitToPlc();
    bool VerifyUnitWithPlc();
    bool ReadControllerData();
    // Status and diagnostics (defined with the status commands).
    bool ReadDataLinkStatus();
    bool ReadNetworkStatus();
    bool ReadErrorStatusWord();
    bool ReadNodeInformation(int node);
    bool ReadCycleTime();
    bool ReadMessageSequence();
    // Response index of the message sequence read (0-7).
    int m_sequenceIndex = 0;
    bool ReadErrorHistory();
    bool ClearErrorHistory();

    // Connection fields.
    uint16_t m_projectHandle = 0;
    uint16_t m_plcHandle = 0;
    uint16_t m_unitNumber = 0;
    int32_t m_connectionType = 0;

    // Command fields.
    int32_t m_responseLength = 512;
    // End code of the last response that reached its decoder (node information keeps it).
    uint16_t m_endCode = 0;
    std::vector<uint8_t> m_responseData;
    int32_t m_error = 0;
    int32_t m_verifyMode = 0;
    int32_t m_mapMethod = 0;
    int32_t m_plcMethodForVerify = 0;
    int32_t m_nodeCount = 0;
    int32_t m_recordsDone = 0;
    int32_t m_recordsInChunk = 0;
    std::string m_unitModel;
    // Rows of the last verify; cleared when a verify starts.
    CVerifyResult m_verifyResult;
    uint16_t m_historyStart = 0;
    uint16_t m_historyCount = 20;
    uint8_t m_nodeParam = 0;

    // What the last failure reported by this object was, so that a caller can tell the kinds
    // apart (the command-line tool's exit status): NotSent, no command could be built or sent;
    // Exchange, the middleware, a time-out or an unusable reply; EndCode, the unit answered with
    // a failure end code. Cleared when a command is sent.
    enum class FailureKind { None, NotSent, Exchange, EndCode };
    struct Failure {
        FailureKind kind = FailureKind::None;
        int messageId = 0;
        std::vector<std::string> inserts;
        int code = -1;  // the end code or middleware status the message shows; -1 when none
    };
    const Failure& LastFailure() const { return m_failure; }
    // Shows the failure's message and keeps it as the last failure.
    void ReportFailure(FailureKind kind, int messageId, std::vector<std::string> inserts = {}, int code = -1);
    // A reply too short or otherwise unfit to decode: one message naming the command, and false
    // for the decoder to return. The failure keeps the end code the reply came with.
    bool ReportBadReply(uint16_t command);

    CUnitSettings& Settings() { return m_settings; }
    IPrompter& Prompter() { return m_prompter; }
    IMiddleware& Middleware() { return m_middleware; }

private:
    struct PlcEntry {
        std::string name;
        std::string deviceString;
        std::string comment;
        std::string slot;
    };
    // Which end-code table a callback applies.
    enum class EndCodes { Raw, ModeOnly, WithTimeout, WithUnitMissing };

    PlcEntry* EntryByName(const std::string& name);
    bool AddWithRetry(const std::string& name);
    void MirrorDeviceStrings();
    std::string Describe(const std::string& deviceString) const;
    std::string ProfileFile() const;
    int Complete(EndCodes table, uint16_t kind, const uint8_t* result, uint16_t status);
    bool CheckEndCode(EndCodes table, uint16_t command, uint16_t endCode);
    void ResetEvent();
    void SignalEvent();
    void ReportCode(FailureKind kind, int id, uint16_t code);

    CUnitSettings& m_settings;
    IPrompter& m_prompter;
    IMiddleware& m_middleware;
    PumpHook m_pump;
    ChunkProgress m_chunkProgress;
    Failure m_failure;

    bool m_initialised = false;
    MemoryStorage* m_storage = nullptr;
    std::string m_projectFile;
    PlcEntry m_direct;
    PlcEntry m_gateway;
    std::string m_profileFile;
    bool m_noProfile = false;
    bool m_spinBeforeWait = true;
    std::string m_catalogFile;
    std::string m_targetConfig;
    std::string m_relayConfig;
    std::vector<std::string> m_deviceNames;

    // The decoder of the command under way; set before the send, read by its callback.
    ResponseDecoder m_decoder;
    // Guards the response fields against a callback that comes after the wait was given up.
    std::mutex m_responseMutex;

    // Manual-reset completion event.
    std::mutex m_eventMutex;
    std::condition_variable m_eventCv;
    std::atomic<bool> m_eventSet{false};  // written under m_eventMutex; read bare while spinning
};
