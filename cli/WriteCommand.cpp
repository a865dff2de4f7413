#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

#include "app/TransferWorkflow.h"
#include "cli/CliFailure.h"
#include "cli/CliPrompter.h"
#include "app/FileTransferHost.h"
#include "cli/Commands.h"
#include "cli/ConnectionOptions.h"
#include "cli/SettingsInput.h"

// File to PLC through the transfer workflow: the page checks, the overlap check, the question,
// the unit model check and its questions, then the write.
void AddWriteCommand(CLI::App& app, CliContext& ctx) {
    auto* cmd = app.add_subcommand(
        "write", "Check a settings file as a transfer does and write it to the unit. Asks first on a terminal; "
                 "without one only --yes goes ahead. The unit number is the file's unless --unit is given. "
                 "Exit 0 when written, 2 when refused or not confirmed, 3 when the communication failed, 4 when "
                 "the unit answered with a failure");
    auto options = std::make_shared<ConnectionOptions>();
    auto path = std::make_shared<std::string>();
    auto yes = std::make_shared<bool>(false);
    auto json = std::make_shared<bool>(false);
    AddConnectionOptions(*cmd, *options);
    cmd->add_option("IN", *path, "Settings file to write (.lsm, Japanese-key .lsm, or old .csv)")->required();
    cmd->add_flag("--yes,-y", *yes, "Answer yes to every question (needed when stdin is not a terminal)");
    cmd->add_flag("--json", *json, "Report a failure as one JSON object on stdout");
    cmd->callback([&ctx, options, path, yes, json] {
        auto record = std::make_unique<CUnitSettings>();
        CliFailure unreadable;
        const int read = ReadSettingsForCli(*path, *record, ctx, &unreadable);
        if (read == kExitRefused) return EndWithFailure(ctx, unreadable, *json);
        if (read == kExitWarning) {
            // Defaults put in for bad values are not what the file's author meant to send.
            const std::string why = *path + ": not written: values of the file were replaced by defaults; fix the "
                                            "file (or save the defaults with convert) first";
            ctx.err << "linksmithctl: " << why << "\n";
            return EndWithFailure(ctx, FailureOf(nullptr, nullptr, why), *json);
        }
        CCliPrompter prompter(ctx.err, *yes, ctx.answers);
        prompter.subject = *path;
        CFileTransferHost host(*record, prompter);
        CCliConnection connection(*options, *record, prompter, ctx.err);
        connection.SetDefaultUnit(record->unitNumber);
        if (!connection.Start()) return EndWithFailure(ctx, connection.FailureOf(prompter), *json);
        // Chunks of the mapping table the unit has taken, to tell a write that failed part-way.
        int chunksDone = 0;
        connection.Comm().SetChunkProgress([&chunksDone](int done, int) { chunksDone = done; });
        CTransferWorkflow workflow(connection.Comm(), *record, prompter, host, [] { return size_t{0}; });
        if (workflow.TransferToPlc()) {
            ctx.exitCode = kExitClean;
            return;
        }
        connection.ExplainOpenFailure();
        const CliFailure failure = connection.FailureOf(prompter);
        if (chunksDone > 0)
            ctx.err << "linksmithctl: the unit may now hold a partial mapping table; linksmithctl verify " << *path
                    << " shows what it holds\n";
        EndWithFailure(ctx, failure, *json);
    });
}
