#include <unistd.h>

#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    // Questions are asked only of a person at a terminal; a script must say --yes.
    return RunCli(argc, argv, std::cout, std::cerr, isatty(STDIN_FILENO) ? &std::cin : nullptr);
}
