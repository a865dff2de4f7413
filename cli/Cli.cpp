#include "cli/Cli.h"

#include <CLI/CLI.hpp>

#include <ostream>

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

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitClean;
    } catch (const CLI::CallForAllHelp&) {
        out << app.help("", CLI::AppFormatMode::All);
        return kExitClean;
    } catch (const CLI::ParseError& e) {
        // Usage errors: one line, the same status as an unreadable input.
        err << "linksmithctl: " << e.what() << "\n";
        return kExitRefused;
    }
    return ctx.exitCode;
}
