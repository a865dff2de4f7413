#pragma once
#include <QString>
#include <string>

// The core's paths are UTF-8 on every system (on Linux the file system's own bytes); Qt wants Unicode.
QString FromLocalPath(const std::string& path);
std::string ToLocalPath(const QString& path);
