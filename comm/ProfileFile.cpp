#include "comm/ProfileFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "model/FileIo.h"
#include "platform/Folders.h"

namespace {
std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return std::string();
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream f(std::filesystem::u8path(path), std::ios::binary);
    std::string line;
    while (std::getline(f, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool IsSection(const std::string& line, std::string* name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
    *name = Trim(t.substr(1, t.size() - 2));
    return true;
}

// Folders made here are the user's own (0700 on Linux); folders that exist are left as they are.
void MakeParents(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path folder;
    for (const fs::path& part : fs::u8path(path).parent_path()) {
        folder /= part;
        std::error_code ec;
        if (fs::create_directory(folder, ec)) fs::permissions(folder, fs::perms::owner_all, ec);
    }
}
}  // namespace

std::string CProfileFile::ReadString(const std::string& section, const std::string& key, size_t bufferSize) const {
    std::string current;
    for (const std::string& line : ReadLines(m_path)) {
        std::string name;
        if (IsSection(line, &name)) {
            current = name;
            continue;
        }
        if (current != section) continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos || Trim(line.substr(0, eq)) != key) continue;
        std::string value = Trim(line.substr(eq + 1));
        if (bufferSize > 0 && value.size() > bufferSize - 1) value.resize(bufferSize - 1);
        return value;
    }
    return std::string();
}

bool CProfileFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    if (m_path.empty()) return false;
    std::string clean;
    for (char c : value) clean += (c == '\r' || c == '\n') ? ' ' : c;
    std::vector<std::string> lines = ReadLines(m_path);
    std::string current;
    int sectionEnd = -1;
    bool done = false;
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        std::string name;
        if (IsSection(lines[i], &name)) {
            current = name;
            if (current == section) sectionEnd = static_cast<int>(i) + 1;
            continue;
        }
        if (current != section) continue;
        sectionEnd = static_cast<int>(i) + 1;
        size_t eq = lines[i].find('=');
        if (eq != std::string::npos && Trim(lines[i].substr(0, eq)) == key) {
            // A connection writes the same values at every start; rewriting (and flushing) the
            // file for each of them made a command-line run several times slower.
            if (lines[i] == key + "=" + clean) return true;
            lines[i] = key + "=" + clean;
            done = true;
        }
    }
    if (!done) {
        if (sectionEnd < 0) {
            lines.push_back("[" + section + "]");
            lines.push_back(key + "=" + clean);
        } else {
            lines.insert(lines.begin() + sectionEnd, key + "=" + clean);
        }
    }
    MakeParents(m_path);
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return WriteFileAtomically(m_path, text);
}

std::string CProfileFile::DefaultPath() {
    return UserConfigFolder() + "/LinkSmith/LinkSmith.ini";
}
