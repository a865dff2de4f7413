#pragma once
#include <QString>
#include <string>

// Paths are the file system's own bytes (UTF-8 on Linux); Qt wants Unicode.
QString FromLocalPath(const std::string& path);
std::string ToLocalPath(const QString& path);
