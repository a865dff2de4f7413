#include "pages/UnitAreaPanel.h"

#include <cstdio>
#include <cstring>

#include "model/Messages.h"
#include "model/Prompter.h"
#include "model/TextCodec.h"
#include "model/ValueText.h"

namespace {
constexpr size_t kNodeNameChars = 10;

// Filter lengths of the three numeric edits, and the character limits of the edits
// themselves (the frame interval edit holds two characters although its filter allows three).
int FilterLength(CUnitAreaPanel::Item item) { return item == CUnitAreaPanel::kMinFrameWait ? 2 : 3; }
size_t EditLimit(CUnitAreaPanel::Item item) { return item == CUnitAreaPanel::kTokenWatchdog ? 3 : 2; }
}  // namespace

CUnitAreaPanel::CUnitAreaPanel() {
    m_values.minFrameInterval = 1;
    m_values.tokenWatchdog = 50;
}

bool CUnitAreaPanel::IsNodeNameAcceptable(const std::string& bytes) {
    if (bytes.size() > kNodeNameChars) return false;
    for (unsigned char c : bytes)
        if (c == 0 || IsCp932LeadByte(c)) return false;
    return true;
}

bool CUnitAreaPanel::IsNodeNameStorable(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > kNodeNameChars) return false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == 0) return false;
        if (!IsCp932LeadByte(c)) continue;
        // The unit stores bytes: a lead byte without its trail byte would leave half a character.
        if (i + 1 >= bytes.size() || bytes[i + 1] == '\0') return false;
        ++i;
    }
    return true;
}

std::string CUnitAreaPanel::NodeNameForDisplay(const char* field, size_t width) {
    std::string out;
    size_t i = 0;
    while (i < width && field[i] != '\0') {
        const bool lead = IsCp932LeadByte(static_cast<unsigned char>(field[i]));
        const size_t len = lead ? 2 : 1;
        // A character that would not fit whole (or whose trail byte is missing) is left out.
        if (out.size() + len > kNodeNameChars || i + len > width || (lead && field[i + 1] == '\0')) break;
        out.append(field + i, len);
        i += len;
    }
    return out;
}

UnitInfoTexts CUnitAreaPanel::UnitInfo(const SettingsImage& im) {
    UnitInfoTexts t;
    t.protocolVersion = TextOf(im.protocolVersion, sizeof im.protocolVersion);
    t.vendorName = NodeNameForDisplay(im.vendorName, sizeof im.vendorName);
    t.modelName = NodeNameForDisplay(im.modelName, sizeof im.modelName);
    t.softwareVersion = TextOf(im.softwareVersion, sizeof im.softwareVersion);
    char buf[20];
    std::snprintf(buf, sizeof buf, "%d.%d.%d.%d", im.unitIpAddress[0], im.unitIpAddress[1], im.unitIpAddress[2],
                  im.unitIpAddress[3]);
    t.ipAddress = buf;
    return t;
}

void CUnitAreaPanel::InitFromRecord(const CUnitSettings& record, int radix) {
    const SettingsImage& im = record.pc;
    m_radix = radix;
    m_text[kMinFrameInterval] = FormatForRadix(im.minFrameInterval, radix);
    m_text[kTokenWatchdog] = FormatForRadix(im.tokenWatchdog, radix);
    m_text[kMinFrameWait] = FormatForRadix(im.minFrameWait, radix);
    m_text[kNodeName] = NodeNameForDisplay(im.nodeName, sizeof im.nodeName);
    m_checked[kMinFrameInterval] = im.minFrameIntervalEnabled != 0;
    m_checked[kTokenWatchdog] = im.tokenWatchdogEnabled != 0;
    m_checked[kMinFrameWait] = im.minFrameWaitEnabled != 0;
    m_checked[kNodeName] = im.nodeNameEnabled != 0;
    std::memset(&m_values, 0, sizeof m_values);
    std::memcpy(m_values.nodeName, m_text[kNodeName].data(), m_text[kNodeName].size());
    m_values.minFrameInterval = im.minFrameInterval;
    m_values.tokenWatchdog = im.tokenWatchdog;
    m_values.minFrameWait = im.minFrameWait;
    m_values.minFrameIntervalEnabled = im.minFrameIntervalEnabled ? 1 : 0;
    m_values.tokenWatchdogEnabled = im.tokenWatchdogEnabled ? 1 : 0;
    m_values.minFrameWaitEnabled = im.minFrameWaitEnabled ? 1 : 0;
    m_values.nodeNameEnabled = im.nodeNameEnabled ? 1 : 0;
    unitAreaWord = im.unitAreaWord;
    m_focus.Clear();
}

