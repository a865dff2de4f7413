#include "app/Language.h"

#include <cstdlib>
#include <cstring>

#include "model/Messages.h"
#include "platform/UserLocale.h"

namespace {
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}
}  // namespace

LocaleVariables LocaleVariables::FromEnvironment() {
    LocaleVariables v{Env("LANGUAGE"), Env("LC_ALL"), Env("LC_MESSAGES"), Env("LANG")};
    // Windows keeps the user's language in its settings, not in these variables.
    if (v.language.empty() && v.lcAll.empty() && v.lcMessages.empty() && v.lang.empty()) v.lang = SystemUiLocale();
    return v;
}

std::string KnownLanguageOf(const std::string& locale) {
    // The language part: before "_", "-", "." or "@".
    const std::string code = locale.substr(0, locale.find_first_of("_-.@"));
    for (const std::string& known : MessageLanguages())
        if (code == known) return known;
    return {};
}

std::string LanguageOfLocale(const LocaleVariables& locale) {
    // As gettext reads them: the first of LC_ALL, LC_MESSAGES, LANG that is set gives the locale;
    // LANGUAGE's list goes before it unless that locale is "C" (no translation wanted).
    std::string messages = !locale.lcAll.empty() ? locale.lcAll
                           : !locale.lcMessages.empty() ? locale.lcMessages
                                                         : locale.lang;
    if (!locale.language.empty() && messages != "C" && messages != "POSIX") {
        size_t start = 0;
        while (start <= locale.language.size()) {
            size_t end = locale.language.find(':', start);
            if (end == std::string::npos) end = locale.language.size();
            const std::string known = KnownLanguageOf(locale.language.substr(start, end - start));
            if (!known.empty()) return known;
            start = end + 1;
        }
    }
    return KnownLanguageOf(messages);
}

std::string ChooseLanguage(const std::string& option, const std::string& stored, const LocaleVariables& locale) {
    for (const std::string& choice : {option, stored}) {
        const std::string known = KnownLanguageOf(choice);
        if (!choice.empty() && known == choice) return known;
    }
    const std::string fromLocale = LanguageOfLocale(locale);
    return fromLocale.empty() ? "ja" : fromLocale;
}

std::string TakeLanguageOption(int argc, const char* const argv[], int* at) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "--lang") == 0) {
            if (at) *at = i;
            return i + 1 < argc ? argv[i + 1] : "";
        }
        if (std::strncmp(argv[i], "--lang=", 7) == 0) {
            if (at) *at = i;
            return argv[i] + 7;
        }
    }
    if (at) *at = 0;
    return {};
}
