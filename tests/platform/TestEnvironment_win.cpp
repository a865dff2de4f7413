#include "tests/platform/TestConfigFolder.h"

#include <cstdlib>

#include "platform/WinText.h"

void UseConfigFolder(const std::string& folder) { _wputenv_s(L"APPDATA", WideFromUtf8(folder).c_str()); }
