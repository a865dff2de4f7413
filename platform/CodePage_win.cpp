#include "platform/CodePage.h"

#include <windows.h>

namespace {
const UINT kShiftJis = 932;

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// One character at a time, so that a bad byte costs one '?' as with iconv on Linux; the code
// page API alone would put its own default character in and swallow bytes differently.
void AppendUtf8(std::string& out, const wchar_t* wide, int count) {
    char buffer[16];
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, count, buffer, sizeof buffer, nullptr, nullptr);
    out.append(buffer, static_cast<size_t>(n > 0 ? n : 0));
}

// Decodes one UTF-8 character at text[i]; 0 when the bytes there are not one.
size_t DecodeUtf8(const std::string& text, size_t i, char32_t* code) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    char32_t c = 0, least = 0;
    if (b < 0x80) return *code = b, 1;
    if ((b & 0xE0) == 0xC0) length = 2, c = b & 0x1F, least = 0x80;
    else if ((b & 0xF0) == 0xE0) length = 3, c = b & 0x0F, least = 0x800;
    else if ((b & 0xF8) == 0xF0) length = 4, c = b & 0x07, least = 0x10000;
    else return 0;
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char t = static_cast<unsigned char>(text[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        c = (c << 6) | (t & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    *code = c;
    return length;
}
}  // namespace

std::string SystemCp932ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 4);
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        const int length = IsLeadByte(b) ? 2 : 1;
        wchar_t wide[2];
        // 0x80, 0xA0 and 0xFD-0xFF are no characters of the code page; the API would map them
        // to private use characters where iconv refuses them.
        const bool single = b >= 0xA1 && b <= 0xDF;
        const int n = (length == 2 && i + 1 < bytes.size()) || single
                          ? MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data() + i, length, wide, 2)
                          : 0;
        if (n > 0) {
            AppendUtf8(out, wide, n);
            i += static_cast<size_t>(length);
        } else {
            out.push_back('?');
            ++i;
        }
    }
    return out;
}

std::string SystemUtf8ToCp932(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 4);
    for (size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const size_t length = DecodeUtf8(text, i, &code);
        if (length == 1) {
            out.push_back(static_cast<char>(code));
            ++i;
            continue;
        }
        char encoded[4];
        int n = 0;
        if (length > 0 && code <= 0xFFFF) {
            const wchar_t wide = static_cast<wchar_t>(code);
            BOOL usedDefault = FALSE;
            n = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, &wide, 1, encoded, sizeof encoded, nullptr,
                                    &usedDefault);
            if (usedDefault) n = 0;
        }
        if (n > 0) {
            out.append(encoded, static_cast<size_t>(n));
            i += length;
        } else {
            out.push_back('?');
            ++i;
        }
    }
    return out;
}
