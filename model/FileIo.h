#pragma once
#include <string>

// Reads the whole file as bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes bytes to a temporary file beside path and renames it over path, so a failed write
// (disk full, no permission, directory gone) leaves the old file as it was.
// failAfterBytes >= 0 makes the write fail after that many bytes, for tests.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, long long failAfterBytes = -1);

// Splits a path after its last separator ("/" or "\\") into folder (with the separator) and name.
void SplitPath(const std::string& path, std::string& folder, std::string& fileName);
// True for a path ending in ".csv" in any case: an old-version settings file.
bool IsOldVersionPath(const std::string& path);
