#pragma once
#include <string>
#include <utility>
#include <vector>

// "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;" — sections in brackets, each followed by
// KEY:VALUE; pairs. A value runs to the next semicolon and may hold colons (IPv6 hosts).
class CDeviceString {
public:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> values;
    };

    // False for a malformed text; the object is then empty. An empty text is a valid, empty string.
    bool Parse(const std::string& text);
    std::string Write() const;

    bool Has(const std::string& section, const std::string& key) const;
    std::string Get(const std::string& section, const std::string& key) const;
    // Replaces the value in place, or appends the key (and its section) at the end.
    void Set(const std::string& section, const std::string& key, const std::string& value);
    // Decimal value, or fallback when the key is missing or not a number.
    long GetNumber(const std::string& section, const std::string& key, long fallback) const;

    const std::vector<Section>& Sections() const { return m_sections; }

private:
    std::vector<Section> m_sections;
};
