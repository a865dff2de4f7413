#include "tests/platform/TestEnvironment.h"

#include <cstdlib>

#include "platform/WinText.h"

void SetEnvironment(const std::string& name, const std::string& value) {
    _wputenv_s(WideFromUtf8(name).c_str(), WideFromUtf8(value).c_str());
}

void UseConfigFolder(const std::string& folder) { SetEnvironment("APPDATA", folder); }
