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

void SplitPath(const std::string& path, std::string& folder, std::string& fileName) {
    size_t cut = path.find_last_of("/\\");
    folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    fileName = cut == std::string::npos ? path : path.substr(cut + 1);
}

bool IsOldVersionPath(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return ext == ".csv";
}
