#include "model/FileSystemOps.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const int CFileSystemOps::kNewFileFlags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;

int CFileSystemOps::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t CFileSystemOps::Write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int CFileSystemOps::Sync(int fd) { return ::fsync(fd); }
int CFileSystemOps::Close(int fd) { return ::close(fd); }
// rename replaces the old name in one step.
int CFileSystemOps::Rename(const char* from, const char* to) { return std::rename(from, to); }
int CFileSystemOps::Remove(const char* path) { return ::unlink(path); }

void CFileSystemOps::KeepPermissions(const std::string& oldPath, int fd) {
    struct stat old {};
    if (::stat(oldPath.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 0777);
}

CFileSystemOps& CFileSystemOps::System() {
    static CFileSystemOps ops;
    return ops;
}
