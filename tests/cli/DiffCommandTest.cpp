#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "model/Prompter.h"
#include "model/SettingsFile.h"

namespace {
int Diff(std::vector<std::string> args, std::string* out, std::string* err) {
    args.insert(args.begin(), {"linksmithctl", "diff"});
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream o, e;
    int status = RunCli(static_cast<int>(argv.size()), argv.data(), o, e);
    *out = o.str();
    *err = e.str();
    return status;
}
}  // namespace

TEST(DiffCommand, SameFileMatchesAndOneChangeIsOneRow) {
    const std::string plant = LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm";
    std::string out, err;
    ASSERT_EQ(Diff({plant, plant}, &out, &err), 0) << err;
    EXPECT_NE(out.find("0 difference(s)"), std::string::npos) << out;

    CUnitSettings record;
    RecordingPrompter prompter;
    CSettingsFile file(record, prompter);
    ASSERT_TRUE(file.Load(plant, false));
    record.pc.localArea1Start = static_cast<uint16_t>(record.pc.localArea1Start + 1);
    const std::string changed = (std::filesystem::temp_directory_path() / "linksmith-diff-changed.lsm").string();
    ASSERT_TRUE(file.WriteFile(changed));
    ASSERT_EQ(Diff({changed, plant, "--json"}, &out, &err), 1) << err;
    nlohmann::json j = nlohmann::json::parse(out);
    ASSERT_EQ(j["differences"], 1);
    EXPECT_EQ(j["rows"][0]["id"], 32874);
    std::filesystem::remove(changed);

    EXPECT_EQ(Diff({plant, "/nonexistent/file.lsm"}, &out, &err), 2);
}

TEST(VerifyCommand, FreshSimulatedUnitDiffersFromAFile) {
    const std::string plant = LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm";
    std::vector<std::string> args = {"linksmithctl", "verify", "--simulate", "--json", plant};
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    ASSERT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), out, err), 1) << err.str();
    nlohmann::json j = nlohmann::json::parse(out.str());
    EXPECT_GT(j["differences"].get<int>(), 0);
    EXPECT_EQ(j["rows"].size(), j["differences"].get<size_t>());
}
