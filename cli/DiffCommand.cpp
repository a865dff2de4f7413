#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>

#include "cli/CliFailure.h"
#include "cli/Commands.h"
#include "cli/RecordJson.h"
#include "cli/SettingsInput.h"
#include "model/VerifyResult.h"

// The verify comparison between two settings files, offline: A takes the PC side, B the PLC side.
void AddDiffCommand(CLI::App& app, CliContext& ctx) {
    auto* cmd = app.add_subcommand("diff", "Compare two settings files item by item, as a verify would: exit 0 "
                                           "when they agree, 1 when they differ, 2 when one cannot be read");
    auto a = std::make_shared<std::string>();
    auto b = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    cmd->add_option("A", *a, "Settings file taken as the PC side")->required();
    cmd->add_option("B", *b, "Settings file taken as the unit's side")->required();
    cmd->add_flag("--json", *json, "Print the rows as JSON");
    cmd->callback([&ctx, a, b, json] {
        auto first = std::make_unique<CUnitSettings>();
        auto second = std::make_unique<CUnitSettings>();
        CliFailure unreadable;
        if (ReadSettingsForCli(*a, *first, ctx, &unreadable) == kExitRefused ||
            ReadSettingsForCli(*b, *second, ctx, &unreadable) == kExitRefused)
            return EndWithFailure(ctx, unreadable, *json);
        CVerifyResult result;
        result.BuildFromFiles(first->pc, second->pc);
        PrintVerifyResult(result, *json, ctx);
    });
}
