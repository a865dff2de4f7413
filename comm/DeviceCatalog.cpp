#include "comm/DeviceCatalog.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/Folders.h"

namespace {
constexpr size_t kMaxText = 255;
constexpr size_t kMaxValue = 500;

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return std::string();
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

int VersionNumber(const std::string& text) {
    if (text.empty()) return 0;
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(v) || v > 2147483647.0 || v < -2147483648.0) return 0;
    return static_cast<int>(v);
}

bool HandOver(const std::string& text, std::string* out) {
    if (text.size() >= kMaxText) return false;
    *out = text;
    return true;
}
}  // namespace

CDeviceCatalog::CDeviceCatalog(const std::string& path) {
    std::ifstream f(std::filesystem::u8path(path), std::ios::binary);
    if (!f) return;
    // Sections are full key paths; keep them per group, in file order, then read group by group.
    struct Raw {
        std::string subkey;
        std::map<std::string, std::string> values;
    };
    std::vector<Raw> groups[2];
    Raw* current = nullptr;
    std::string line;
    while (std::getline(f, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = nullptr;
            std::string keyPath = line.substr(1, line.size() - 2);
            while (!keyPath.empty() && keyPath.back() == '\\') keyPath.pop_back();
            std::string base(kBase);
            if (keyPath.compare(0, base.size(), base) != 0) continue;
            std::string rest = keyPath.substr(base.size());
            for (int g = 0; g < 2; ++g) {
                std::string group = std::string(kGroups[g]) + "\\";
                if (rest.size() > group.size() && rest.compare(0, group.size(), group) == 0) {
                    std::string sub = rest.substr(group.size());
                    if (sub.find('\\') != std::string::npos || sub.size() >= 256) break;
                    groups[g].push_back({sub, {}});
                    current = &groups[g].back();
                    break;
                }
            }
            continue;
        }
        size_t eq = line.find('=');
        if (!current || eq == std::string::npos) continue;
        std::string value = Trim(line.substr(eq + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.size() > kMaxValue) value.resize(kMaxValue);
        current->values[Trim(line.substr(0, eq))] = value;
    }
    for (auto& group : groups) {
        for (Raw& r : group) {
            auto c = std::make_unique<DeviceConfiguration>();
            c->key = r.subkey;
            c->name = r.values["Name"];
            c->type = r.values["Type"];
            c->versionName = r.values["VersionName"];
            c->majorVersionText = r.values["MajorVersion"];
            c->minorVersionText = r.values["MinorVersion"];
            if (c->name.empty()) c->name = r.subkey;
            if (c->type.empty()) c->type = r.subkey;
            c->majorVersion = VersionNumber(c->majorVersionText);
            c->minorVersion = VersionNumber(c->minorVersionText);
            m_keyByName[c->name] = c->key;
            m_byKey[c->key] = std::move(c);
        }
    }
}

bool CDeviceCatalog::GetName(const std::string& key, std::string* name) const {
    auto it = m_byKey.find(key);
    return it != m_byKey.end() && HandOver(it->second->name, name);
}

bool CDeviceCatalog::GetType(const std::string& key, std::string* type) const {
    auto it = m_byKey.find(key);
    return it != m_byKey.end() && HandOver(it->second->type, type);
}

bool CDeviceCatalog::GetKeyByName(const std::string& name, std::string* key) const {
    auto it = m_keyByName.find(name);
    if (it == m_keyByName.end() || it->second.empty()) return false;
    return HandOver(it->second, key);
}

bool CDeviceCatalog::GetVersion(const std::string& key, std::string* versionName, int* major, int* minor) const {
    *major = 0;
    *minor = 0;
    auto it = m_byKey.find(key);
    if (it == m_byKey.end()) return false;
    if (!HandOver(it->second->versionName, versionName)) return false;
    *major = it->second->majorVersion;
    *minor = it->second->minorVersion;
    return true;
}

std::string CDeviceCatalog::InstalledPath() {
    const std::string folder = ExecutableFolder();
    if (folder.empty()) return std::string();
    std::error_code ec;
    const std::filesystem::path path =
        std::filesystem::u8path(folder).parent_path() / "share" / "linksmith" / "DeviceCatalog.ini";
    return std::filesystem::is_regular_file(path, ec) ? path.u8string() : std::string();
}
