#include <CLI/CLI.hpp>

#include <ostream>

#include "cli/CliFailure.h"
#include "cli/Commands.h"
#include "cli/RecordJson.h"
#include "cli/SettingsInput.h"

void AddShowCommand(CLI::App& app, CliContext& ctx) {
    auto* cmd = app.add_subcommand("show", "Print the settings read from a file of any dialect: exit 0, 1 when "
                                           "defaults were put in for bad values, 2 when it cannot be read");
    auto path = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    cmd->add_option("FILE", *path, "Settings file (.lsm, Japanese-key .lsm, or old .csv)")->required();
    cmd->add_flag("--json", *json, "Print JSON instead of text");
    cmd->callback([&ctx, path, json] {
        CUnitSettings record;
        CliFailure unreadable;
        ctx.exitCode = ReadSettingsForCli(*path, record, ctx, &unreadable);
        if (ctx.exitCode == kExitRefused) return EndWithFailure(ctx, unreadable, *json);
        if (*json)
            ctx.out << RecordToJson(record).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        else
            PrintRecord(record, ctx.out);
    });
}
