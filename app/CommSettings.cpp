#include "app/CommSettings.h"

#include "comm/CommuProcess.h"

namespace {
// Descriptions read "device_CPU"; the dialog shows them with "-".
std::string Dashed(std::string text) {
    for (char& c : text)
        if (c == '_') c = '-';
    return text;
}
}  // namespace

CCommSettings::CCommSettings(CCommuProcess& commu, CUnitSettings& record, std::function<void()> setModified)
    : m_commu(commu), m_record(record), m_setModified(std::move(setModified)) {}

void CCommSettings::ShowDescriptions(bool withGateway) {
    interfaceText = Dashed(m_commu.GetNetworkTypeLabel());
    plcText = Dashed(m_commu.GetPlcDescription());
    gatewayText = withGateway ? Dashed(m_commu.GetGatewayDescription()) : std::string();
}

void CCommSettings::Open() {
    unitNumber = m_record.unitNumber <= 15 ? static_cast<int>(m_record.unitNumber) : 0;
    gatewaySelected = m_commu.m_connectionType == 1;
    ShowDescriptions(gatewaySelected);
}

void CCommSettings::SelectUnitNumber(int unit) {
    if (unit < 0 || unit > 15 || unit == unitNumber) return;
    unitNumber = unit;
    if (m_setModified) m_setModified();
}

void CCommSettings::ChangeConnection() {
    if (!gatewaySelected) {
        m_commu.UseDirectConnection(true);
        if (m_commu.m_connectionType != 0) return;
        m_commu.SetGatewayDeviceString("");
        ShowDescriptions(false);
    } else {
        m_commu.UseGatewayConnection(true);
        if (m_commu.m_connectionType != 1) return;
        ShowDescriptions(true);
    }
    if (m_setModified) m_setModified();
}

void CCommSettings::Close() {
    m_record.unitNumber = static_cast<uint32_t>(unitNumber);
    m_commu.m_unitNumber = static_cast<uint16_t>(unitNumber);
    m_record.relayPlc = m_commu.GatewayDeviceString();
    m_record.targetPlc = m_commu.DirectDeviceString();
    m_record.targetPlcNumber = static_cast<uint32_t>(m_commu.m_connectionType);
}
