#include "cli/Cli.h"

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

#include "cli/CliFailure.h"
#include "cli/Commands.h"

int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err) {
    return RunCli(argc, argv, out, err, nullptr);
}

int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err, std::istream* answers) {
    CLI::App app{"LinkSmith command-line tool: settings files and FL-net units from scripts", "linksmithctl"};
    app.require_subcommand(1);
    CliContext ctx{out, err};
    ctx.answers = answers;

    AddShowCommand(app, ctx);
    AddConvertCommand(app, ctx);
    AddInfoCommand(app, ctx);
    AddValidateCommand(app, ctx);
    AddDiffCommand(app, ctx);
    AddVerifyCommand(app, ctx);
    AddReadCommand(app, ctx);
    AddWriteCommand(app, ctx);
    AddStatusCommand(app, ctx);
    AddNetworkCommand(app, ctx);
    AddWatchCommand(app, ctx);
    AddExporterCommand(app, ctx);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitClean;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitClean;
    } catch (const CLI::ParseError& e) {
        // Usage errors: one line, refused before anything was sent.
        err << "linksmithctl: " << e.what() << "\n";
        bool json = false;
        for (int i = 1; i < argc; ++i) json = json || std::string(argv[i]) == "--json";
        EndWithFailure(ctx, FailureOf(nullptr, nullptr, e.what()), json);
        return ctx.exitCode;
    }
    return ctx.exitCode;
}
