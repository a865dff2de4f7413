#pragma once
#include <string>

// The language the user chose for the system's own texts, as a locale name ("ja-JP", "en-US"),
// where the system keeps it outside the environment (Windows). Empty on Linux, where LANGUAGE,
// LC_ALL, LC_MESSAGES and LANG say it.
std::string SystemUiLocale();
