#include "comm/LinkMiddleware.h"

#include <chrono>
#include <cstring>
#include <sstream>

#include "comm/InProcessTransport.h"
#include "comm/UdpTransport.h"

namespace {
constexpr uint16_t kDefaultPort = 9600;
constexpr const char* kDefaultHost = "127.0.0.1";
constexpr size_t kFinishedKept = 64;
// How long the worker looks for the next command before it sleeps: a sequence sends its next
// command within microseconds of a completion, and waking a sleeping worker costs more than a
// loopback round trip.
constexpr std::chrono::microseconds kWorkerSpin(200);

const std::vector<std::string>& BuiltInDeviceTypes() {
    static const std::vector<std::string> kTypes = {"VR4H", "VR4K", "VR3K", "VR3G", "ZephGateway",
                                                    "VR1A", "VR1B", "VR1C", "VR1D", "VR1E"};
    return kTypes;
}

std::string OneLine(const std::string& s) {
    std::string out;
    for (char c : s) out += (c == '\r' || c == '\n') ? ' ' : c;
    return out;
}

void Put16Host(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }
uint16_t Get16Host(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
}  // namespace

CLinkMiddleware::CLinkMiddleware(IClock& clock) : m_clock(clock), m_deviceTypes(BuiltInDeviceTypes()) {}

CLinkMiddleware::~CLinkMiddleware() { Shutdown(); }

uint16_t CLinkMiddleware::Initialize() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_initialised) return Mw::kOk;
    m_stop = false;
    if (!m_carryOnCaller) m_worker = std::thread([this] { WorkerLoop(); });
    m_initialised = true;
    return Mw::kOk;
}

void CLinkMiddleware::Shutdown() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialised) return;
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable()) m_worker.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& kv : m_plcs)
        if (kv.second->transport) kv.second->transport->Close();
    m_plcs.clear();
    m_projects.clear();
    m_blocks.clear();
    m_initialised = false;
}

uint16_t CLinkMiddleware::OpenProject(void*, MemoryStorage* storage, const std::string& identity, int,
                                      uint16_t* project) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised) return Mw::kNotInitialised;
    if (identity.empty() || identity.find_first_of("/\\") != std::string::npos) return Mw::kFileError;
    uint16_t handle = m_nextProject++;
    if (m_nextProject == 0) m_nextProject = 1;
    Project& p = m_projects[handle];
    p.identity = identity;
    p.storage = storage;
    *project = handle;
    // Entries still have to be added: not "nothing more to set up".
    return Mw::kOk;
}

uint16_t CLinkMiddleware::GetProjectFilePath(uint16_t project, std::string* path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_projects.find(project);
    if (it == m_projects.end()) return Mw::kBadHandle;
    // No file: the project lives in the storage only.
    path->clear();
    return Mw::kOk;
}

void CLinkMiddleware::CloseProject(uint16_t project) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_projects.erase(project);
}

uint16_t CLinkMiddleware::EnumDeviceTypes(EnumDeviceCallback callback, void* context) {
    std::vector<std::string> names;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialised) return Mw::kNotInitialised;
        names = m_deviceTypes;
    }
    for (const std::string& n : names)
        if (callback(n.c_str(), context) != 1) break;
    return Mw::kOk;
}

uint16_t CLinkMiddleware::SetOfferedDeviceTypes(const std::string& names) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_initialised) return Mw::kNotInitialised;
    m_offered = names;
    return Mw::kOk;
}

std::string CLinkMiddleware::OfferedDeviceTypes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_offered;
}

uint16_t CLinkMiddleware::AddPlcEntry(uint16_t project, const std::string& name, const std::string& deviceString,
                                      const std::string& comment, std::string* slot) {
    CDeviceString parsed;
    if (!parsed.Parse(deviceString) || deviceString.empty()) return Mw::kBadDeviceString;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_projects.find(project);
    if (it == m_projects.end()) return Mw::kBadHandle;
    if (name.empty()) return Mw::kUnknownEntry;
    Project& p = it->second;
    Entry& e = p.entries[name];
    if (e.slot.empty()) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04u", p.nextSlot++ % 10000);
        e.slot = buf;
    }
    e.deviceString = deviceString;
    e.comment = OneLine(comment);
    if (slot) *slot = e.slot;
    SaveProject(p);
    return Mw::kOk;
}

