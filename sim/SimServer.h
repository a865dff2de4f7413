#pragma once
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <utility>

#include "comm/DatagramPeer.h"
#include "comm/ZephDatagram.h"
#include "sim/SimFaults.h"
#include "sim/SimUnit.h"

// Hosts simulated PLCs at network/node addresses and answers request datagrams, with faults.
// Destination 0/0 means the first PLC added (a PLC reached directly).
class CSimServer : public IDatagramPeer {
public:
    // End code for a destination no hosted PLC has.
    static constexpr uint16_t kEndNoRoute = 0x0102;
    // Bytes an oversize reply carries after its data.
    static constexpr size_t kOversizeBytes = 16;

    struct Counters {
        unsigned requests = 0;
        unsigned malformed = 0;
        unsigned dropped = 0;
        unsigned delayed = 0;
        unsigned duplicated = 0;
        unsigned strays = 0;
        unsigned truncated = 0;
        unsigned oversized = 0;
        unsigned endCodes = 0;  // end codes answered instead of executing
        unsigned noRoute = 0;
        unsigned stateErrors = 0;
    };

    explicit CSimServer(SimFaults faults = SimFaults());
    void SetFaults(const SimFaults& faults);
    void AddPlc(uint8_t network, uint8_t node, std::unique_ptr<ISimUnit> unit, std::string statePath = std::string());
    // Faults of one hosted PLC alone: the requests addressed to it get these in place of the
    // server's, drawn from their own generator and counted from here for the aimed ones. False
    // when no PLC is hosted there.
    bool SetPlcFaults(uint8_t network, uint8_t node, const SimFaults& faults);
    ISimUnit* Unit(uint8_t network, uint8_t node);
    // Runs change on the PLC's unit under the server's lock, so that the unit may be changed or
    // looked at while another thread serves it; false when no PLC is hosted there.
    bool WithUnit(uint8_t network, uint8_t node, const std::function<void(ISimUnit&)>& change);
    Counters Count() const;
    // Saves every PLC that has a state file; false with the first error.
    bool SaveStates(std::string* error) const;

    void Deliver(const std::vector<uint8_t>& request, std::vector<Scheduled>* replies) override;

private:
    struct Hosted {
        std::unique_ptr<ISimUnit> unit;
        std::string statePath;
        std::unique_ptr<SimFaults> faults;  // null: the server's
        std::mt19937 random;
        unsigned sinceFaults = 0;
    };
    static bool Draw(std::mt19937& random, double fraction);

    mutable std::mutex m_mutex;
    SimFaults m_faults;
    std::mt19937 m_random;
    std::map<std::pair<uint8_t, uint8_t>, Hosted> m_plcs;
    std::pair<uint8_t, uint8_t> m_first{0, 0};
    bool m_haveFirst = false;
    Counters m_count;
    uint32_t m_strayId = 0xF0000000u;
    // Requests since the faults were set, for the faults aimed at one request.
    unsigned m_sinceFaults = 0;
};
