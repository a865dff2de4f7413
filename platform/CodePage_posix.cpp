#include "platform/CodePage.h"

#include <iconv.h>

#include <cerrno>

namespace {

std::string Convert(const std::string& in, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return in;
    std::string out;
    out.reserve(in.size() * 3 / 2 + 4);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, sizeof buffer - dstLeft);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // Invalid or incomplete sequence: skip one byte and mark it.
            out.push_back('?');
            ++src;
            --srcLeft;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string SystemCp932ToUtf8(const std::string& bytes) { return Convert(bytes, "UTF-8", "CP932"); }

std::string SystemUtf8ToCp932(const std::string& text) { return Convert(text, "CP932", "UTF-8"); }
