#pragma once
#include <iosfwd>

// Runs linksmithctl with the given arguments; returns the process exit status. Questions are
// answered from answers (a line starting with y or Y is yes); without it only --yes answers them.
int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err);
int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err, std::istream* answers);
