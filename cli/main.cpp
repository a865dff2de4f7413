#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/Language.h"
#include "cli/Cli.h"
#include "model/Messages.h"
#include "platform/Console.h"
#include "platform/Utf8Arguments.h"

int main(int argc, char** argv) {
    // The locale's language; --lang, read by RunCli, goes before it.
    SetMessageLanguage(ChooseLanguage("", "", LocaleVariables::FromEnvironment()));
    UseUtf8Console();
    // File names as UTF-8 on every system (on Windows argv would hold them in the ANSI code page).
    const std::vector<std::string> arguments = Utf8Arguments(argc, argv);
    std::vector<const char*> args;
    for (const std::string& a : arguments) args.push_back(a.c_str());
    args.push_back(nullptr);
    // Questions are asked only of a person at a terminal; a script must say --yes.
    return RunCli(static_cast<int>(arguments.size()), args.data(), std::cout, std::cerr,
                  isatty(STDIN_FILENO) ? &std::cin : nullptr);
}
