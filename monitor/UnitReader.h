#pragma once
#include <memory>

#include "comm/Clock.h"
#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "monitor/CapturePrompter.h"
#include "monitor/MonitorReading.h"
#include "monitor/MonitorTarget.h"

class IDatagramPeer;

// Reads one unit's status records for the monitor, with a middleware and a communication object
// of its own: units are read side by side without sharing one, and one reader never has two
// exchanges outstanding. Not thread-safe: one thread reads through a reader at a time.
class CUnitReader {
public:
    // simulated: the in-process simulated unit every entry goes to (null: the device string's).
    explicit CUnitReader(MonitorTarget target, IDatagramPeer* simulated = nullptr);
    ~CUnitReader();
    CUnitReader(const CUnitReader&) = delete;
    CUnitReader& operator=(const CUnitReader&) = delete;

    // Every stored error history record (up to four exchanges) or only their count (one).
    void SetWholeHistory(bool whole) { m_wholeHistory = whole; }
    const MonitorTarget& Target() const { return m_target; }

    // Data link, network status, error status word, cycle time and error history, stopping at
    // the first failure. The PLC stays open between reads; a failure closes it, so the next read
    // starts on a fresh connection and no late reply of this one is taken for the next.
    MonitorReading Read();

private:
    bool Open(std::string* why);
    void Close();
    bool ReadHistoryCount();

    MonitorTarget m_target;
    IDatagramPeer* m_simulated;
    bool m_wholeHistory = true;
    CSystemClock m_clock;
    CLinkMiddleware m_middleware;
    CCapturePrompter m_prompter;
    std::unique_ptr<CUnitSettings> m_record;
    CCommuProcess m_comm;
    bool m_started = false;
    bool m_open = false;
};
