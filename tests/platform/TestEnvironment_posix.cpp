#include "tests/platform/TestConfigFolder.h"

#include <cstdlib>

void UseConfigFolder(const std::string& folder) { setenv("XDG_CONFIG_HOME", folder.c_str(), 1); }
