#pragma once
#include <string>
#include <vector>

// Where the program keeps what the registry would hold: INI files under the user's config
// directory (~/.config or $XDG_CONFIG_HOME on Linux, %APPDATA% on Windows), with the same key
// names on both systems ("QUORVEX/LinkSmith.ini", group "Recent File List", which
// Qt writes as [Recent%20File%20List]; the tool suite's "QUORVEX/Toolvane.ini", read only).
class CAppSettingsStore {
public:
    // configDir empty: the platform's user config directory; tests pass a folder of their own.
    explicit CAppSettingsStore(const std::string& configDir = "");

    std::string ViewStatus() const;  // empty when missing
    void SetViewStatus(const std::string& value);
    static constexpr size_t kRecentKeyCount = 3;
    // "SAVE_FILENAME1".."SAVE_FILENAME3" in order, every one found (a missing one is skipped).
    std::vector<std::string> RecentFiles() const;
    // Writes one key per path; of the keys after them it removes only those RecentFiles found.
    void SetRecentFiles(const std::vector<std::string>& paths);
    std::string FileSavePath() const;  // the suite's "FileSavePath"
    // The main window's "x y width height maximised" ("WINDOW_PLACEMENT", beside VIEW_STATUS).
    std::string WindowPlacement() const;
    void SetWindowPlacement(const std::string& value);

    std::string LinkSmithFile() const { return m_linkSmithFile; }
    std::string ToolvaneFile() const { return m_toolvaneFile; }

private:
    std::string m_linkSmithFile;
    std::string m_toolvaneFile;
    mutable bool m_recentKeyRead[kRecentKeyCount] = {};
};
