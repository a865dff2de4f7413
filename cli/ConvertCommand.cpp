#include <CLI/CLI.hpp>

#include <ostream>

#include "cli/CliPrompter.h"
#include "cli/Commands.h"
#include "cli/SettingsInput.h"

void AddConvertCommand(CLI::App& app, CliContext& ctx) {
    auto* cmd = app.add_subcommand("convert", "Read a settings file of any dialect and write it as .lsm");
    auto in = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    cmd->add_option("IN", *in, "Settings file to read")->required();
    cmd->add_option("OUT", *out, "Settings file to write (.lsm dialect)")->required();
    cmd->callback([&ctx, in, out] {
        CUnitSettings record;
        CCliPrompter prompter(ctx.err);
    prompter.subject = *in;
        CSettingsFile file(record, prompter);
        if (!file.ReadFile(*in, IsOldVersionPath(*in))) {
            ctx.exitCode = kExitRefused;
            return;
        }
        const bool warned = prompter.shownCount > 0;
        prompter.subject = *out;
        if (!file.WriteFile(*out)) {
            ctx.exitCode = kExitRefused;
            return;
        }
        ctx.exitCode = warned ? kExitWarning : kExitClean;
    });
}
