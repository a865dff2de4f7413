#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <unistd.h>

#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Prompter.h"
#include "model/SettingsFile.h"
#include "tests/model/FailingFileOps.h"

namespace fs = std::filesystem;

namespace {

struct SaveDialogs : ISettingsFileDialogs {
    std::string savePath;
    std::function<void()> afterChoice;  // runs between the file choice and the write
    bool ChooseFileToOpen(bool, const std::string&, std::string&) override { return false; }
    bool ChooseFileToSave(const std::string&, std::string& path) override {
        path = savePath;
        if (afterChoice) afterChoice();
        return true;
    }
    bool EditComment(std::string&) override { return true; }
};

class SaveFaultsTest : public ::testing::Test {
protected:
    fs::path dir;
    fs::path path;
    CUnitSettings record;
    RecordingPrompter prompter;
    SaveDialogs dialogs;
    CSettingsFile file{record, prompter, nullptr, &dialogs};
    CFailingFileOps ops;
    std::string before;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "linksmith-save-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" +
                           info->name();
        for (char& c : name)
            if (c == '/') c = '-';  // parameterised names carry a "/"
        dir = fs::temp_directory_path() / name;
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = dir / "unit.lsm";
        dialogs.savePath = path.string();
        ASSERT_TRUE(file.Save(path.string()));
        ASSERT_TRUE(ReadWholeFile(path.string(), before));
        // The document the user is trying to save differs from the file on disk.
        record.pc.tokenWatchdog = 99;
        file.saveState = 1;
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir, ec)) names.push_back(e.path().filename().string());
        return names;
    }
    std::string Contents() const {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path.string(), bytes));
        return bytes;
    }
    // What must hold after any failed save.
    void ExpectFailedSaveKeptEverything() {
        EXPECT_EQ(Contents(), before) << "the old file is intact byte for byte";
        EXPECT_EQ(Files(), std::vector<std::string>{"unit.lsm"}) << "no temporary file is left behind";
        ASSERT_EQ(prompter.shown.size(), 1u) << "reported exactly once";
        EXPECT_EQ(prompter.shown[0].id, Msg::kFileSaveError);
        EXPECT_EQ(prompter.shown[0].icon, PromptIcon::Warning);
        EXPECT_EQ(file.saveState, 1) << "a failed save is not a saved document";
    }
};

struct Fault {
    const char* name;
    CFailingFileOps::Step step;
    int error;
    size_t writeFailAfter;
};

class SaveFaultAtEachStepTest : public SaveFaultsTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(SaveFaultAtEachStepTest, OldFileStaysAndTheFailureIsReportedOnce) {
    const Fault& fault = GetParam();
    ops.failAt = fault.step;
    ops.failErrno = fault.error;
    ops.writeFailAfter = fault.writeFailAfter;
    ops.maxChunk = 64;  // several writes, so a failure can come in the middle of the file
    file.fileOps = &ops;
    EXPECT_FALSE(file.Save(""));
    ExpectFailedSaveKeptEverything();
    if (fault.step != CFailingFileOps::kOpen) {
        EXPECT_EQ(ops.closes, 1) << "the temporary file's descriptor is closed";
        EXPECT_EQ(ops.removed, std::vector<std::string>{path.string() + ".saving"});
    }

    // Once the disk behaves again the same save goes through.
    prompter.shown.clear();
    file.fileOps = nullptr;
    EXPECT_TRUE(file.Save(""));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_NE(Contents().find(",Token watchdog timer,99,"), std::string::npos);
    EXPECT_EQ(file.saveState, 2);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, SaveFaultAtEachStepTest,
    ::testing::Values(Fault{"CreateRefused", CFailingFileOps::kOpen, EACCES, 0},
                      Fault{"DiskFullAtOnce", CFailingFileOps::kWrite, ENOSPC, 0},
                      Fault{"DiskFullMidFile", CFailingFileOps::kWrite, ENOSPC, 300},
                      Fault{"WriteTakesNothing", CFailingFileOps::kWriteZero, 0, 0},
                      Fault{"SyncFails", CFailingFileOps::kSync, EIO, 0},
                      Fault{"CloseFails", CFailingFileOps::kClose, EIO, 0},
                      Fault{"RenameFails", CFailingFileOps::kRename, EXDEV, 0}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

TEST_F(SaveFaultsTest, DiskFullOneByteShortOfTheWholeFile) {
    ops.failAt = CFailingFileOps::kWrite;
    ops.failErrno = ENOSPC;
    ops.writeFailAfter = file.Serialize().size() - 1;
    file.fileOps = &ops;
    EXPECT_FALSE(file.Save(""));
    EXPECT_EQ(ops.written, file.Serialize().size() - 1);
    ExpectFailedSaveKeptEverything();
}

TEST_F(SaveFaultsTest, ShortAndInterruptedWritesStillWriteTheWholeFile) {
    ops.maxChunk = 7;
    ops.interruptEveryOther = true;
    file.fileOps = &ops;
    EXPECT_TRUE(file.Save(""));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(Contents(), file.Serialize());
    EXPECT_EQ(Files(), std::vector<std::string>{"unit.lsm"});
    EXPECT_EQ(file.saveState, 2);
}

TEST_F(SaveFaultsTest, FailedFirstSaveLeavesNoFileAtAll) {
    const fs::path fresh = dir / "fresh.lsm";
    dialogs.savePath = fresh.string();
    ops.failAt = CFailingFileOps::kWrite;
    ops.failErrno = ENOSPC;
    ops.writeFailAfter = 10;
    file.fileOps = &ops;
    EXPECT_FALSE(file.Save(""));
    EXPECT_FALSE(fs::exists(fresh));
    EXPECT_EQ(Files(), std::vector<std::string>{"unit.lsm"});
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, Msg::kFileSaveError);
    EXPECT_EQ(file.currentFileName, "unit.lsm") << "the document keeps the name it had";
}

TEST_F(SaveFaultsTest, ReadOnlyDirectory) {
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    if (std::FILE* probe = std::fopen((dir / "probe").string().c_str(), "wb")) {
        std::fclose(probe);
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove(dir / "probe");
        GTEST_SKIP() << "the folder stays writable here (root, or a system without these permissions)";
    }
    EXPECT_FALSE(file.Save(""));
    fs::permissions(dir, fs::perms::owner_all);
    ExpectFailedSaveKeptEverything();
}

TEST_F(SaveFaultsTest, DirectoryRemovedBetweenChoosingAndWriting) {
    const fs::path gone = dir / "gone";
    fs::create_directories(gone);
    dialogs.savePath = (gone / "unit.lsm").string();
    dialogs.afterChoice = [&] { fs::remove_all(gone); };
    EXPECT_FALSE(file.Save(""));
    EXPECT_FALSE(fs::exists(gone)) << "the save does not bring the directory back";
    ExpectFailedSaveKeptEverything();
    EXPECT_EQ(file.currentFileName, "unit.lsm");
}

TEST_F(SaveFaultsTest, ReplacedFileKeepsItsPermissions) {
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(file.Save(""));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_NE(Contents(), before);
}

}  // namespace
