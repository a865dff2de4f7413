#pragma once
#include <iosfwd>

// Runs linksmithctl with the given arguments; returns the process exit status.
int RunCli(int argc, const char* const argv[], std::ostream& out, std::ostream& err);
