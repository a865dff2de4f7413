#pragma once
#include <QString>
#include <string>

// The record and files keep Shift_JIS bytes; Qt shows Unicode. Conversions happen here only.
QString FromRecordText(const std::string& bytes);
std::string ToRecordText(const QString& text);
// Paths are the file system's own bytes (UTF-8 on Linux).
QString FromLocalPath(const std::string& path);
std::string ToLocalPath(const QString& path);
