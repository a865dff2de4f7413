#pragma once
#include <string>

// The environment of this test process, set the way each system does it.
// Sets name to value; an empty value removes the variable.
void SetEnvironment(const std::string& name, const std::string& value);
// Points the user's config folder at folder, through the variable each system's UserConfigFolder
// reads (XDG_CONFIG_HOME on Linux, APPDATA on Windows).
void UseConfigFolder(const std::string& folder);
