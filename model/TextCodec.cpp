#include "model/TextCodec.h"

#include "platform/CodePage.h"

std::string Cp932ToUtf8(const std::string& bytes) { return SystemCp932ToUtf8(bytes); }

std::string Utf8ToCp932(const std::string& text) { return SystemUtf8ToCp932(text); }

bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
