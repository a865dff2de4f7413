#include "model/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "model/FileSystemOps.h"

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    // A folder opens like a file here, and reading it throws from inside the stream.
    // Paths are UTF-8: on Windows the wide name opens a file whatever the system's code page.
    const std::filesystem::path name = std::filesystem::u8path(path);
    std::error_code error;
    if (std::filesystem::is_directory(name, error)) return false;
    std::ifstream in(name, std::ios::binary);
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

// The file a path names once every symbolic link on it is followed: a save replaces the file a
// link points to and keeps the link (renaming over the link would replace the link itself by a
// file). A link to a file that does not exist yet names the file to create. False for a loop of
// links, which no save can write through.
bool FollowLinks(std::string& path) {
    namespace fs = std::filesystem;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::u8path(path), error)) return true;
        fs::path target = fs::read_symlink(fs::u8path(path), error);
        if (error) return false;
        if (target.is_relative()) target = fs::u8path(path).parent_path() / target;
        path = target.u8string();
    }
    return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    return WriteFileAtomically(path, bytes, CFileSystemOps::System());
}

// The new bytes go to a temporary file that is renamed over the old one. A file with more than
// one hard link therefore loses them: the name saved to gets a new file and the other names keep
// the old contents. Writing into the old file in place would reach every name, but a write that
// fails part-way (disk full, power lost) would then leave a cut file under all of them; keeping
// the old file whole until the new one is complete matters more for a settings file.
bool WriteFileAtomically(const std::string& linkOrPath, const std::string& bytes, CFileSystemOps& ops) {
    std::string path = linkOrPath;
    if (!FollowLinks(path)) return false;
    const std::string temp = path + ".saving";
    const int fd = ops.Open(temp.c_str(), CFileSystemOps::kNewFileFlags, 0666);
    if (fd < 0) return false;
    // The new file takes the place of the old one, so it keeps the old one's permissions.
    CFileSystemOps::KeepPermissions(path, fd);
    bool ok = WriteAll(ops, fd, bytes);
    // Flushed before the rename: after a power loss the name holds the old or the new bytes, never none.
    ok = ok && ops.Sync(fd) == 0;
    ok = ops.Close(fd) == 0 && ok;
    // The rename replaces the old file in one step; until then the old file is untouched.
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
