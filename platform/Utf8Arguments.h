#pragma once
#include <string>
#include <vector>

// The program's command line as UTF-8 texts, argv[0] first. On Windows argv holds the system's
// ANSI code page, in which a Japanese file name may not survive; the wide command line is used.
std::vector<std::string> Utf8Arguments(int argc, char** argv);
