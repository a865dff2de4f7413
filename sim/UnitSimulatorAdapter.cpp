#include "sim/UnitSimulatorAdapter.h"

void CUnitSimulatorAdapter::Execute(uint16_t command, uint16_t selector, const std::vector<uint8_t>& data,
                                    uint16_t* endCode, std::vector<uint8_t>* reply) {
    if (m_unitNumber) {
        const int unit = m_unitNumber();
        if (unit != m_unit.UnitNumber()) m_unit.SetUnitNumber(unit);
    }
    ZephRequest request{command, selector, data};
    ZephReply answer = m_unit.Execute(request);
    *endCode = answer.endCode;
    *reply = std::move(answer.data);
}
