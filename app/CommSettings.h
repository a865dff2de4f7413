#pragma once
#include <functional>
#include <string>

class CCommuProcess;
class CUnitSettings;

// The communication settings dialog without its widgets: which PLC is reached, directly or
// through a gateway PLC, and the unit number on it.
class CCommSettings {
public:
    CCommSettings(CCommuProcess& commu, CUnitSettings& record, std::function<void()> setModified);

    // Each showing starts here, so it reflects the entries and the record as they are.
    void Open();
    void SelectUnitNumber(int unit);
    // "接続設定変更": edits the entry of the chosen connection kind.
    void ChangeConnection();
    // "閉じる": takes the unit number and the device strings into the record.
    void Close();

    int unitNumber = 0;
    bool gatewaySelected = false;
    std::string interfaceText;  // network type of the direct entry
    std::string gatewayText;    // empty with a direct connection
    std::string plcText;

private:
    void ShowDescriptions(bool withGateway);

    CCommuProcess& m_commu;
    CUnitSettings& m_record;
    std::function<void()> m_setModified;
};
