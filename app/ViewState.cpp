#include "app/ViewState.h"

#include "model/Messages.h"

namespace {

bool SamePathIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

}  // namespace

ViewState ParseViewStatus(const std::string& text) {
    // Each value is a switch: a missing digit reads as 0, anything but 0 or 1 as the default. A
    // display mode of 7 taken as it is would make the next switch convert from the wrong base.
    const ViewState defaults;
    auto flag = [&](size_t at, int byDefault) {
        if (at >= text.size()) return 0;
        return text[at] == '0' || text[at] == '1' ? text[at] - '0' : byDefault;
    };
    ViewState state;
    state.toolbarVisible = flag(0, defaults.toolbarVisible);
    state.statusBarVisible = flag(2, defaults.statusBarVisible);
    state.extensionOn = flag(4, defaults.extensionOn);
    state.displayMode = flag(6, defaults.displayMode);
    return state;
}

std::string FormatViewStatus(const ViewState& s) {
    return std::to_string(s.toolbarVisible) + " " + std::to_string(s.statusBarVisible) + " " +
           std::to_string(s.extensionOn) + " " + std::to_string(s.displayMode);
}

void CRecentFiles::Add(const std::string& path) {
    if (path.empty()) return;
    for (size_t i = 0; i < m_paths.size(); ++i) {
        if (SamePathIgnoringCase(m_paths[i], path)) {
            m_paths.erase(m_paths.begin() + static_cast<long>(i));
            break;
        }
    }
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > kMaxFiles) m_paths.resize(kMaxFiles);
}

void CRecentFiles::Remove(const std::string& path) {
    for (size_t i = 0; i < m_paths.size(); ++i) {
        if (SamePathIgnoringCase(m_paths[i], path)) {
            m_paths.erase(m_paths.begin() + static_cast<long>(i));
            return;
        }
    }
}

void CRecentFiles::Append(const std::string& path) {
    if (!path.empty() && m_paths.size() < kMaxFiles) m_paths.push_back(path);
}

std::string ChooseDefaultDirectory(const CRecentFiles& recent, const std::string& documentsFolder,
                                   const std::string& fileSavePath) {
    if (!fileSavePath.empty()) return fileSavePath;
    if (!recent.Paths().empty()) {
        const std::string& first = recent.Paths().front();
        size_t cut = first.find_last_of("/\\");
        if (cut != std::string::npos) return first.substr(0, cut + 1);
    }
    if (documentsFolder.empty() || documentsFolder.back() == '/' || documentsFolder.back() == '\\')
        return documentsFolder;
    return documentsFolder + "/";
}

std::string FormatTitle(const std::string& documentFileName) {
    return (documentFileName.empty() ? MessageText(Msg::kUntitled) : documentFileName) + " - " +
           MessageText(Msg::kProductName);
}

std::string FormatStatusText(int networkAddress, int nodeAddress, unsigned unitNumber, const std::string& comment,
                             int displayMode) {
    return MessageText(32904) + std::to_string(networkAddress) + " " + MessageText(32905) +
           std::to_string(nodeAddress) + " " + MessageText(32906) + std::to_string(unitNumber) + " " + comment + " " +
           MessageText(displayMode == 1 ? 32797 : 32796);
}
