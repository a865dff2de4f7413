#include "model/FileIo.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    bytes.swap(data);
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, long long failAfterBytes) {
    const std::string temp = path + ".saving";
    bool ok;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        ok = static_cast<bool>(out);
        if (ok) {
            const bool failing = failAfterBytes >= 0 && static_cast<size_t>(failAfterBytes) < bytes.size();
            const size_t count = failing ? static_cast<size_t>(failAfterBytes) : bytes.size();
            out.write(bytes.data(), static_cast<std::streamsize>(count));
            out.flush();
            ok = static_cast<bool>(out) && !failing;
        }
    }
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(temp, path, ec);
        ok = !ec;
    }
    if (!ok) std::filesystem::remove(temp, ec);
    return ok;
}