uint16_t CLinkMiddleware::RemovePlcEntry(uint16_t project, const std::string& name) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_projects.find(project);
    if (it == m_projects.end()) return Mw::kBadHandle;
    if (it->second.entries.erase(name) == 0) return Mw::kUnknownEntry;
    SaveProject(it->second);
    return Mw::kOk;
}

uint16_t CLinkMiddleware::EditPlcEntry(uint16_t project, const std::string&, const std::string& name,
                                       std::string* deviceString, std::string* comment) {
    Entry current;
    EntryEditor editor;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_projects.find(project);
        if (it == m_projects.end()) return Mw::kBadHandle;
        auto e = it->second.entries.find(name);
        if (e == it->second.entries.end()) return Mw::kUnknownEntry;
        current = e->second;
        editor = m_editor;
    }
    // No editor (no user interface): nothing was changed, as if the user cancelled.
    if (!editor) return Mw::kCancelled;
    std::string ds = current.deviceString;
    std::string cm = current.comment;
    if (!editor(name, &ds, &cm)) return Mw::kCancelled;
    CDeviceString parsed;
    if (ds.empty() || !parsed.Parse(ds)) return Mw::kBadDeviceString;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_projects.find(project);
    if (it == m_projects.end()) return Mw::kBadHandle;
    auto e = it->second.entries.find(name);
    if (e == it->second.entries.end()) return Mw::kUnknownEntry;
    e->second.deviceString = ds;
    e->second.comment = OneLine(cm);
    SaveProject(it->second);
    *deviceString = ds;
    *comment = e->second.comment;
    return Mw::kOk;
}

std::unique_ptr<ITransport> CLinkMiddleware::MakeTransport(const CDeviceString& endpoint, std::string* error) {
    std::string link = endpoint.Get("NET", "LINK");
    if (link == "SIM" || m_simulateAll) {
        if (!m_simPeer) {
            *error = "no simulated unit in this program";
            return nullptr;
        }
        return std::make_unique<CInProcessTransport>(*m_simPeer, m_clock);
    }
    if (!link.empty() && link != "UDP") {
        *error = "unknown link " + link;
        return nullptr;
    }
    std::string host = endpoint.Has("NET", "HOST") ? endpoint.Get("NET", "HOST") : std::string(kDefaultHost);
    long port = endpoint.GetNumber("NET", "PORT", kDefaultPort);
    if (host.empty() || port <= 0 || port > 65535) {
        *error = "bad host or port";
        return nullptr;
    }
    auto udp = std::make_unique<CUdpTransport>(m_clock);
    if (!udp->Open(host, static_cast<uint16_t>(port), error)) return nullptr;
    return udp;
}

