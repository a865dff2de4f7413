#pragma once
#include <cstdint>
#include <string>

// Display radix of the editor: 0 decimal, 1 hexadecimal.
enum Radix { kDecimal = 0, kHexadecimal = 1 };

// True when every character is a digit of the radix and the length fits
// (maxLength in decimal, maxLength - 1 in hexadecimal). Empty text passes.
bool CheckInputText(const std::string& text, int radix, int maxLength);
// -1 for empty text; otherwise the leading digits read in the radix.
int32_t ParseDisplayText(const std::string& text, int radix);
// Converts a field's text to the new radix ("%X" or "%d"); empty stays empty.
std::string ReformatForRadix(const std::string& text, int newRadix);
// Formats a number in the display radix ("%d" or "%X").
std::string FormatForRadix(long value, int radix);
std::string AreaTypeName(uint8_t code);
bool IsStartAddressValid(int areaIndex, int32_t address);
bool IsAreaEndValid(int areaIndex, int32_t start, int32_t size);
// which: 1 or 2 (common memory area 1: 512 words, area 2: 8192 words).
bool IsCommonMemoryRangeValid(int32_t offset, int32_t size, int which);
