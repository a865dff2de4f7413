#include "pages/FocusRequest.h"

std::string FieldName(const FocusRequest& f) {
    const std::string row = "mapping.row[" + std::to_string(f.row + 1) + "].";
    switch (f.field) {
    case Field::kMinFrameInterval: return "unitArea.minFrameInterval";
    case Field::kTokenWatchdog: return "unitArea.tokenWatchdog";
    case Field::kMinFrameWait: return "unitArea.minFrameWait";
    case Field::kNodeName: return "unitArea.nodeName";
    case Field::kLocalArea1Start: return "localNode.localArea1Start";
    case Field::kLocalArea1Size: return "localNode.localArea1Size";
    case Field::kLocalArea1ComStart: return "localNode.localArea1ComStart";
    case Field::kLocalArea2Start: return "localNode.localArea2Start";
    case Field::kLocalArea2Size: return "localNode.localArea2Size";
    case Field::kLocalArea2ComStart: return "localNode.localArea2ComStart";
    case Field::kMapArea1Start: return "mapping.mapArea1Start";
    case Field::kMapArea2Start: return "mapping.mapArea2Start";
    case Field::kMapNodeNumber: return row + "nodeNumber";
    case Field::kMapArea1Offset: return row + "area1Offset";
    case Field::kMapArea1Size: return row + "area1Size";
    case Field::kMapArea2Offset: return row + "area2Offset";
    case Field::kMapArea2Size: return row + "area2Size";
    default: break;
    }
    if (f.field >= Field::kSubnetMask1 && f.field < Field::kSubnetMask1 + 4)
        return "system.subnetMask[" + std::to_string(f.field - Field::kSubnetMask1 + 1) + "]";
    if (f.field >= Field::kIpAddress1 && f.field < Field::kIpAddress1 + 4)
        return "system.ipAddress[" + std::to_string(f.field - Field::kIpAddress1 + 1) + "]";
    return std::string();
}
