#include "platform/Folders.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <vector>

#include "platform/WinText.h"

// %APPDATA% as the environment gives it (Windows sets it to the roaming folder, and a test or
// a portable setup may point it elsewhere); the known folder when the variable is missing.
std::string UserConfigFolder() {
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (appData && *appData) return Utf8FromWide(appData);
    wchar_t* known = nullptr;
    std::string folder;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &known) == S_OK)
        folder = Utf8FromWide(known);
    CoTaskMemFree(known);
    return folder;
}

std::string ExecutableFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) {
            std::wstring path(buffer.data(), n);
            const size_t cut = path.find_last_of(L"\\/");
            return Utf8FromWide(cut == std::wstring::npos ? std::wstring() : path.substr(0, cut));
        }
        buffer.resize(buffer.size() * 2);
    }
}
