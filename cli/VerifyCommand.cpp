#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>

#include "cli/CliFailure.h"
#include "cli/CliPrompter.h"
#include "cli/Commands.h"
#include "cli/RecordJson.h"
#include "cli/ConnectionOptions.h"
#include "cli/SettingsInput.h"

// Reads the unit's parameters and lists every item that differs from a settings file.
void AddVerifyCommand(CLI::App& app, CliContext& ctx) {
    auto* cmd = app.add_subcommand("verify", "Compare a settings file with the unit (the file's unit number "
                                             "unless --unit is given): exit 0 on match, 1 on differences, 2 when "
                                             "refused, 3 when the communication failed, 4 when the unit answered "
                                             "with a failure");
    auto options = std::make_shared<ConnectionOptions>();
    auto path = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    AddConnectionOptions(*cmd, *options);
    cmd->add_option("FILE", *path, "Settings file to compare with the unit")->required();
    cmd->add_flag("--json", *json, "Print the rows as JSON");
    cmd->callback([&ctx, options, path, json] {
        auto record = std::make_unique<CUnitSettings>();
        CliFailure unreadable;
        if (ReadSettingsForCli(*path, *record, ctx, &unreadable) == kExitRefused)
            return EndWithFailure(ctx, unreadable, *json);
        CCliPrompter prompter(ctx.err);
        CCliConnection connection(*options, *record, prompter, ctx.err);
        connection.SetDefaultUnit(record->unitNumber);
        if (!connection.Open()) return EndWithFailure(ctx, connection.FailureOf(prompter), *json);
        CCommuProcess& comm = connection.Comm();
        comm.m_mapMethod = record->pc.mappingTableMethod;
        if (!comm.VerifyUnitWithPlc()) return EndWithFailure(ctx, FailureOf(&comm, &prompter), *json);
        const CVerifyResult& result = comm.m_verifyResult;
        PrintVerifyResult(result, *json, ctx);
    });
}
