#pragma once
#include <string>

// Points the user's config folder at folder for the rest of this test process, through the
// variable each system's UserConfigFolder reads (XDG_CONFIG_HOME on Linux, APPDATA on Windows).
void UseConfigFolder(const std::string& folder);
