#pragma once
#include <string>
#include <vector>

// The main window's view state as kept under "VIEW_STATUS": "%d %d %d %d".
struct ViewState {
    int toolbarVisible = 1;
    int statusBarVisible = 1;
    int extensionOn = 0;
    int displayMode = 0;  // 0 decimal, 1 hexadecimal
};

// Takes the characters at 0, 2, 4 and 6 as single digits; a missing one reads as 0, one that is
// not 0 or 1 as the field's default.
ViewState ParseViewStatus(const std::string& text);
std::string FormatViewStatus(const ViewState& state);

// Up to three recent settings files, most recent first; paths differing only in case are one.
class CRecentFiles {
public:
    static constexpr int kMaxFiles = 3;
    void Add(const std::string& path);
    // Drops an entry whose file could not be opened.
    void Remove(const std::string& path);
    // Appends a stored entry (start-up), keeping the order given.
    void Append(const std::string& path);
    const std::vector<std::string>& Paths() const { return m_paths; }

private:
    std::vector<std::string> m_paths;
};

// The folder a new document starts in: the suite's "FileSavePath" when set (used as it is),
// else the folder of the most recent file, else the user's documents folder plus a separator.
std::string ChooseDefaultDirectory(const CRecentFiles& recent, const std::string& documentsFolder,
                                   const std::string& fileSavePath);

// "%s - %s" of the document name ("無題" when empty) and the product name.
std::string FormatTitle(const std::string& documentFileName);
// The first status bar pane: connection target, unit, comment (UTF-8) and display mode.
std::string FormatStatusText(int networkAddress, int nodeAddress, unsigned unitNumber, const std::string& comment,
                             int displayMode);