uint16_t CLinkMiddleware::OpenPlc(uint16_t project, const std::string& name, int, uint16_t* plc) {
    CDeviceString target;
    CDeviceString endpoint;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_initialised) return Mw::kNotInitialised;
        auto it = m_projects.find(project);
        if (it == m_projects.end()) return Mw::kBadHandle;
        auto e = it->second.entries.find(name);
        if (e == it->second.entries.end()) {
            m_lastOpenError = "no PLC entry " + name;
            return Mw::kUnknownEntry;
        }
        if (!target.Parse(e->second.deviceString)) {
            m_lastOpenError = "malformed device string";
            return Mw::kBadDeviceString;
        }
        endpoint = target;
        // Through a gateway: its endpoint carries the datagram, the target's addresses route it.
        std::string gate = target.Get("NET", "GATE");
        if (!gate.empty()) {
            auto g = it->second.entries.find(gate);
            if (g == it->second.entries.end()) {
                m_lastOpenError = "no gateway entry " + gate;
                return Mw::kUnknownEntry;
            }
            if (!endpoint.Parse(g->second.deviceString)) {
                m_lastOpenError = "malformed gateway device string";
                return Mw::kBadDeviceString;
            }
        }
    }
    long network = target.GetNumber("ADDRESS", "DNA", 0);
    long node = target.GetNumber("ADDRESS", "DA1", 0);
    long timeout = target.GetNumber("NET", "TMO", 5000);
    if (network < 0 || network > 255 || node < 0 || node > 255 || timeout <= 0) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_lastOpenError = "address or time-out out of range";
        return Mw::kBadDeviceString;
    }
    auto p = std::make_shared<Plc>();
    std::string error;
    p->transport = MakeTransport(endpoint, &error);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!p->transport) {
        m_lastOpenError = error;
        return Mw::kNoTransport;
    }
    p->destination = {static_cast<uint8_t>(network), static_cast<uint8_t>(node), 0};
    p->timeout = std::chrono::milliseconds(timeout);
    uint16_t handle = m_nextPlc++;
    if (m_nextPlc == 0) m_nextPlc = 1;
    m_plcs[handle] = p;
    *plc = handle;
    m_lastOpenError.clear();
    return Mw::kOk;
}

std::vector<std::string> CLinkMiddleware::EntryNames(uint16_t project) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> names;
    auto it = m_projects.find(project);
    if (it != m_projects.end())
        for (const auto& kv : it->second.entries) names.push_back(kv.first);
    return names;
}

bool CLinkMiddleware::EntryOf(uint16_t project, const std::string& name, std::string* deviceString,
                              std::string* comment) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_projects.find(project);
    if (it == m_projects.end()) return false;
    auto e = it->second.entries.find(name);
    if (e == it->second.entries.end()) return false;
    *deviceString = e->second.deviceString;
    *comment = e->second.comment;
    return true;
}

std::string CLinkMiddleware::LastOpenError() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastOpenError;
}

void CLinkMiddleware::ClosePlc(uint16_t plc) {
    std::unique_lock<std::mutex> lock(m_mutex);
    auto it = m_plcs.find(plc);
    if (it == m_plcs.end()) return;
    std::shared_ptr<Plc> p = it->second;
    m_plcs.erase(it);
    // A command still under way ends by its own time-out at the latest.
    m_wake.wait(lock, [&] { return !p->busy; });
    p->transport->Close();
}

std::string CLinkMiddleware::ReadDeviceValue(const std::string& deviceString, const std::string& section,
                                             const std::string& key) {
    CDeviceString d;
    if (!d.Parse(deviceString)) return std::string();
    return d.Get(section, key);
}

uint16_t CLinkMiddleware::WriteDeviceValue(std::string* deviceString, const std::string& section,
                                           const std::string& key, const std::string& value) {
    CDeviceString d;
    if (!d.Parse(*deviceString)) return Mw::kBadDeviceString;
    if (section.empty() || key.empty() || section.find_first_of("[];:") != std::string::npos ||
        key.find_first_of("[];:") != std::string::npos || value.find(';') != std::string::npos)
        return Mw::kBadDeviceString;
    d.Set(section, key, value);
    *deviceString = d.Write();
    return Mw::kOk;
}

uint16_t CLinkMiddleware::AllocateBlock(int initialSize, int, uint32_t* block, uint8_t** address) {
    if (initialSize < static_cast<int>(CommandBlock::kData)) return Mw::kBlockTooLarge;
    std::lock_guard<std::mutex> lock(m_mutex);
    uint32_t h = m_nextBlock++;
    if (m_nextBlock == 0) m_nextBlock = 1;
    auto& b = m_blocks[h];
    b.assign(static_cast<size_t>(initialSize), 0);
    *block = h;
    *address = b.data();
    return Mw::kOk;
}

