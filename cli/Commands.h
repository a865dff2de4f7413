#pragma once
#include <iosfwd>

#include "cli/ExitStatus.h"

namespace CLI {
class App;
}

// What a subcommand writes to and reports back; tests run commands in-process with string streams.
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    int exitCode = kExitClean;
    // Where the answers to questions come from; null when nobody can answer (stdin not a terminal).
    std::istream* answers = nullptr;
};

// One function per subcommand, each in its own <Name>Command.cpp, registered in Cli.cpp.
void AddShowCommand(CLI::App& app, CliContext& ctx);
void AddConvertCommand(CLI::App& app, CliContext& ctx);
void AddInfoCommand(CLI::App& app, CliContext& ctx);
void AddValidateCommand(CLI::App& app, CliContext& ctx);
void AddDiffCommand(CLI::App& app, CliContext& ctx);
void AddVerifyCommand(CLI::App& app, CliContext& ctx);
void AddReadCommand(CLI::App& app, CliContext& ctx);
void AddWriteCommand(CLI::App& app, CliContext& ctx);
void AddStatusCommand(CLI::App& app, CliContext& ctx);
void AddNetworkCommand(CLI::App& app, CliContext& ctx);
void AddWatchCommand(CLI::App& app, CliContext& ctx);
void AddExporterCommand(CLI::App& app, CliContext& ctx);
