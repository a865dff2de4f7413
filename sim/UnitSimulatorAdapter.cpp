#include "sim/UnitSimulatorAdapter.h"

void CUnitSimulatorAdapter::Execute(uint16_t command, uint16_t selector, const std::vector<uint8_t>& data,
                                    uint16_t* endCode, std::vector<uint8_t>* reply) {
    ZephRequest request{command, selector, data};
    ZephReply answer = m_unit.Execute(request);
    *endCode = answer.endCode;
    *reply = std::move(answer.data);
}