uint16_t CLinkMiddleware::SizeBlock(int, size_t dataLength, int, uint32_t block, uint8_t** address) {
    if (dataLength > Mw::kMaxCommandData) return Mw::kBlockTooLarge;
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_blocks.find(block);
    if (it == m_blocks.end()) return Mw::kBadHandle;
    if (it->second.size() < CommandBlock::kData + dataLength) it->second.resize(CommandBlock::kData + dataLength);
    *address = it->second.data();
    return Mw::kOk;
}

void CLinkMiddleware::FreeBlock(uint32_t block) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_blocks.erase(block);
}

uint16_t CLinkMiddleware::SendCommand(uint16_t plc, uint16_t kind, uint32_t block, int, CompletionCallback callback,
                                      void* context) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_initialised || m_stop) return Mw::kNotInitialised;
    auto p = m_plcs.find(plc);
    auto b = m_blocks.find(block);
    if (p == m_plcs.end() || b == m_blocks.end() || !callback) return Mw::kBadHandle;
    if (kind != Mw::kCompletionKind) return Mw::kBadHandle;
    if (p->second->busy) return Mw::kPlcBusy;
    const std::vector<uint8_t>& bytes = b->second;
    uint16_t length = Get16Host(bytes.data() + CommandBlock::kDataLength);
    if (length > Mw::kMaxCommandData || CommandBlock::kData + length > bytes.size()) return Mw::kBlockTooLarge;
    Job job;
    job.plcHandle = plc;
    job.plc = p->second;
    job.command = Get16Host(bytes.data() + CommandBlock::kCommand);
    job.selector = Get16Host(bytes.data() + CommandBlock::kSelector);
    job.data.assign(bytes.begin() + CommandBlock::kData, bytes.begin() + CommandBlock::kData + length);
    job.callback = callback;
    job.context = context;
    p->second->busy = true;
    job.requestId = m_nextRequestId++;
    if (m_nextRequestId == 0) m_nextRequestId = 1;
    lock.unlock();
    // The PLC is ours alone until its callback: the worker touches its transport only for a job.
    Transmit(job);
    if (m_carryOnCaller) {
        Carry(job);
        return Mw::kOk;
    }
    lock.lock();
    m_jobs.push_back(std::move(job));
    m_jobsQueued.store(true, std::memory_order_release);
    lock.unlock();
    m_wake.notify_all();
    return Mw::kOk;
}

void CLinkMiddleware::Transmit(Job& job) {
    ZephDatagram request;
    request.kind = ZephDatagram::kRequest;
    request.requestId = job.requestId;
    request.destination = job.plc->destination;
    request.destination.unit = job.selector;
    request.command = job.command;
    request.data = job.data;
    std::vector<uint8_t> bytes = EncodeDatagram(request);
    if (m_frameLog) m_frameLog(true, bytes);
    std::string error;
    job.sent = job.plc->transport->Send(bytes, &error);
}

void CLinkMiddleware::PrepareRoute(std::string* device, std::string* gateway, const std::string& gatewayEntry,
                                   IDatagramPeer* simulated, int timeoutMs) {
    if (simulated) {
        SetSimulatedPeer(simulated);
        WriteDeviceValue(gateway->empty() ? device : gateway, "NET", "LINK", "SIM");
    }
    if (!gateway->empty() && ReadDeviceValue(*device, "NET", "GATE").empty())
        WriteDeviceValue(device, "NET", "GATE", gatewayEntry);
    if (timeoutMs > 0) WriteDeviceValue(device, "NET", "TMO", std::to_string(timeoutMs));
}

CLinkMiddleware::DropCounters CLinkMiddleware::Dropped() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropped;
}

void CLinkMiddleware::WorkerLoop() {
    for (;;) {
        Job job;
        auto spinUntil = std::chrono::steady_clock::now() + (m_workerSpin ? kWorkerSpin : std::chrono::microseconds(0));
        while (!m_jobsQueued.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < spinUntil)
            std::this_thread::yield();
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stop || !m_jobs.empty(); });
            if (m_jobs.empty()) return;  // stopping, and every queued command answered
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_jobsQueued.store(!m_jobs.empty(), std::memory_order_relaxed);
        }
        Carry(job);
    }
}

