#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "comm/Clock.h"
#include "comm/DatagramPeer.h"
#include "comm/DeviceString.h"
#include "comm/Middleware.h"
#include "comm/Transport.h"
#include "comm/ZephDatagram.h"

// Our middleware: projects and PLC entries in memory (with a project file), transports chosen
// from the device strings, and one worker thread that carries out sends and calls back.
class CLinkMiddleware : public IMiddleware {
public:
    // Lets the user edit an entry; false means cancelled.
    using EntryEditor = std::function<bool(const std::string& name, std::string* deviceString, std::string* comment)>;
    // outgoing true for a sent datagram.
    using FrameLog = std::function<void(bool outgoing, const std::vector<uint8_t>& datagram)>;

    struct DropCounters {
        unsigned stray = 0;      // a request id never sent, or from someone else
        unsigned duplicate = 0;  // a second reply to a completed request
        unsigned late = 0;       // a reply to a request that had already timed out
        unsigned malformed = 0;  // not a datagram of ours, or cut short
    };

    // Projects are kept in memory only (their text in the storage handed to OpenProject): the
    // programs keep their connection entries in the profile section "VLCProject" instead.
    explicit CLinkMiddleware(IClock& clock);
    ~CLinkMiddleware() override;

    void SetEntryEditor(EntryEditor editor) { m_editor = std::move(editor); }
    // The simulated unit behind "LINK:SIM" entries; without it such an entry cannot be opened.
    void SetSimulatedPeer(IDatagramPeer* peer) { m_simPeer = peer; }
    // Every entry goes to the simulated unit, whatever its device string names (--simulate).
    void SetSimulateAll(bool all) { m_simulateAll = all; }
    // Readies the device strings a program connects through: with simulated, the endpoint (the
    // gateway when there is one, else the device) goes to that simulated unit; with a gateway,
    // the device reaches it through the entry gatewayEntry unless it names its own "GATE";
    // timeoutMs above 0 replaces the device's "TMO".
    void PrepareRoute(std::string* device, std::string* gateway, const std::string& gatewayEntry,
                      IDatagramPeer* simulated, int timeoutMs);
    void SetFrameLog(FrameLog log) { m_frameLog = std::move(log); }
    // Whether the worker spins briefly for the next command before it sleeps (the default). Off
    // for many middlewares working at once, before Initialize.
    void SetWorkerSpin(bool spin) { m_workerSpin = spin; }
    // Whether SendCommand carries the command itself, on the caller's thread, and calls back
    // before it returns, with no worker thread at all. For callers that wait for every command
    // anyway and never stop one mid-way: many units worked side by side then need one thread
    // each instead of two. Set before Initialize.
    void SetCarryOnCaller(bool onCaller) { m_carryOnCaller = onCaller; }
    void SetDeviceTypes(std::vector<std::string> names) { m_deviceTypes = std::move(names); }
    DropCounters Dropped() const;
    std::string OfferedDeviceTypes() const;
    // Why the last OpenPlc failed, for logs and the command-line tool.
    std::string LastOpenError() const;
    // Entry names of a project, and one entry's device string and comment (empty when unknown).
    std::vector<std::string> EntryNames(uint16_t project) const;
    bool EntryOf(uint16_t project, const std::string& name, std::string* deviceString, std::string* comment) const;

    uint16_t Initialize() override;
    void Shutdown() override;
    uint16_t OpenProject(void* window, MemoryStorage* storage, const std::string& identity, int mode,
                         uint16_t* project) override;
    uint16_t GetProjectFilePath(uint16_t project, std::string* path) override;
    void CloseProject(uint16_t project) override;
    uint16_t EnumDeviceTypes(EnumDeviceCallback callback, void* context) override;
    uint16_t SetOfferedDeviceTypes(const std::string& commaSeparatedNames) override;
    uint16_t AddPlcEntry(uint16_t project, const std::string& name, const std::string& deviceString,
                         const std::string& comment, std::string* slot) override;
    uint16_t RemovePlcEntry(uint16_t project, const std::string& name) override;
    uint16_t EditPlcEntry(uint16_t project, const std::string& slot, const std::string& name,
                          std::string* deviceString, std::string* comment) override;
    uint16_t OpenPlc(uint16_t project, const std::string& name, int mode, uint16_t* plc) override;
    void ClosePlc(uint16_t plc) override;
    std::string ReadDeviceValue(const std::string& deviceString, const std::string& section,
                                const std::string& key) override;
    uint16_t WriteDeviceValue(std::string* deviceString, const std::string& section, const std::string& key,
                              const std::string& value) override;
    uint16_t AllocateBlock(int initialSize, int flags, uint32_t* block, uint8_t** address) override;
    uint16_t SizeBlock(int reserved, size_t dataLength, int flags, uint32_t block, uint8_t** address) override;
    uint16_t SendCommand(uint16_t plc, uint16_t kind, uint32_t block, int mode, CompletionCallback callback,
                         void* context) override;
    void FreeBlock(uint32_t block) override;

private:
    struct Entry {
        std::string deviceString;
        std::string comment;
        std::string slot;
    };
    struct Project {
        std::string identity;
        MemoryStorage* storage = nullptr;
        std::map<std::string, Entry> entries;
        unsigned nextSlot = 1;
    };
    struct Plc {
        std::unique_ptr<ITransport> transport;
        ZephAddress destination;
        std::chrono::milliseconds timeout{5000};
        bool busy = false;
        // Ids already answered or given up, newest last: tells duplicates and late replies from strays.
        std::deque<std::pair<uint32_t, bool>> finished;  // (id, timed out)
    };
    struct Job {
        uint16_t plcHandle;
        std::shared_ptr<Plc> plc;
        uint16_t command;
        uint16_t selector;
        std::vector<uint8_t> data;
        CompletionCallback callback;
        void* context;
        uint32_t requestId = 0;
        bool sent = false;
    };

    void WorkerLoop();
    // Sends on the caller's thread, so the worker only waits for the reply.
    void Transmit(Job& job);
    void Carry(Job& job);
    void Complete(Job& job, uint16_t status, uint16_t endCode, const std::vector<uint8_t>& data);
    void Remember(Plc& plc, uint32_t id, bool timedOut);
    void SaveProject(const Project& p);
    std::unique_ptr<ITransport> MakeTransport(const CDeviceString& endpoint, std::string* error);

    IClock& m_clock;
    EntryEditor m_editor;
    IDatagramPeer* m_simPeer = nullptr;
    bool m_simulateAll = false;
    bool m_workerSpin = true;
    bool m_carryOnCaller = false;
    FrameLog m_frameLog;
    std::vector<std::string> m_deviceTypes;
    std::string m_offered;
    bool m_initialised = false;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;  // jobs queued, a PLC done, or stop
    std::map<uint16_t, Project> m_projects;
    std::map<uint16_t, std::shared_ptr<Plc>> m_plcs;
    std::map<uint32_t, std::vector<uint8_t>> m_blocks;
    std::deque<Job> m_jobs;
    std::atomic<bool> m_jobsQueued{false};  // m_jobs is not empty; written under m_mutex, read bare while spinning
    DropCounters m_dropped;
    std::string m_lastOpenError;
    uint16_t m_nextProject = 1;
    uint16_t m_nextPlc = 1;
    uint32_t m_nextBlock = 1;
    uint32_t m_nextRequestId = 1;
    bool m_stop = false;
    std::thread m_worker;
};
