#pragma once
#include <string>

// The language of the Qt layer and of the core's texts, chosen once at start. The Qt layer's
// texts come from the program's resources (":/i18n/linksmith_LANG.qm", built from
// translations/linksmith_LANG.ts); Japanese is the source and needs none. Qt's own texts
// (standard buttons, file dialogs) come from Qt's translations where they are installed.
class CTranslator {
public:
    // Switches every text to language ("ja", "en", ...), replacing what an earlier call installed.
    // False when the program has no such language (nothing changes).
    static bool Apply(const std::string& language);

    // The language chosen in the program's menu, kept beside the view state; empty when none.
    static std::string StoredLanguage(const std::string& iniFile);
    static void StoreLanguage(const std::string& iniFile, const std::string& language);
    // The language's name in itself ("日本語", "English"), for the menu.
    static std::string LanguageName(const std::string& language);
};
