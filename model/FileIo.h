#pragma once
#include <string>

// Reads the whole file as bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes bytes to a temporary file beside path and renames it over path, so a failed write
// (disk full, no permission, directory gone) leaves the old file as it was.
// failAfterBytes >= 0 makes the write fail after that many bytes, for tests.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, long long failAfterBytes = -1);
