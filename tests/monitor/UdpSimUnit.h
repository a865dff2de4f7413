#pragma once
// A simulated unit served over UDP from inside the test, so the test can change its state (or
// stop answering) while a program of ours watches it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/common/LoopbackSim.h"

class UdpSimUnit {
public:
    // plcs: the node addresses (network 0) hosted, each with the state text given.
    explicit UdpSimUnit(const std::string& state, std::vector<int> nodes = {0}) {
        for (int node : nodes) {
            auto unit = std::make_unique<CUnitSimulatorAdapter>();
            std::string error;
            m_loaded = unit->Unit().LoadStateText(state, &error) && m_loaded;
            m_sim.AddPlc(0, static_cast<uint8_t>(node), std::move(unit));
        }
        Serve(0);
    }
    ~UdpSimUnit() { Halt(); }
    bool Loaded() const { return m_loaded && m_port != 0; }
    int Port() const { return m_port; }
    std::string Device(int node = 0, int timeoutMs = 1000) const {
        std::string d = "[NET]HOST:127.0.0.1;PORT:" + std::to_string(m_port) + ";TMO:" + std::to_string(timeoutMs) + ";";
        if (node) d += "[ADDRESS]DNA:0;DA1:" + std::to_string(node) + ";";
        return d;
    }
    // Changes the unit at node under the server's lock.
    void Change(const std::function<void(CUnitSimulator&)>& change, int node = 0) {
        m_sim.WithUnit(0, static_cast<uint8_t>(node),
                       [&](ISimUnit& u) { change(static_cast<CUnitSimulatorAdapter&>(u).Unit()); });
    }
    // Stops answering (the port closes); Serve again on the same port.
    void Halt() { m_server.reset(); }
    bool Serve(int port) {
        m_server = std::make_unique<LoopbackSim>(m_sim);
        std::string error;
        if (!m_server->Start(&error, "127.0.0.1", static_cast<uint16_t>(port))) return false;
        m_port = m_server->Port();
        return true;
    }
    CSimServer& Sim() { return m_sim; }

private:
    CSimServer m_sim;
    std::unique_ptr<LoopbackSim> m_server;
    int m_port = 0;
    bool m_loaded = true;
};
