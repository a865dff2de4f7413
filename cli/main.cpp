#include <unistd.h>

#include <iostream>

#include "app/Language.h"
#include "cli/Cli.h"
#include "model/Messages.h"

int main(int argc, char** argv) {
    // The locale's language; --lang, read by RunCli, goes before it.
    SetMessageLanguage(ChooseLanguage("", "", LocaleVariables::FromEnvironment()));
    // Questions are asked only of a person at a terminal; a script must say --yes.
    return RunCli(argc, argv, std::cout, std::cerr, isatty(STDIN_FILENO) ? &std::cin : nullptr);
}
