#pragma once
#include <string>

#include "cli/CliFailure.h"
#include "cli/Commands.h"
#include "model/FileIo.h"
#include "model/SettingsFile.h"

// Reads a settings file of any dialect (".csv" means the old one) for a command.
// Returns kExitClean, kExitWarning (read with defaults put in) or kExitRefused (not readable);
// the reason is already on the error stream, and in *refusal when that is given.
int ReadSettingsForCli(const std::string& path, CUnitSettings& record, CliContext& ctx, CliFailure* refusal = nullptr);
