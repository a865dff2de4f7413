#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "model/FileIo.h"
#include "model/Messages.h"

namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun RunCtl(std::vector<std::string> args) {
    args.insert(args.begin(), "linksmithctl");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

const std::string kExamples = LINKSMITH_EXAMPLES_DIR;

class CliTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("linksmith-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
};

TEST_F(CliTest, ShowJsonIsTheSameRecordForEveryDialect) {
    CliRun english = RunCtl({"show", "--json", kExamples + "/plant-line1.lsm"});
    ASSERT_EQ(english.status, 0) << english.err;
    EXPECT_EQ(english.err, "");
    auto j = nlohmann::json::parse(english.out);
    EXPECT_EQ(j["nodeName"], "第1ライン");
    EXPECT_EQ(j["unitNumber"], 2);
    ASSERT_EQ(j["entries"].size(), 6u);
    EXPECT_EQ(j["entries"][2]["nodeNumber"], 4);
    EXPECT_EQ(j["entries"][2]["receiveDataOrder"], 1);
    EXPECT_EQ(j["mapArea2Type"], "DM");

    for (const char* other : {"/plant-line1-japanese.lsm", "/plant-line1-old.csv"}) {
        CliRun run = RunCtl({"show", "--json", kExamples + other});
        EXPECT_EQ(run.status, 0) << other << run.err;
        EXPECT_EQ(run.out, english.out) << other;
    }
}

TEST_F(CliTest, ConvertWritesTheLsmDialect) {
    std::string original;
    ASSERT_TRUE(ReadWholeFile(kExamples + "/plant-line1.lsm", original));
    for (const char* in : {"/plant-line1-japanese.lsm", "/plant-line1-old.csv", "/plant-line1.lsm"}) {
        std::string out = (dir / "out.lsm").string();
        CliRun run = RunCtl({"convert", kExamples + in, out});
        EXPECT_EQ(run.status, 0) << in << run.err;
        std::string written;
        ASSERT_TRUE(ReadWholeFile(out, written));
        EXPECT_EQ(written, original) << in;
    }
}

TEST_F(CliTest, ExitStatusTellsCleanWarnedAndFailed) {
    std::string bad = Write("bad.lsm", "Type,X,\r\nUnit area setting,,\r\n,Token watchdog timer,999,\r\n");
    CliRun warned = RunCtl({"show", bad});
    EXPECT_EQ(warned.status, 1);
    EXPECT_NE(warned.out.find("tokenWatchdog: 50"), std::string::npos);
    EXPECT_EQ(std::count(warned.err.begin(), warned.err.end(), '\n'), 1) << warned.err;
    EXPECT_NE(warned.err.find("bad.lsm"), std::string::npos);

    CliRun converted = RunCtl({"convert", bad, (dir / "fixed.lsm").string()});
    EXPECT_EQ(converted.status, 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "fixed.lsm"));
    EXPECT_EQ(RunCtl({"show", (dir / "fixed.lsm").string()}).status, 0);

    CliRun missing = RunCtl({"show", (dir / "none.lsm").string()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);
    CliRun missingJson = RunCtl({"show", "--json", (dir / "none.lsm").string()});
    EXPECT_EQ(missingJson.status, 2);
    EXPECT_EQ(nlohmann::json::parse(missingJson.out),
              (nlohmann::json{{"error", {{"id", Msg::kFileNotFound}, {"text", MessageText(Msg::kFileNotFound)}}}}));

    CliRun unwritable = RunCtl({"convert", bad, (dir / "no-such-dir" / "x.lsm").string()});
    EXPECT_EQ(unwritable.status, 2);

    EXPECT_EQ(RunCtl({"show"}).status, 2);
    EXPECT_EQ(RunCtl({"frobnicate"}).status, 2);
}

TEST_F(CliTest, SavingThroughASymbolicLinkWritesItsFileAndKeepsTheLink) {
    namespace fs = std::filesystem;
    // A relative link in another folder, to a file that is only readable by its owner and group.
    fs::create_directories(dir / "kept");
    const fs::path real = dir / "kept" / "unit.lsm";
    Write("kept/unit.lsm", "old");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_directories(dir / "links");
    const fs::path link = dir / "links" / "unit.lsm";
    fs::create_symlink("../kept/unit.lsm", link);
    ASSERT_EQ(RunCtl({"convert", kExamples + "/plant-line1.lsm", link.string()}).status, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "../kept/unit.lsm");
    std::string original, written;
    ASSERT_TRUE(ReadWholeFile(kExamples + "/plant-line1.lsm", original));
    ASSERT_TRUE(ReadWholeFile(real.string(), written));
    EXPECT_EQ(written, original);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "kept"), fs::directory_iterator()), 1) << "no file left over";

    // A link to a file not there yet creates that file; a loop of links is refused.
    fs::create_symlink("../kept/new.lsm", dir / "links" / "new.lsm");
    ASSERT_EQ(RunCtl({"convert", kExamples + "/plant-line1.lsm", (dir / "links" / "new.lsm").string()}).status, 0);
    EXPECT_TRUE(fs::is_regular_file(dir / "kept" / "new.lsm"));
    fs::create_symlink("b.lsm", dir / "links" / "a.lsm");
    fs::create_symlink("a.lsm", dir / "links" / "b.lsm");
    EXPECT_EQ(RunCtl({"convert", kExamples + "/plant-line1.lsm", (dir / "links" / "a.lsm").string()}).status, 2);
    EXPECT_TRUE(fs::is_symlink(dir / "links" / "a.lsm"));
}

}  // namespace
