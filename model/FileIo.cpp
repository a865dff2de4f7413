#include "model/FileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "model/FileSystemOps.h"

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    // A folder opens like a file here, and reading it throws from inside the stream.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    bytes.swap(data);
    return true;
}

namespace {

// write may take fewer bytes than asked (a signal, a pipe, some file systems): go on with the rest.
bool WriteAll(CFileSystemOps& ops, int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ops.Write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;  // 0 would loop for ever; a full disk gives -1 with ENOSPC
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    return WriteFileAtomically(path, bytes, CFileSystemOps::System());
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes, CFileSystemOps& ops) {
    const std::string temp = path + ".saving";
    struct stat old {};
    const bool replacing = ::stat(path.c_str(), &old) == 0;
    const int fd = ops.Open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    // The new file takes the place of the old one, so it keeps the old one's permissions.
    if (replacing) ::fchmod(fd, old.st_mode & 0777);
    bool ok = WriteAll(ops, fd, bytes);
    // Flushed before the rename: after a power loss the name holds the old or the new bytes, never none.
    ok = ok && ops.Sync(fd) == 0;
    ok = ops.Close(fd) == 0 && ok;
    // rename replaces the old file in one step; until then the old file is untouched.
    ok = ok && ops.Rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) ops.Remove(temp.c_str());
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
