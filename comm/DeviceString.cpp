#include "comm/DeviceString.h"

#include <cerrno>
#include <cstdlib>

bool CDeviceString::Parse(const std::string& text) {
    m_sections.clear();
    std::vector<Section> parsed;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '[') {
            size_t close = text.find(']', i + 1);
            if (close == std::string::npos || close == i + 1) return false;
            std::string name = text.substr(i + 1, close - i - 1);
            if (name.find_first_of("[;:") != std::string::npos) return false;
            parsed.push_back({name, {}});
            i = close + 1;
            continue;
        }
        // A key outside any section has nowhere to belong.
        if (parsed.empty()) return false;
        size_t colon = text.find(':', i);
        size_t semi = text.find(';', i);
        if (colon == std::string::npos || semi == std::string::npos || colon > semi || colon == i) return false;
        std::string key = text.substr(i, colon - i);
        if (key.find_first_of("[]") != std::string::npos) return false;
        parsed.back().values.emplace_back(key, text.substr(colon + 1, semi - colon - 1));
        i = semi + 1;
    }
    m_sections = std::move(parsed);
    return true;
}

std::string CDeviceString::Write() const {
    std::string out;
    for (const Section& s : m_sections) {
        out += "[" + s.name + "]";
        for (const auto& kv : s.values) out += kv.first + ":" + kv.second + ";";
    }
    return out;
}

bool CDeviceString::Has(const std::string& section, const std::string& key) const {
    for (const Section& s : m_sections) {
        if (s.name != section) continue;
        for (const auto& kv : s.values)
            if (kv.first == key) return true;
    }
    return false;
}

std::string CDeviceString::Get(const std::string& section, const std::string& key) const {
    for (const Section& s : m_sections) {
        if (s.name != section) continue;
        for (const auto& kv : s.values)
            if (kv.first == key) return kv.second;
    }
    return std::string();
}

void CDeviceString::Set(const std::string& section, const std::string& key, const std::string& value) {
    Section* target = nullptr;
    for (Section& s : m_sections) {
        if (s.name != section) continue;
        if (!target) target = &s;
        for (auto& kv : s.values) {
            if (kv.first == key) {
                kv.second = value;
                return;
            }
        }
    }
    if (!target) {
        m_sections.push_back({section, {}});
        target = &m_sections.back();
    }
    target->values.emplace_back(key, value);
}

long CDeviceString::GetNumber(const std::string& section, const std::string& key, long fallback) const {
    if (!Has(section, key)) return fallback;
    std::string v = Get(section, key);
    if (v.empty()) return fallback;
    errno = 0;
    char* end = nullptr;
    long n = std::strtol(v.c_str(), &end, 10);
    if (errno != 0 || end == v.c_str() || *end != '\0') return fallback;
    return n;
}
