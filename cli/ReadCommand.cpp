#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

#include "cli/CliFailure.h"
#include "cli/CliPrompter.h"
#include "cli/Commands.h"
#include "cli/ConnectionOptions.h"
#include "model/SettingsFile.h"

// PLC to file: the unit's parameters as a settings file of the .lsm dialect.
void AddReadCommand(CLI::App& app, CliContext& ctx) {
    auto* cmd = app.add_subcommand("read", "Read the unit's parameters and save them as a settings file (.lsm): "
                                           "exit 0 when saved, 2 when refused or not saved, 3 when the "
                                           "communication failed, 4 when the unit answered with a failure");
    auto options = std::make_shared<ConnectionOptions>();
    auto path = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    AddConnectionOptions(*cmd, *options);
    cmd->add_option("OUT", *path, "Settings file to write (.lsm dialect; replaced when it exists)")->required();
    cmd->add_flag("--json", *json, "Report a failure as one JSON object on stdout");
    cmd->callback([&ctx, options, path, json] {
        auto record = std::make_unique<CUnitSettings>();
        CCliPrompter prompter(ctx.err);
        CCliConnection connection(*options, *record, prompter, ctx.err);
        if (!connection.Open()) return EndWithFailure(ctx, connection.FailureOf(prompter), *json);
        CCommuProcess& comm = connection.Comm();
        if (!comm.ReadUnitFromPlc() || comm.m_error) return EndWithFailure(ctx, FailureOf(&comm, &prompter), *json);
        // The file names the unit it was read from, so a later write goes back to it.
        record->unitNumber = connection.UnitNumber();
        connection.DescribeConnection(*record);
        prompter.subject = *path;
        CSettingsFile file(*record, prompter);
        if (!file.WriteFile(*path)) return EndWithFailure(ctx, FailureOf(nullptr, &prompter), *json);
        ctx.exitCode = kExitClean;
    });
}
