#include <CLI/CLI.hpp>

#include <ostream>

#include "cli/CliFailure.h"
#include "cli/CliPrompter.h"
#include "cli/Commands.h"
#include "cli/SettingsInput.h"

void AddConvertCommand(CLI::App& app, CliContext& ctx) {
    auto* cmd = app.add_subcommand("convert", "Read a settings file of any dialect and write it as .lsm: exit 0 "
                                              "when written, 1 when written with defaults put in, 2 when the input "
                                              "cannot be read or the output cannot be written");
    auto in = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    cmd->add_option("IN", *in, "Settings file to read")->required();
    cmd->add_option("OUT", *out, "Settings file to write (.lsm dialect)")->required();
    cmd->add_flag("--json", *json, "Report a failure as one JSON object on stdout");
    cmd->callback([&ctx, in, out, json] {
        CUnitSettings record;
        CCliPrompter prompter(ctx.err);
        prompter.subject = *in;
        CSettingsFile file(record, prompter);
        if (!file.ReadFile(*in, IsOldVersionPath(*in)))
            return EndWithFailure(ctx, FailureOf(nullptr, &prompter), *json);
        const bool warned = prompter.shownCount > 0;
        prompter.subject = *out;
        if (!file.WriteFile(*out)) return EndWithFailure(ctx, FailureOf(nullptr, &prompter), *json);
        ctx.exitCode = warned ? kExitWarning : kExitClean;
    });
}
