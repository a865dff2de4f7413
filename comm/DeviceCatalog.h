#pragma once
#include <map>
#include <memory>
#include <string>

// One device configuration of the installed catalog.
struct DeviceConfiguration {
    std::string key;
    std::string name;
    std::string type;
    std::string versionName;
    std::string majorVersionText;
    std::string minorVersionText;
    int majorVersion = 0;
    int minorVersion = 0;
};

// The installed device catalog (docs/device-catalog.md), read once from its file; a missing
// file makes every look-up fail.
class CDeviceCatalog {
public:
    explicit CDeviceCatalog(const std::string& path);
    bool GetName(const std::string& key, std::string* name) const;
    bool GetType(const std::string& key, std::string* type) const;
    bool GetKeyByName(const std::string& name, std::string* key) const;
    bool GetVersion(const std::string& key, std::string* versionName, int* major, int* minor) const;

    // The catalog installed with the program, share/linksmith/DeviceCatalog.ini beside the
    // folder of the running executable; empty when it is not there.
    static std::string InstalledPath();

    static constexpr const char* kBase = "SOFTWARE\\QUORVEX\\Component Catalog\\";
    static constexpr const char* kGroups[2] = {"COMPONENTS\\DeviceConfigurations", "GROUPS\\AllLegacyDevices"};

private:
    std::map<std::string, std::unique_ptr<DeviceConfiguration>> m_byKey;
    std::map<std::string, std::string> m_keyByName;
};
