#pragma once
#include <cstddef>
#include <string>

#include <sys/types.h>

// The system calls a file save makes, one virtual operation each, so that a test can make any
// single step fail (disk full, short writes, a failing fsync or rename). Results and errno are
// those of the calls themselves. Paths are UTF-8 (on Linux: the bytes as they are). One
// implementation per system, in platform/.
class CFileSystemOps {
public:
    virtual ~CFileSystemOps() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Write(int fd, const void* data, size_t size);
    virtual int Sync(int fd);
    virtual int Close(int fd);
    // Replaces to in one step when it exists: until then to is untouched.
    virtual int Rename(const char* from, const char* to);
    virtual int Remove(const char* path);

    // Open flags for a new file written from the start (binary, not inherited by child programs).
    static const int kNewFileFlags;
    // Gives the file open as fd the permissions of the file at oldPath, when there is one.
    static void KeepPermissions(const std::string& oldPath, int fd);

    // The real calls.
    static CFileSystemOps& System();
};
