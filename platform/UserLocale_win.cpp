#include "platform/UserLocale.h"

#include <windows.h>

#include "platform/WinText.h"

std::string SystemUiLocale() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    const LCID id = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    return LCIDToLocaleName(id, name, LOCALE_NAME_MAX_LENGTH, 0) > 0 ? Utf8FromWide(name) : std::string();
}
