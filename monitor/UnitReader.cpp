#include "monitor/UnitReader.h"

#include <algorithm>

#include "comm/DeviceString.h"
#include "comm/StatusReplies.h"

namespace {
// The monitor's entries live in memory only: it neither reads nor writes the program's profile.
constexpr const char* kNoProfile = "/nonexistent/linksmith-monitor.ini";
}  // namespace

CUnitReader::CUnitReader(MonitorTarget target, IDatagramPeer* simulated)
    : m_target(std::move(target)),
      m_simulated(simulated),
      m_middleware(m_clock),
      m_record(std::make_unique<CUnitSettings>()),
      m_comm(*m_record, m_prompter, m_middleware) {}

CUnitReader::~CUnitReader() {
    Close();
    if (!m_started) return;
    if (m_comm.m_projectHandle != 0) m_middleware.CloseProject(m_comm.m_projectHandle);
    m_middleware.Shutdown();
}

bool CUnitReader::Open(std::string* why) {
    if (m_open) return true;
    if (!m_started) {
        std::string device = m_target.device.empty() ? std::string(CCommuProcess::kDefaultDeviceString) : m_target.device;
        std::string gateway = m_target.gateway;
        CDeviceString check;
        if (!check.Parse(device) || (!gateway.empty() && !check.Parse(gateway))) {
            *why = "malformed device string";
            return false;
        }
        m_middleware.PrepareRoute(&device, &gateway, CCommuProcess::kGatewayEntry, m_simulated, m_target.timeoutMs);
        m_comm.SetProfileFile(kNoProfile);
        m_comm.SetLaunchConfiguration(device, gateway);
        m_comm.SetUnitNumber(m_target.unit);
        m_started = true;
        if (!m_comm.Initialize() || !m_comm.OpenProject()) {
            *why = m_prompter.last;
            return false;
        }
    }
    m_prompter.last.clear();
    if (!m_comm.OpenPlc()) {
        const std::string reason = m_middleware.LastOpenError();
        *why = reason.empty() ? m_prompter.last : reason;
        return false;
    }
    m_open = true;
    return true;
}

void CUnitReader::Close() {
    if (!m_open) return;
    m_comm.ClosePlc();
    m_open = false;
}

bool CUnitReader::ReadHistoryCount() {
    // The first window of the history read: the counts, and up to 20 records beside them.
    m_comm.m_historyStart = 0;
    m_comm.m_historyCount = 20;
    m_comm.m_error = 0;
    auto decoder = [](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
        return CStatusReplies::DecodeHistory(0, d, n, self.Settings().status) || self.ReportBadReply(cmd);
    };
    return m_comm.RunCommand(0x2102, m_comm.m_unitNumber, CStatusReplies::HistoryRequest(0, 20), decoder) &&
           m_comm.m_error == 0;
}

MonitorReading CUnitReader::Read() {
    MonitorReading reading;
    const auto start = std::chrono::steady_clock::now();
    std::string why;
    bool ok = Open(&why);
    if (ok) {
        m_prompter.last.clear();
        ok = m_comm.ReadDataLinkStatus() && m_comm.ReadNetworkStatus() && m_comm.ReadErrorStatusWord() &&
             m_comm.ReadCycleTime() && (m_wholeHistory ? m_comm.ReadErrorHistory() : ReadHistoryCount());
        if (!ok) {
            why = m_prompter.last;
            Close();
        }
    }
    reading.time = std::chrono::system_clock::now();
    reading.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!ok) {
        reading.failure = why.empty() ? std::string("no answer") : why;
        return reading;
    }
    const StatusArea& s = m_record->status;
    reading.ok = true;
    for (int n = 0; n < 256; ++n) {
        reading.dataLink[n] = s.participation[n] != 0;
        // Entry n - 1 holds node n; node 0 has none.
        if (n == 0) continue;
        const NodeStatusEntry& e = s.nodeStatus[n - 1];
        reading.nodes[n] = {e.areaAllocError != 0, e.participating != 0, e.upperLayerError != 0,
                            e.upperLayerRunning != 0};
    }
    reading.errorStatusWord = s.errorStatusWord;
    reading.cycle = s.cycleTime;
    reading.historyMax = s.historyMaxRecords;
    reading.historyStored = s.historyStored;
    reading.historyRead = m_wholeHistory;
    if (m_wholeHistory) {
        const int count = std::min<int>(s.historyStored, kMaxHistoryRecords);
        reading.history.assign(s.historyRecords, s.historyRecords + count);
    }
    return reading;
}
