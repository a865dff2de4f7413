#pragma once
#include <string>

#include "cli/Commands.h"
#include "model/FileIo.h"
#include "model/SettingsFile.h"

// Reads a settings file of any dialect (".csv" means the old one) for a command.
// Returns kExitClean, kExitWarning (read with defaults put in) or kExitRefused (not readable);
// the reason is already on the error stream.
int ReadSettingsForCli(const std::string& path, CUnitSettings& record, CliContext& ctx);
