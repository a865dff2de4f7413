#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <ostream>

#include "cli/CliFailure.h"
#include "app/FileTransferHost.h"
#include "cli/Commands.h"
#include "cli/SettingsInput.h"
#include "model/Messages.h"
#include "model/Prompter.h"

namespace {

// The checks of a transfer, run on the pages loaded from the record as the editor would
// load them. Returns the refusal that was shown first (id 0 when none) and its field.
struct Refusal {
    int id = 0;
    std::vector<std::string> inserts;
    std::string page;
    FocusRequest focus;
};

Refusal CheckRecord(CUnitSettings& record) {
    RecordingPrompter prompter;
    CFileTransferHost host(record, prompter);
    Refusal r;
    if (host.CheckAllPages(false)) {
        if (host.CheckLocalOtherOverlap()) return r;
        // The overlap names a record of the mapping table.
        r.page = "mapping";
    } else {
        r.page = host.RefusingPage();
        const std::pair<const char*, const CPageBase*> pages[] = {{"unitArea", &host.Panel()},
                                                                   {"system", &host.System()},
                                                                   {"localNode", &host.Local()},
                                                                   {"mapping", &host.Mapping()}};
        for (const auto& [name, page] : pages)
            if (r.page == name && page->Focus().IsSet()) r.focus = page->Focus();
    }
    if (!prompter.shown.empty()) {
        r.id = prompter.shown.front().id;
        r.inserts = prompter.shown.front().inserts;
    }
    return r;
}

}  // namespace

void AddValidateCommand(CLI::App& app, CliContext& ctx) {
    auto* cmd = app.add_subcommand(
        "validate", "Run the checks of a transfer on a settings file: exit 0 when clean, 1 when a rule fails "
                    "(or the file needed defaults), 2 when unreadable");
    auto path = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    cmd->add_option("FILE", *path, "Settings file (.lsm, Japanese-key .lsm, or old .csv)")->required();
    cmd->add_flag("--json", *json, "Print the failing rule as JSON (string id, message, page, field)");
    cmd->callback([&ctx, path, json] {
        CUnitSettings record;
        CliFailure unreadable;
        const int read = ReadSettingsForCli(*path, record, ctx, &unreadable);
        if (read == kExitRefused) return EndWithFailure(ctx, unreadable, *json);
        const Refusal r = CheckRecord(record);
        if (r.id == 0) {
            ctx.exitCode = read;  // a file read with defaults put in is not clean
            return;
        }
        const std::string text = FormatMessage(r.id, r.inserts);
        if (*json) {
            nlohmann::json j;
            j["id"] = r.id;
            j["message"] = text;
            j["page"] = r.page;
            j["field"] = r.focus.IsSet() ? nlohmann::json(FieldName(r.focus)) : nlohmann::json(nullptr);
            ctx.out << j.dump(2) << "\n";
        } else {
            ctx.out << text << "\n";
        }
        ctx.exitCode = kExitWarning;
    });
}
