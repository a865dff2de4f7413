#include "model/ValueText.h"

#include <cstdio>

#include "model/AreaType.h"
#include "model/UnitSettings.h"

bool CheckInputText(const std::string& text, int radix, int maxLength) {
    const std::string digits = radix == kHexadecimal ? "0123456789ABCDEFabcdef" : "0123456789";
    for (char c : text)
        if (digits.find(c) == std::string::npos) return false;
    const int limit = radix == kHexadecimal ? maxLength - 1 : maxLength;
    return static_cast<int>(text.size()) <= limit;
}

int32_t ParseDisplayText(const std::string& text, int radix) {
    if (text.empty()) return -1;
    const int base = radix == kHexadecimal ? 16 : 10;
    int64_t value = 0;
    size_t i = 0;
    bool negative = false;
    if (base == 10 && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        i = 1;
    }
    for (; i < text.size(); ++i) {
        char c = text[i];
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else break;
        value = value * base + d;
        if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;  // saturate rather than overflow
    }
    return static_cast<int32_t>(negative ? -value : value);
}

std::string FormatForRadix(long value, int radix) {
    char buf[32];
    std::snprintf(buf, sizeof buf, radix == kHexadecimal ? "%lX" : "%ld", value);
    return buf;
}

std::string ReformatForRadix(const std::string& text, int newRadix) {
    if (text.empty()) return text;
    const int oldRadix = newRadix == kHexadecimal ? kDecimal : kHexadecimal;
    return FormatForRadix(ParseDisplayText(text, oldRadix), newRadix);
}

std::string AreaTypeName(uint8_t code) { return AreaType::NameFromCode(code); }

bool IsStartAddressValid(int areaIndex, int32_t address) {
    if (address == -1) return false;
    if (areaIndex > 16) return true;
    return address <= AreaType::HighestStart(AreaType::CodeFromIndex(areaIndex));
}

bool IsAreaEndValid(int areaIndex, int32_t start, int32_t size) {
    if (areaIndex > 16) return true;
    return static_cast<int64_t>(start) + size <= AreaType::AreaEnd(AreaType::CodeFromIndex(areaIndex));
}

bool IsCommonMemoryRangeValid(int32_t offset, int32_t size, int which) {
    if (offset == -1) return false;
    const int32_t limit = which == 1 ? kCommonArea1Words : kCommonArea2Words;
    return offset < limit && static_cast<int64_t>(offset) + size <= limit;
}
