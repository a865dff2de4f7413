#include "sim/SimServer.h"

#include <algorithm>

CSimServer::CSimServer(SimFaults faults) : m_faults(std::move(faults)), m_random(m_faults.seed) {}

void CSimServer::SetFaults(const SimFaults& faults) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults = faults;
    m_random.seed(faults.seed);
    m_sinceFaults = 0;
}

void CSimServer::AddPlc(uint8_t network, uint8_t node, std::unique_ptr<ISimUnit> unit, std::string statePath) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_haveFirst) {
        m_first = {network, node};
        m_haveFirst = true;
    }
    Hosted& h = m_plcs[{network, node}];
    h.unit = std::move(unit);
    h.statePath = std::move(statePath);
    h.faults.reset();
}

bool CSimServer::SetPlcFaults(uint8_t network, uint8_t node, const SimFaults& faults) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_plcs.find({network, node});
    if (it == m_plcs.end()) return false;
    it->second.faults = std::make_unique<SimFaults>(faults);
    it->second.random.seed(faults.seed);
    it->second.sinceFaults = 0;
    return true;
}

ISimUnit* CSimServer::Unit(uint8_t network, uint8_t node) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_plcs.find({network, node});
    return it == m_plcs.end() ? nullptr : it->second.unit.get();
}

bool CSimServer::WithUnit(uint8_t network, uint8_t node, const std::function<void(ISimUnit&)>& change) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_plcs.find({network, node});
    if (it == m_plcs.end()) return false;
    change(*it->second.unit);
    return true;
}

CSimServer::Counters CSimServer::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
}

bool CSimServer::SaveStates(std::string* error) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& kv : m_plcs)
        if (!kv.second.statePath.empty() && !kv.second.unit->SaveState(kv.second.statePath, error)) return false;
    return true;
}

bool CSimServer::Draw(std::mt19937& random, double fraction) {
    // Always draw, so one fault's setting does not shift the choices of the others.
    uint32_t r = random();
    if (fraction <= 0) return false;
    if (fraction >= 1) return true;
    return r < static_cast<uint32_t>(fraction * 4294967295.0);
}

void CSimServer::Deliver(const std::vector<uint8_t>& bytes, std::vector<Scheduled>* replies) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ZephDatagram request;
    if (DecodeDatagram(bytes.data(), bytes.size(), &request) != DatagramCheck::Ok ||
        request.kind != ZephDatagram::kRequest) {
        ++m_count.malformed;
        return;
    }
    ++m_count.requests;
    std::pair<uint8_t, uint8_t> address{request.destination.network, request.destination.node};
    if (address == std::make_pair<uint8_t, uint8_t>(0, 0) && m_haveFirst) address = m_first;
    auto plc = m_plcs.find(address);
    // A PLC with faults of its own draws from its own generator, so the others see the same
    // choices as without it.
    const bool own = plc != m_plcs.end() && plc->second.faults;
    const SimFaults& faults = own ? *plc->second.faults : m_faults;
    std::mt19937& random = own ? plc->second.random : m_random;
    bool drop = Draw(random, faults.dropFraction);
    bool late = Draw(random, faults.delayFraction);
    bool twice = Draw(random, faults.duplicateFraction);
    bool stray = Draw(random, faults.strayFraction);
    bool cut = Draw(random, faults.truncateFraction);
    bool over = Draw(random, faults.oversizeFraction);
    const unsigned number = own ? ++plc->second.sinceFaults : ++m_sinceFaults;
    auto aimed = faults.at.find(number);
    if (aimed != faults.at.end()) {
        drop = drop || aimed->second == SimFaults::Kind::Drop;
        late = late || aimed->second == SimFaults::Kind::Delay;
        twice = twice || aimed->second == SimFaults::Kind::Duplicate;
        stray = stray || aimed->second == SimFaults::Kind::Stray;
        cut = cut || aimed->second == SimFaults::Kind::Truncate;
        over = over || aimed->second == SimFaults::Kind::Oversize;
    }
    if (drop) {
        ++m_count.dropped;
        return;
    }

    ZephDatagram reply;
    reply.kind = ZephDatagram::kReply;
    reply.requestId = request.requestId;
    reply.source = request.destination;
    reply.destination = request.source;
    reply.command = request.command;
    auto forced = faults.endCodes.find(request.command);
    auto forcedHere = faults.endCodeAt.find(number);
    if (plc == m_plcs.end()) {
        ++m_count.noRoute;
        reply.endCode = kEndNoRoute;
    } else if (forcedHere != faults.endCodeAt.end()) {
        ++m_count.endCodes;
        reply.endCode = forcedHere->second;
    } else if (forced != faults.endCodes.end()) {
        ++m_count.endCodes;
        reply.endCode = forced->second;
    } else {
        plc->second.unit->Execute(request.command, request.destination.unit, request.data, &reply.endCode, &reply.data);
        if (reply.data.size() > ZephDatagram::kMaxData) reply.data.resize(ZephDatagram::kMaxData);
        // Kept after every command, so a killed simulator loses nothing.
        std::string error;
        if (!plc->second.statePath.empty() && !plc->second.unit->SaveState(plc->second.statePath, &error))
            ++m_count.stateErrors;
    }

    // The unit's processing time: the reply is scheduled, never waited for here, so a slow unit
    // holds back no other PLC's reply.
    std::chrono::milliseconds when = late ? faults.delay : std::chrono::milliseconds(0);
    if (late) ++m_count.delayed;
    if (stray) {
        ZephDatagram s = reply;
        s.requestId = m_strayId++;
        replies->push_back({when, EncodeDatagram(s)});
        ++m_count.strays;
    }
    if (over && !faults.oversizeUncounted) {
        ++m_count.oversized;
        size_t room = ZephDatagram::kMaxData - std::min(reply.data.size(), ZephDatagram::kMaxData);
        reply.data.insert(reply.data.end(), std::min(room, kOversizeBytes), 0xA5);
    }
    std::vector<uint8_t> out = EncodeDatagram(reply);
    if (over && faults.oversizeUncounted) {
        ++m_count.oversized;
        out.insert(out.end(), kOversizeBytes, 0xA5);
    }
    if (cut) {
        ++m_count.truncated;
        size_t header = ZephDatagram::kReplyHeader;
        if (faults.truncateHeader)
            out.resize(header / 2);
        else
            out.resize(out.size() > header ? header + (out.size() - header) / 2 : header - 1);
    }
    replies->push_back({when, out});
    if (twice) {
        ++m_count.duplicated;
        replies->push_back({when, out});
    }
}
