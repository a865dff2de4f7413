#pragma once
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "model/FileIo.h"
#include "model/Prompter.h"
#include "model/SettingsFile.h"

// A copy of the example network in a folder of the test's own, and the node files' bytes.
class NetworkFolder {
public:
    explicit NetworkFolder(const std::string& suffix = "") {
        dir = std::filesystem::temp_directory_path() /
              ("linksmith-network-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
               suffix);
        std::filesystem::remove_all(dir);
        std::filesystem::copy(std::string(LINKSMITH_EXAMPLES_DIR) + "/network-line1", dir);
        net = (dir / "line1.toml").string();
    }
    ~NetworkFolder() { std::filesystem::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }
    std::string Bytes(const std::string& name) const {
        std::string b;
        ReadWholeFile(Path(name), b);
        return b;
    }
    // Every file of the folder with its bytes: a sync that must write nothing leaves this as it was.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> all;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            all[e.path().filename().string()] = e.is_regular_file() ? Bytes(e.path().filename().string()) : "<dir>";
        return all;
    }
    // Reads a node's settings file, lets edit change the record, saves it again.
    template <class Edit>
    void Change(const std::string& name, Edit edit) {
        CUnitSettings record;
        RecordingPrompter prompter;
        CSettingsFile file(record, prompter);
        ASSERT_TRUE(file.ReadFile(Path(name), false));
        edit(record.pc);
        ASSERT_TRUE(file.WriteFile(Path(name)));
    }
    void WriteNet(const std::string& text) const { std::ofstream(net, std::ios::binary) << text; }

    std::filesystem::path dir;
    std::string net;
};
