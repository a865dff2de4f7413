#include "model/FileSystemOps.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int CFileSystemOps::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t CFileSystemOps::Write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int CFileSystemOps::Sync(int fd) { return ::fsync(fd); }
int CFileSystemOps::Close(int fd) { return ::close(fd); }
int CFileSystemOps::Rename(const char* from, const char* to) { return std::rename(from, to); }
int CFileSystemOps::Remove(const char* path) { return ::unlink(path); }

CFileSystemOps& CFileSystemOps::System() {
    static CFileSystemOps ops;
    return ops;
}
