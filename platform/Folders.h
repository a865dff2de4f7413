#pragma once
#include <string>

// The folders the system gives a program, as UTF-8 paths without a trailing separator; empty
// when the system cannot say.
// Where per-user configuration lives: $XDG_CONFIG_HOME or ~/.config on Linux, %APPDATA%
// (the roaming application data folder) on Windows.
std::string UserConfigFolder();
// The folder of the running program's executable.
std::string ExecutableFolder();
