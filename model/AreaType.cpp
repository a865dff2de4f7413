#include "model/AreaType.h"

namespace AreaType {

uint8_t CodeFromIndex(int index) {
    if (index == 1) return WR;
    if (index == 2) return HR;
    if (index == 3) return DM;
    if (index >= 4 && index <= 16) return static_cast<uint8_t>(index + 156);
    return CIO;
}

int IndexFromCode(uint8_t code) {
    if (code == WR) return 1;
    if (code == HR) return 2;
    if (code == DM) return 3;
    if (code >= EM0 && code <= EMC) return code - 156;
    return 0;
}

bool IsKnownCode(uint8_t code) {
    return code == CIO || code == WR || code == HR || code == DM || (code >= EM0 && code <= EMC);
}

std::string NameFromCode(uint8_t code) {
    switch (code) {
    case CIO: return "CIO";
    case WR: return "WR";
    case HR: return "HR";
    case DM: return "DM";
    default: break;
    }
    if (code >= EM0 && code <= EMC) {
        static const char kDigits[] = "0123456789ABC";
        return std::string("EM") + kDigits[code - EM0];
    }
    return std::string();
}

bool CodeFromName(const std::string& name, uint8_t& code) {
    for (int i = 0; i < kListCount; ++i) {
        uint8_t c = CodeFromIndex(i);
        if (NameFromCode(c) == name) {
            code = c;
            return true;
        }
    }
    return false;
}

int HighestStart(uint8_t code) {
    if (code == CIO) return 6143;
    if (code == WR || code == HR) return 511;
    if (code == DM || (code >= EM0 && code <= EMC)) return 32767;
    return 0;
}

int AreaEnd(uint8_t code) {
    if (code == CIO) return 6144;
    if (code == WR || code == HR) return 512;
    if (code == DM || (code >= EM0 && code <= EMC)) return 32768;
    return 0;
}

}  // namespace AreaType
