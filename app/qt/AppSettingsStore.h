#pragma once
#include <string>
#include <vector>

// Where the program keeps what the original kept in the registry: INI files under the user's
// config directory, with the same key names ("QUORVEX/LinkSmith.ini", group
// "Recent File List"; the tool suite's "QUORVEX/Toolvane.ini", read only).
class CAppSettingsStore {
public:
    // configDir empty: the platform's user config directory; tests pass a folder of their own.
    explicit CAppSettingsStore(const std::string& configDir = "");

    std::string ViewStatus() const;  // empty when missing
    void SetViewStatus(const std::string& value);
    std::vector<std::string> RecentFiles() const;  // "SAVE_FILENAME1".. in order, stops at the first missing
    void SetRecentFiles(const std::vector<std::string>& paths);
    std::string FileSavePath() const;  // the suite's "FileSavePath"

    std::string LinkSmithFile() const { return m_linkSmithFile; }
    std::string ToolvaneFile() const { return m_toolvaneFile; }

private:
    std::string m_linkSmithFile;
    std::string m_toolvaneFile;
};
