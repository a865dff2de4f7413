#pragma once
#include <string>

// Files and the record keep Shift_JIS (CP932) bytes; displays want UTF-8. Both directions
// replace what cannot be converted with '?', so a damaged text never stops a display.
std::string Cp932ToUtf8(const std::string& bytes);
std::string Utf8ToCp932(const std::string& text);
// True for the first byte of a CP932 double-byte character.
bool IsCp932LeadByte(unsigned char byte);
