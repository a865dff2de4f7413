#include "cli/Cli.h"

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

#include "app/Language.h"
#include "cli/CliFailure.h"
#include "cli/Commands.h"
#include "model/Messages.h"

int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err) {
    return RunCli(argc, argv, out, err, nullptr);
}

namespace {
// --lang holds for one run; the language the caller had comes back afterwards.
class LanguageForRun {
public:
    explicit LanguageForRun(const std::string& language) : m_before(MessageLanguage()) {
        if (!language.empty()) SetMessageLanguage(language);
    }
    ~LanguageForRun() { SetMessageLanguage(m_before); }

private:
    std::string m_before;
};
}  // namespace

int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err, std::istream* answers) {
    // Read before the commands run, so every message of the run is in that language.
    LanguageForRun language(TakeLanguageOption(argc, argv));
    CLI::App app{"LinkSmith command-line tool: settings files and FL-net units from scripts", "linksmithctl"};
    // "/path" is a file name on every system, never a Windows-style option.
    app.allow_windows_style_options(false);
    app.require_subcommand(1);
    std::string languageOption;
    app.add_option("--lang", languageOption,
                   "Language of the messages: ja (the default) or en; without it the locale "
                   "(LANGUAGE, LC_ALL, LC_MESSAGES, LANG) chooses")
        ->check(CLI::IsMember(MessageLanguages()));
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
