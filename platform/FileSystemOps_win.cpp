#include "model/FileSystemOps.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/WinText.h"

// Binary: the C library would otherwise turn every LF into CR LF a second time.
const int CFileSystemOps::kNewFileFlags = _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT;

// Paths go to the wide calls, so names in Japanese open whatever the system's code page is.
int CFileSystemOps::Open(const char* path, int flags, mode_t mode) {
    const int permission = (mode & 0222) ? (_S_IREAD | _S_IWRITE) : _S_IREAD;
    return ::_wopen(WideFromUtf8(path).c_str(), flags | _O_BINARY, permission);
}

ssize_t CFileSystemOps::Write(int fd, const void* data, size_t size) {
    const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
    return ::_write(fd, data, chunk);
}

int CFileSystemOps::Sync(int fd) { return ::_commit(fd); }
int CFileSystemOps::Close(int fd) { return ::_close(fd); }

// One rename that replaces the old file, written through to the disk before it returns: the old
// file stays whole until the new one has its name. ReplaceFileW would keep more of the old file's
// metadata, but some of its failures leave the old contents only under a temporary name.
int CFileSystemOps::Rename(const char* from, const char* to) {
    if (MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
    case ERROR_DISK_FULL: errno = ENOSPC; break;
    case ERROR_NOT_SAME_DEVICE: errno = EXDEV; break;
    default: errno = EACCES; break;
    }
    return -1;
}

int CFileSystemOps::Remove(const char* path) { return ::_wunlink(WideFromUtf8(path).c_str()); }

// Windows keeps no permission bits of the Linux kind; the new file gets the folder's access rights.
void CFileSystemOps::KeepPermissions(const std::string&, int) {}

CFileSystemOps& CFileSystemOps::System() {
    static CFileSystemOps ops;
    return ops;
}
