#pragma once
#include <cerrno>
#include <string>
#include <vector>

#include "model/FileSystemOps.h"

// Real file-system calls with one step made to fail, and a log of the paths removed.
class CFailingFileOps : public CFileSystemOps {
public:
    enum Step { kNone, kOpen, kWrite, kWriteZero, kSync, kClose, kRename };
    Step failAt = kNone;
    int failErrno = EIO;
    size_t writeFailAfter = 0;   // kWrite: bytes accepted before the disk is "full"
    size_t maxChunk = 0;         // > 0: every write takes at most this many bytes (a short write)
    bool interruptEveryOther = false;  // every other write is interrupted by a signal first
    size_t written = 0;
    int closes = 0;
    std::vector<std::string> removed;

    int Open(const char* path, int flags, mode_t mode) override {
        if (failAt == kOpen) return Fail();
        return CFileSystemOps::Open(path, flags, mode);
    }
    ssize_t Write(int fd, const void* data, size_t size) override {
        if (interruptEveryOther && (m_writeCalls++ % 2) == 0) {
            errno = EINTR;
            return -1;
        }
        if (failAt == kWriteZero) return 0;
        if (failAt == kWrite) {
            if (written >= writeFailAfter) return Fail();
            if (size > writeFailAfter - written) size = writeFailAfter - written;
        }
        if (maxChunk > 0 && size > maxChunk) size = maxChunk;
        const ssize_t n = CFileSystemOps::Write(fd, data, size);
        if (n > 0) written += static_cast<size_t>(n);
        return n;
    }
    int Sync(int fd) override { return failAt == kSync ? Fail() : CFileSystemOps::Sync(fd); }
    int Close(int fd) override {
        ++closes;
        const int result = CFileSystemOps::Close(fd);  // the descriptor is gone even when close reports an error
        return failAt == kClose ? Fail() : result;
    }
    int Rename(const char* from, const char* to) override {
        return failAt == kRename ? Fail() : CFileSystemOps::Rename(from, to);
    }
    int Remove(const char* path) override {
        removed.push_back(path);
        return CFileSystemOps::Remove(path);
    }

private:
    int Fail() {
        errno = failErrno;
        return -1;
    }
    unsigned m_writeCalls = 0;
};
