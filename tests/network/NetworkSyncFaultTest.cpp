#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "cli/Cli.h"
#include "model/FileSystemOps.h"
#include "network/NetworkPlan.h"
#include "network/NetworkSync.h"
#include "tests/network/NetworkTestFiles.h"

namespace {

// Stale tables in nodes 1, 3 and 4 of the example: a sync rewrites those three files.
void BreakTables(NetworkFolder& net) {
    net.Change("press.lsm", [](SettingsImage& pc) { pc.entries[0].area1Size = 8; });
    net.Change("welder.lsm", [](SettingsImage& pc) { pc.entries[1].area2Size = 50; });
    net.Change("paint.lsm", [](SettingsImage& pc) { pc.entries[2].area1Offset = 40; });
}

bool AnyTempLeft(const NetworkFolder& net) {
    for (const auto& [name, bytes] : net.Snapshot())
        if (name.find(".syncing") != std::string::npos || name.find(".saving") != std::string::npos) return true;
    return false;
}

// Real file-system calls; the renames from the n-th on fail (the restore's renames too when
// restoreFails is set).
class CRenameFails : public CFileSystemOps {
public:
    int failFrom = 0;
    bool restoreFails = false;
    int renames = 0;
    int Rename(const char* from, const char* to) override {
        ++renames;
        const bool restoring = std::string(from).find(".saving") != std::string::npos;
        if ((renames >= failFrom && !restoring) || (restoring && restoreFails)) {
            errno = EIO;
            return -1;
        }
        return CFileSystemOps::Rename(from, to);
    }
};

TEST(NetworkSyncFaultTest, FailingToWriteOneFileLeavesEveryFileAsBefore) {
    NetworkFolder net;
    BreakTables(net);
    // The second file's temporary name is taken by a folder: its new bytes cannot be written.
    std::filesystem::create_directory(net.Path("welder.lsm.syncing"));
    const auto before = net.Snapshot();
    const char* argv[] = {"linksmithctl", "network", "sync", net.net.c_str()};
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(4, argv, out, err), 2);
    EXPECT_NE(err.str().find("sync failed: cannot create " + net.Path("welder.lsm.syncing")), std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("every settings file is as it was before the sync\n"), std::string::npos);
    EXPECT_EQ(net.Snapshot(), before);
}

TEST(NetworkSyncFaultTest, FailedRenamePutsReplacedFilesBack) {
    for (const bool restoreFails : {false, true}) {
        NetworkFolder net;
        BreakTables(net);
        const auto before = net.Snapshot();
        CNetworkPlan plan;
        ASSERT_TRUE(plan.Load(net.net));
        CNetworkSync sync(plan);
        ASSERT_TRUE(sync.Prepare(false));
        ASSERT_EQ(sync.Changes().size(), 3u);
        const std::string pressAfter = sync.Changes()[0].newBytes;

        CRenameFails ops;
        ops.failFrom = 2;  // press.lsm is replaced, welder.lsm is not
        ops.restoreFails = restoreFails;
        EXPECT_FALSE(sync.Write(ops));
        EXPECT_EQ(sync.Error(), "cannot replace " + net.Path("welder.lsm") + ": " + std::strerror(EIO));
        EXPECT_FALSE(AnyTempLeft(net));
        auto now = net.Snapshot();
        if (!restoreFails) {
            EXPECT_TRUE(sync.Changed().empty());
            EXPECT_EQ(now, before);
        } else {
            // press.lsm could not be put back: it holds the whole synced file, and says so.
            EXPECT_EQ(sync.Changed(), std::vector<std::string>{net.Path("press.lsm")});
            EXPECT_EQ(now["press.lsm"], pressAfter);
            now["press.lsm"] = before.at("press.lsm");
            EXPECT_EQ(now, before);
        }
    }
}

}  // namespace
