#pragma once
#include "sim/SimUnit.h"
#include "sim/UnitSimulator.h"

// Hosts the simulated unit's command logic in the simulator server.
class CUnitSimulatorAdapter : public ISimUnit {
public:
    void Execute(uint16_t command, uint16_t selector, const std::vector<uint8_t>& data, uint16_t* endCode,
                 std::vector<uint8_t>* reply) override;
    bool LoadState(const std::string& path, std::string* error) override { return m_unit.LoadState(path, error); }
    bool SaveState(const std::string& path, std::string* error) const override {
        return m_unit.SaveState(path, error);
    }
    CUnitSimulator& Unit() { return m_unit; }

private:
    CUnitSimulator m_unit;
};
