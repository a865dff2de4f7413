#pragma once
#include <cstdint>
#include <string>

#include "model/UnitSettings.h"
#include "pages/PageBase.h"

class IPrompter;

// Read-only texts of the unit information (CP932 bytes, as the unit sent them).
struct UnitInfoTexts {
    std::string protocolVersion;
    std::string vendorName;
    std::string modelName;
    std::string softwareVersion;
    std::string ipAddress;
};

// The unit information and unit area panel beside the tabs: four optional settings, each
// with a check box saying whether it is written to the unit. Texts are kept as the edits
// hold them (the node name as CP932 bytes); CheckUnitArea turns them into the working copy.
class CUnitAreaPanel : public CPageBase {
public:
    enum Item { kMinFrameInterval = 0, kTokenWatchdog = 1, kMinFrameWait = 2, kNodeName = 3, kItemCount = 4 };

    CUnitAreaPanel();

    // Fills texts and check boxes from the record's PC image, numbers in the given radix.
    void InitFromRecord(const CUnitSettings& record, int radix);
    static UnitInfoTexts UnitInfo(const SettingsImage& image);

    // The input filters: false (text unchanged) when the new text is refused.
    bool EditText(Item item, const std::string& text);
    void SetChecked(Item item, bool checked);
    const std::string& Text(Item item) const { return m_text[item]; }
    bool Checked(Item item) const { return m_checked[item]; }

    // The display mode switch: the three numbers are converted, the node name is not.
    void ConvertRadix(int newRadix);
    int Radix() const { return m_radix; }

    // Validates in the fixed order and fills the working copy; on a refusal one message
    // has been shown and Focus() names the edit.
    bool CheckUnitArea(bool forSave, IPrompter& prompter);

    const UnitAreaValues& WorkingCopy() const { return m_values; }
    // The unit area enable word that storing the working copy yielded.
    uint16_t unitAreaWord = 0;

    // The node name filter on CP932 bytes: no double-byte character, at most 10 bytes.
    static bool IsNodeNameAcceptable(const std::string& bytes);
    // What the check accepts: a name the unit can store, 1 to 10 bytes of whole characters
    // (a name read from a file or the unit may hold double-byte characters).
    static bool IsNodeNameStorable(const std::string& bytes);
    // At most 10 bytes of a stored name, never ending in the first half of a double-byte character.
    static std::string NodeNameForDisplay(const char* field, size_t width);

private:
    std::string m_text[kItemCount];
    bool m_checked[kItemCount] = {};
    int m_radix = 0;
    UnitAreaValues m_values{};
};