void CLinkMiddleware::Remember(Plc& plc, uint32_t id, bool timedOut) {
    plc.finished.emplace_back(id, timedOut);
    if (plc.finished.size() > kFinishedKept) plc.finished.pop_front();
}

void CLinkMiddleware::Carry(Job& job) {
    Plc& plc = *job.plc;
    if (!job.sent) {
        Complete(job, Mw::kSendFailed, 0, {});
        return;
    }
    struct {
        uint32_t requestId;
        ZephAddress destination;
        uint16_t command;
    } request{job.requestId, plc.destination, job.command};
    IClock::TimePoint deadline = m_clock.Now() + plc.timeout;
    for (;;) {
        std::vector<uint8_t> in;
        ITransport::Receive r = plc.transport->ReceiveUntil(&in, deadline);
        if (r == ITransport::Receive::TimedOut) {
            Remember(plc, request.requestId, true);
            Complete(job, Mw::kOk, Mw::kEndTimeout, {});
            return;
        }
        if (r == ITransport::Receive::Failed) {
            Remember(plc, request.requestId, true);
            Complete(job, Mw::kSendFailed, 0, {});
            return;
        }
        if (m_frameLog) m_frameLog(false, in);
        ZephDatagram reply;
        DatagramCheck check = DecodeDatagram(in.data(), in.size(), &reply);
        bool ours = (check == DatagramCheck::Ok || check == DatagramCheck::BadLength) &&
                    reply.kind == ZephDatagram::kReply && reply.requestId == request.requestId &&
                    reply.command == request.command && reply.source.network == request.destination.network &&
                    reply.source.node == request.destination.node;
        if (ours && check == DatagramCheck::BadLength) {
            // Our reply, cut short: an error now rather than a time-out later.
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_dropped.malformed;
        }
        if (ours) {
            Remember(plc, request.requestId, false);
            if (check == DatagramCheck::BadLength)
                Complete(job, Mw::kBadReply, 0, {});
            else
                Complete(job, Mw::kOk, reply.endCode, reply.data);
            return;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (check != DatagramCheck::Ok && check != DatagramCheck::BadLength) {
            ++m_dropped.malformed;
            continue;
        }
        bool known = false;
        for (const auto& f : plc.finished) {
            if (f.first == reply.requestId && reply.kind == ZephDatagram::kReply) {
                ++(f.second ? m_dropped.late : m_dropped.duplicate);
                known = true;
                break;
            }
        }
        if (!known) {
            if (check == DatagramCheck::BadLength)
                ++m_dropped.malformed;
            else
                ++m_dropped.stray;
        }
    }
}

void CLinkMiddleware::Complete(Job& job, uint16_t status, uint16_t endCode, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> result(CommandResult::kData + data.size(), 0);
    Put16Host(result.data() + CommandResult::kCommand, job.command);
    Put16Host(result.data() + CommandResult::kEndCode, endCode);
    Put16Host(result.data() + CommandResult::kDataLength, static_cast<uint16_t>(data.size()));
    if (!data.empty()) std::memcpy(result.data() + CommandResult::kData, data.data(), data.size());
    {
        // Free before calling back: the callback releases the caller, who may send at once.
        std::lock_guard<std::mutex> lock(m_mutex);
        job.plc->busy = false;
    }
    m_wake.notify_all();
    job.callback(0, Mw::kCompletionKind, result.data(), status, job.context);
}

void CLinkMiddleware::SaveProject(const Project& p) {
    std::ostringstream out;
    out << "; LinkSmith project " << p.identity << "\n";
    for (const auto& kv : p.entries) {
        out << "[" << kv.first << "]\n";
        out << "Slot=" << kv.second.slot << "\n";
        out << "Device=" << kv.second.deviceString << "\n";
        out << "Comment=" << kv.second.comment << "\n";
    }
    if (p.storage) p.storage->bytes = out.str();
}
