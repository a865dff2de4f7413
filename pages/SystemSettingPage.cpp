#include "pages/SystemSettingPage.h"

#include <cstring>

#include "model/Prompter.h"
#include "model/ValueText.h"

CSystemSettingPage::CSystemSettingPage() { WriteTexts(m_radix); }

void CSystemSettingPage::InitFromRecord(const CUnitSettings& record, int radix) {
    const SettingsImage& im = record.pc;
    std::memset(&m_data, 0, sizeof m_data);
    const uint16_t w = im.systemFlags;
    m_data.mappingTableMethod = w & 0x0001 ? 1 : 0;
    m_data.startupMethod = w & 0x0002 ? 1 : 0;
    m_data.confirmMessage = w & 0x0010 ? 1 : 0;
    m_data.broadcastType = w & 0x0020 ? 1 : 0;
    m_data.ipAddressMethod = static_cast<uint16_t>((w & 0x0040 ? 1 : 0) + 2 * (w & 0x0080 ? 1 : 0));
    m_data.systemFlags = w;
    std::memcpy(m_data.subnetMask, im.subnetMask, 4);
    std::memcpy(m_data.ipAddress, im.ipAddress, 4);
    m_data.faLinkNodeCount = im.faLinkNodeCount;
    m_data.etherBaudRate = im.etherBaudRate;
    m_list[kMappingTableMethod] = m_data.mappingTableMethod;
    m_list[kStartupMethod] = m_data.startupMethod;
    m_list[kConfirmMessage] = m_data.confirmMessage;
    m_list[kBroadcastType] = m_data.broadcastType;
    m_list[kIpAddressMethod] = m_data.ipAddressMethod;
    WriteTexts(radix);
    m_focus.Clear();
}

void CSystemSettingPage::LoadValues(const SystemSettingsValues& v) {
    m_data.mappingTableMethod = v.mappingTableMethod;
    m_data.startupMethod = v.startupMethod;
    m_data.confirmMessage = v.confirmMessage;
    m_data.broadcastType = v.broadcastType;
    m_data.ipAddressMethod = v.ipAddressMethod;
    std::memcpy(m_data.subnetMask, v.subnetMask, 4);
    std::memcpy(m_data.ipAddress, v.ipAddress, 4);
    m_data.faLinkNodeCount = v.faLinkNodeCount;
    m_data.etherBaudRate = v.etherBaudRate;
}

void CSystemSettingPage::ShowWorkingCopy(int radix) {
    const uint16_t fields[kListCount] = {m_data.mappingTableMethod, m_data.startupMethod, m_data.confirmMessage,
                                         m_data.broadcastType, m_data.ipAddressMethod};
    for (int i = 0; i < kListCount; ++i) {
        // A value outside the list (only a damaged record holds one) selects the first entry.
        m_list[i] = fields[i] < ListSize(static_cast<List>(i)) ? fields[i] : 0;
    }
    if (m_data.ipAddressMethod != kSystemSettingArea) std::memset(m_data.ipAddress, 0, 4);
    WriteTexts(radix);
    m_focus.Clear();
}

void CSystemSettingPage::WriteTexts(int radix) {
    m_radix = radix;
    for (int i = 0; i < 4; ++i) {
        m_octet[i] = FormatForRadix(m_data.subnetMask[i], radix);
        m_octet[4 + i] = FormatForRadix(m_data.ipAddress[i], radix);
    }
    m_nodeCountText = FormatForRadix(m_data.faLinkNodeCount, radix);
}

void CSystemSettingPage::SelectList(List list, int index) {
    if (list < 0 || list >= kListCount || index < 0 || index >= ListSize(list)) return;
    if (m_list[list] == index) return;
    m_list[list] = index;
    if (list == kIpAddressMethod && index != kSystemSettingArea) {
        // The address of another method is not kept: switching back shows 0.0.0.0.
        std::memset(m_data.ipAddress, 0, 4);
        for (int i = 4; i < 8; ++i) m_octet[i] = "0";
    }
    NotifyModified();
}

bool CSystemSettingPage::EditOctet(int octet, const std::string& text) {
    if (octet < 0 || octet >= 8 || !CheckInputText(text, m_radix, 3)) return false;
    if (octet >= 4 && !IpEditsEnabled()) return false;
    if (m_octet[octet] != text) {
        m_octet[octet] = text;
        NotifyModified();
    }
    return true;
}

void CSystemSettingPage::SetBaudRate(uint16_t value) { m_data.etherBaudRate = value ? 1 : 0; }

void CSystemSettingPage::ConvertRadix(int newRadix) {
    if (newRadix == m_radix) return;
    for (std::string& t : m_octet) t = ReformatForRadix(t, newRadix);
    m_nodeCountText = ReformatForRadix(m_nodeCountText, newRadix);
    m_radix = newRadix;
}

void CSystemSettingPage::SetNodeCount(uint32_t count, int radix) {
    m_data.faLinkNodeCount = static_cast<uint16_t>(count);
    m_nodeCountText = FormatForRadix(static_cast<long>(count), radix);
}

bool CSystemSettingPage::Validate(int radix, IPrompter& prompter) {
    m_focus.Clear();
    m_data.mappingTableMethod = static_cast<uint16_t>(m_list[kMappingTableMethod]);
    m_data.startupMethod = static_cast<uint16_t>(m_list[kStartupMethod]);
    m_data.confirmMessage = static_cast<uint16_t>(m_list[kConfirmMessage]);
    m_data.broadcastType = static_cast<uint16_t>(m_list[kBroadcastType]);
    m_data.ipAddressMethod = static_cast<uint16_t>(m_list[kIpAddressMethod]);
    for (int i = 0; i < 8; ++i) {
        const int32_t v = ParseDisplayText(m_octet[i], radix);
        if (v < 0 || v > 255) {
            const bool mask = i < 4;
            prompter.Message(mask ? 32855 : 32937);
            RequestFocus(mask ? Field::kSubnetMask1 + i : Field::kIpAddress1 + (i - 4));
            return false;
        }
        (i < 4 ? m_data.subnetMask[i] : m_data.ipAddress[i - 4]) = static_cast<uint8_t>(v);
    }
    return true;
}

SystemSettingsValues CSystemSettingPage::Values() const {
    SystemSettingsValues v{};
    v.mappingTableMethod = m_data.mappingTableMethod;
    v.startupMethod = m_data.startupMethod;
    v.confirmMessage = m_data.confirmMessage;
    v.broadcastType = m_data.broadcastType;
    v.ipAddressMethod = m_data.ipAddressMethod;
    std::memcpy(v.subnetMask, m_data.subnetMask, 4);
    std::memcpy(v.ipAddress, m_data.ipAddress, 4);
    v.faLinkNodeCount = m_data.faLinkNodeCount;
    v.etherBaudRate = m_data.etherBaudRate;
    return v;
}
