#pragma once
#include <string>

// Shift_JIS (code page 932) to and from UTF-8 with the system's own converter. Both systems give
// the same result for damaged text: a byte that does not start a convertible character becomes
// one '?' and the conversion goes on at the next byte.
std::string SystemCp932ToUtf8(const std::string& bytes);
std::string SystemUtf8ToCp932(const std::string& text);
