#pragma once
#include <map>
#include <string>

// A private profile (INI) file: [section] lines and key=value lines, read and written whole.
class CProfileFile {
public:
    explicit CProfileFile(std::string path) : m_path(std::move(path)) {}
    // Empty text (the default) when the file, the section or the key is missing.
    std::string ReadString(const std::string& section, const std::string& key, size_t bufferSize) const;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    const std::string& Path() const { return m_path; }

    // LinkSmith/LinkSmith.ini in the user's config folder: $XDG_CONFIG_HOME or ~/.config on
    // Linux, %APPDATA% on Windows.
    static std::string DefaultPath();

private:
    std::string m_path;
};
