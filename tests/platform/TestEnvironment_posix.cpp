#include "tests/platform/TestEnvironment.h"

#include <cstdlib>

void SetEnvironment(const std::string& name, const std::string& value) {
    if (value.empty()) unsetenv(name.c_str());
    else setenv(name.c_str(), value.c_str(), 1);
}

void UseConfigFolder(const std::string& folder) { SetEnvironment("XDG_CONFIG_HOME", folder); }
