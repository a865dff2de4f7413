#pragma once
#include <cstdint>
#include <string>

#include "model/UnitSettings.h"
#include "pages/PageBase.h"

class IPrompter;

// The page's working copy of the CPU bus unit system setting area.
struct SystemSettingData {
    uint16_t mappingTableMethod;
    uint16_t startupMethod;
    uint16_t confirmMessage;
    uint16_t broadcastType;
    uint16_t ipAddressMethod;
    uint16_t systemFlags;
    uint8_t subnetMask[4];
    uint8_t ipAddress[4];
    uint16_t faLinkNodeCount;
    uint16_t etherBaudRate;
};

// CPU bus unit system settings: five lists, subnet mask and IP address octets, the node
// count (read-only, written by the mapping table page) and the baud rate buttons.
class CSystemSettingPage : public CPageBase {
public:
    enum List { kMappingTableMethod = 0, kStartupMethod, kConfirmMessage, kBroadcastType, kIpAddressMethod, kListCount };
    static constexpr int kSystemSettingArea = 2;  // the IP method that takes the address from the page

    CSystemSettingPage();

    void InitFromRecord(const CUnitSettings& record, int radix);
    // After the main window loaded the working copy (GetSystemSettings).
    void LoadValues(const SystemSettingsValues& values);
    void ShowWorkingCopy(int radix);
    bool Validate(int radix, IPrompter& prompter);
    // The values for SetSystemSettings.
    SystemSettingsValues Values() const;
    void StoreInto(CUnitSettings& record) const { record.SetSystemSettings(Values()); }

    // User reactions.
    void SelectList(List list, int index);
    // octet 0-3 subnet mask, 4-7 IP address; false when the filter refuses the text.
    bool EditOctet(int octet, const std::string& text);
    void SetBaudRate(uint16_t value);
    void ConvertRadix(int newRadix);
    // Written by the mapping table page after it published its rows.
    void SetNodeCount(uint32_t count, int radix);

    int ListSelection(List list) const { return m_list[list]; }
    const std::string& OctetText(int octet) const { return m_octet[octet]; }
    const std::string& NodeCountText() const { return m_nodeCountText; }
    bool IpEditsEnabled() const { return m_list[kIpAddressMethod] == kSystemSettingArea; }
    uint16_t BaudRate() const { return m_data.etherBaudRate; }
    int Radix() const { return m_radix; }
    const SystemSettingData& WorkingCopy() const { return m_data; }

    // Entry counts of the five lists.
    static int ListSize(List list) { return list == kIpAddressMethod ? 4 : 2; }

private:
    void WriteTexts(int radix);

    SystemSettingData m_data{};
    int m_list[kListCount] = {};
    std::string m_octet[8];
    std::string m_nodeCountText;
    int m_radix = 0;
};
