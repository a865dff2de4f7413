// linksmithctl exporter where the build has no HTTP server (the Windows build): the command is
// known, takes any arguments and says plainly that it is not here, so a script fails clearly.
#include <CLI/CLI.hpp>

#include <ostream>

#include "cli/Commands.h"

void AddExporterCommand(CLI::App& app, CliContext& ctx) {
    auto* cmd = app.add_subcommand("exporter", "Not part of this build (no HTTP server); exit 2");
    cmd->allow_extras();
    cmd->callback([&ctx] {
        ctx.err << "linksmithctl: exporter is not part of this build; run it on Linux\n";
        ctx.exitCode = kExitRefused;
    });
}
