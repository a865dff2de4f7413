#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "model/AreaType.h"
#include "model/Messages.h"
#include "model/Prompter.h"
#include "model/SettingsFile.h"

namespace {

struct ValidateRun {
    int status;
    std::string out;
    std::string err;
};

ValidateRun Validate(std::vector<std::string> args) {
    args.insert(args.begin(), {"linksmithctl", "validate"});
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

class ValidateCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("linksmith-validate-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        // Three nodes mapped into CIO 1000.. and DM 2000.., the local node in CIO 3000 and DM 5000.
        CUnitSettings& r = record;
        r.pc.mapArea1Type = AreaType::CIO;
        r.pc.mapArea1Start = 1000;
        r.pc.mapArea2Type = AreaType::DM;
        r.pc.mapArea2Start = 2000;
        r.pc.entryCount = 3;
        for (int i = 0; i < 3; ++i)
            r.pc.entries[i] = {static_cast<uint16_t>(i + 1), 0, 16, static_cast<uint16_t>(16 * i), 100,
                               static_cast<uint16_t>(100 * i)};
        r.pc.localArea1Type = AreaType::CIO;
        r.pc.localArea1Start = 3000;
        r.pc.localArea1Size = 16;
        r.pc.localArea1ComStart = 48;
        r.pc.localArea2Type = AreaType::DM;
        r.pc.localArea2Start = 5000;
        r.pc.localArea2Size = 100;
        r.pc.localArea2ComStart = 300;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Save(const char* name) {
        RecordingPrompter prompter;
        CSettingsFile file(record, prompter);
        const std::string path = (dir / name).string();
        EXPECT_TRUE(file.WriteFile(path));
        return path;
    }
    std::filesystem::path dir;
    CUnitSettings record;
};

TEST_F(ValidateCommandTest, CleanFilePrintsNothing) {
    const ValidateRun run = Validate({Save("clean.lsm")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

TEST_F(ValidateCommandTest, LocalAreaOverlappingARecordIsReported) {
    record.pc.localArea1Start = 1016;  // the second record's channels
    const std::string path = Save("overlap.lsm");
    const ValidateRun run = Validate({path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, FormatMessage(33034, {"2"}) + "\n");
    // The overlap names a record of the mapping table: that is the page to go to.
    const auto j = nlohmann::json::parse(Validate({"--json", path}).out);
    EXPECT_EQ(j["id"], 33034);
    EXPECT_EQ(j["page"], "mapping");
}

TEST_F(ValidateCommandTest, ARuleThatFocusesNoFieldStillNamesItsPage) {
    // The two local areas in one memory area overlapping each other: a local node rule.
    record.pc.localArea2Type = AreaType::CIO;
    record.pc.localArea2Start = 3008;
    record.pc.localArea2Size = 16;
    const ValidateRun run = Validate({"--json", Save("local.lsm")});
    EXPECT_EQ(run.status, 1) << run.err;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["id"], 33065);
    EXPECT_EQ(j["page"], "localNode");
    EXPECT_TRUE(j["field"].is_null());
}

TEST_F(ValidateCommandTest, JsonNamesTheIdAndTheField) {
    record.pc.entries[2].nodeNumber = 1;  // the first record's node again
    const ValidateRun run = Validate({"--json", Save("duplicate.lsm")});
    EXPECT_EQ(run.status, 1) << run.err;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["id"], 32929);
    EXPECT_EQ(j["page"], "mapping");
    EXPECT_EQ(j["field"], "mapping.row[3].nodeNumber");
    EXPECT_EQ(j["message"], MessageText(32929));
}

TEST_F(ValidateCommandTest, FileThatNeededDefaultsIsNotClean) {
    record.pc.entries[2].area2Offset = 8150;  // the reader puts the default in and warns
    const ValidateRun run = Validate({Save("offset.lsm")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
}

TEST_F(ValidateCommandTest, FirstPageInOrderWins) {
    record.pc.localArea2ComStart = 8190;           // local node rule 6
    record.pc.entries[0].area1Offset = 600;        // mapping rule 5e
    const ValidateRun run = Validate({"--json", Save("two.lsm")});
    EXPECT_EQ(run.status, 1);
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["id"], 32835);
    EXPECT_EQ(j["field"], "localNode.localArea2ComStart");
    EXPECT_EQ(j["page"], "localNode");
}

TEST_F(ValidateCommandTest, UnreadableFileIsStatusTwo) {
    const ValidateRun run = Validate({(dir / "missing.lsm").string()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
}

}  // namespace
