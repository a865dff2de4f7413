#pragma once
#include <string>

// Where a refused check wants the cursor: a field (its dialog control id), for the
// mapping table also the 0-based table row, and whether the whole text is to be selected.
struct FocusRequest {
    int field = 0;
    int row = -1;
    bool selectAll = false;

    bool IsSet() const { return field != 0; }
    void Clear() { *this = FocusRequest{}; }
};

// Field ids are the control ids of the settings dialogs, so the widget half can map them.
namespace Field {
// Unit area panel.
constexpr int kMinFrameInterval = 1071;
constexpr int kTokenWatchdog = 1070;
constexpr int kMinFrameWait = 1073;
constexpr int kNodeName = 1074;
constexpr int kMinFrameIntervalCheck = 1064;
constexpr int kTokenWatchdogCheck = 1067;
constexpr int kMinFrameWaitCheck = 1068;
constexpr int kNodeNameCheck = 1069;
// System settings page: four subnet mask octets, four IP address octets.
constexpr int kSubnetMask1 = 1015;
constexpr int kIpAddress1 = 1020;
// Local node page.
constexpr int kLocalArea1Start = 1044;
constexpr int kLocalArea1Size = 1271;
constexpr int kLocalArea1ComStart = 1052;
constexpr int kLocalArea2Start = 1047;
constexpr int kLocalArea2Size = 1272;
constexpr int kLocalArea2ComStart = 1273;
// Mapping table page: the two area start edits and the editable columns (row in FocusRequest).
constexpr int kMapArea1Start = 1084;
constexpr int kMapArea2Start = 1085;
constexpr int kMapNodeNumber = 1100;
constexpr int kMapArea1Offset = 1115;
constexpr int kMapArea1Size = 1135;
constexpr int kMapArea2Offset = 1146;
constexpr int kMapArea2Size = 1166;
}  // namespace Field

// A readable name of a focus target, e.g. "subnetMask[3]" or "mapping.row[5].area1Size".
std::string FieldName(const FocusRequest& focus);
