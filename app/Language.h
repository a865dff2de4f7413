#pragma once
#include <string>

// Which language the programs speak: "--lang", then the choice the user made in the program, then
// the locale; Japanese when none of them names a language the program has.
struct LocaleVariables {
    std::string language;  // LANGUAGE: a colon-separated list, the first known one wins
    std::string lcAll;     // LC_ALL
    std::string lcMessages;  // LC_MESSAGES
    std::string lang;      // LANG
    // The variables; with none of them set, the user's display language of the system as LANG
    // (Windows keeps it in its settings).
    static LocaleVariables FromEnvironment();
};

// "en_US.UTF-8", "en", "ja_JP" ... to a language the program has, or "" when it has none.
std::string KnownLanguageOf(const std::string& locale);
std::string LanguageOfLocale(const LocaleVariables& locale);
std::string ChooseLanguage(const std::string& option, const std::string& stored, const LocaleVariables& locale);
// The value of "--lang X" or "--lang=X" among the arguments ("" when absent), as given; *at is
// the index of the option (0 when absent).
std::string TakeLanguageOption(int argc, const char* const argv[], int* at = nullptr);
