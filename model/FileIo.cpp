#include "model/FileIo.h"

#include <cstdio>
#ifdef _WIN32
#include <filesystem>
#endif
#include <fstream>

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
    std::FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) return false;
    const bool failing = failAfterBytes >= 0 && static_cast<size_t>(failAfterBytes) < bytes.size();
    const size_t count = failing ? static_cast<size_t>(failAfterBytes) : bytes.size();
    bool ok = std::fwrite(bytes.data(), 1, count, out) == count && !failing;
    ok = std::fclose(out) == 0 && ok;
    // rename replaces the old file in one step; until then the old file is untouched.
#ifdef _WIN32
    std::error_code ec;
    if (ok) std::filesystem::rename(temp, path, ec);  // replaces an existing file there too
    ok = ok && !ec;
#else
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
#endif
    if (!ok) std::remove(temp.c_str());
    return ok;
}
