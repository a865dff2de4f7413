#pragma once
#include <string>
#include <vector>

// Comma-separated text as spreadsheets paste it: fields with a comma, quote or line break are
// quoted with inner quotes doubled; every line ends with CR LF.
std::string CsvField(const std::string& text);
std::string CsvLine(const std::vector<std::string>& fields);