bool CUnitAreaPanel::EditText(Item item, const std::string& text) {
    if (item < 0 || item >= kItemCount) return false;
    const bool ok = item == kNodeName ? IsNodeNameAcceptable(text)
                                      : CheckInputText(text, m_radix, FilterLength(item)) && text.size() <= EditLimit(item);
    if (!ok) return false;
    if (text != m_text[item]) {
        m_text[item] = text;
        NotifyModified();
    }
    return true;
}

void CUnitAreaPanel::SetChecked(Item item, bool checked) {
    if (item < 0 || item >= kItemCount || m_checked[item] == checked) return;
    m_checked[item] = checked;
    NotifyModified();
}

void CUnitAreaPanel::ConvertRadix(int newRadix) {
    if (newRadix == m_radix) return;
    for (Item item : {kMinFrameInterval, kTokenWatchdog, kMinFrameWait})
        m_text[item] = ReformatForRadix(m_text[item], newRadix);
    m_radix = newRadix;
}

bool CUnitAreaPanel::CheckUnitArea(bool forSave, IPrompter& prompter) {
    m_focus.Clear();
    struct NumberRule {
        Item item;
        int32_t highest;
        int messageId;
        int field;
        uint16_t fallback;
        uint16_t UnitAreaValues::*value;
        uint32_t UnitAreaValues::*enabled;
    };
    static const NumberRule kRules[] = {
        {kMinFrameInterval, 50, 32826, Field::kMinFrameInterval, 1, &UnitAreaValues::minFrameInterval,
         &UnitAreaValues::minFrameIntervalEnabled},
        {kTokenWatchdog, 255, 32827, Field::kTokenWatchdog, 50, &UnitAreaValues::tokenWatchdog,
         &UnitAreaValues::tokenWatchdogEnabled},
        {kMinFrameWait, 15, 32828, Field::kMinFrameWait, 0, &UnitAreaValues::minFrameWait,
         &UnitAreaValues::minFrameWaitEnabled},
    };
    for (const NumberRule& rule : kRules) {
        const bool checked = m_checked[rule.item];
        m_values.*rule.enabled = checked ? 1 : 0;
        const int32_t value = ParseDisplayText(m_text[rule.item], m_radix);
        if (checked && (value < 0 || value > rule.highest)) {
            prompter.Message(rule.messageId);
            RequestFocus(rule.field);
            return false;
        }
        // A saved file keeps what an unchecked item holds; an empty edit saves the default
        // rather than a wrapped -1.
        if (checked || (forSave && value >= 0 && value <= 0xFFFF))
            m_values.*rule.value = static_cast<uint16_t>(value);
        else
            m_values.*rule.value = rule.fallback;
    }

    const bool nameChecked = m_checked[kNodeName];
    m_values.nodeNameEnabled = nameChecked ? 1 : 0;
    const std::string& name = m_text[kNodeName];
    // Counted as the unit stores the name, in bytes: a name loaded with double-byte
    // characters passes when it fits, although typing refuses such characters.
    if (nameChecked && !IsNodeNameStorable(name)) {
        prompter.Message(32829);
        RequestFocus(Field::kNodeName);
        return false;
    }
    std::memset(m_values.nodeName, 0, sizeof m_values.nodeName);
    // An unchecked name is saved as typed, but never with a character cut in half.
    if (nameChecked || forSave) {
        const std::string whole = NodeNameForDisplay(name.data(), name.size());
        std::memcpy(m_values.nodeName, whole.data(), whole.size());
    }
    return true;
}
