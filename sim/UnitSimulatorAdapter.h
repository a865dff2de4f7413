#pragma once
#include <functional>

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
    // Before each command the unit takes the unit number unitNumber() gives: the program's
    // simulated unit sits at the unit number of the file it has open (the one its status bar
    // shows), so a command addressed to any other number is answered as by a PLC without that unit.
    // Called on the thread that sends the command.
    void FollowUnitNumber(std::function<int()> unitNumber) { m_unitNumber = std::move(unitNumber); }

private:
    CUnitSimulator m_unit;
    std::function<int()> m_unitNumber;
};
