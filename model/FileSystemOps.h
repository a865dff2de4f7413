#pragma once
#include <cstddef>

#include <sys/types.h>

// The system calls a file save makes, one virtual operation each, so that a test can make any
// single step fail (disk full, short writes, a failing fsync or rename). Results and errno are
// those of the calls themselves.
class CFileSystemOps {
public:
    virtual ~CFileSystemOps() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Write(int fd, const void* data, size_t size);
    virtual int Sync(int fd);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Remove(const char* path);

    // The real calls.
    static CFileSystemOps& System();
};
