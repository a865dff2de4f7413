#pragma once
#include <string>

class CFileSystemOps;

// Reads the whole file as bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes bytes to a temporary file beside path, flushes it to the disk and renames it over path,
// so a failed write (disk full, no permission, directory gone) leaves the old file as it was and
// no temporary file behind. A replaced file keeps its permission bits; a symbolic link is kept
// and the file it points to is written. ops defaults to the real system calls.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);
bool WriteFileAtomically(const std::string& path, const std::string& bytes, CFileSystemOps& ops);

// Splits a path after its last separator ("/" or "\\") into folder (with the separator) and name.
void SplitPath(const std::string& path, std::string& folder, std::string& fileName);
// True for a path ending in ".csv" in any case: an old-version settings file.
bool IsOldVersionPath(const std::string& path);
