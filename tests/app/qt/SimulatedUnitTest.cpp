// The unit that linksmith --simulate builds answers only at the unit number the window shows.
#include <QApplication>
#include <algorithm>

#include "app/qt/LinkSmithDlg.h"
#include "comm/CommuProcess.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

constexpr int kTransferToPlc = 32782, kTransferDone = 33030, kNoSuchUnit = 33007;

class SimulatedUnitTest : public StartupFixture {
protected:
    bool Shown(int id) const {
        const std::vector<int> ids = ShownIds();
        return std::find(ids.begin(), ids.end(), id) != ids.end();
    }
};

TEST_F(SimulatedUnitTest, TheSimulatedUnitSitsAtTheUnitNumberOfTheOpenFile) {
    // The sample file names unit 2: the write reaches the simulated unit.
    ASSERT_TRUE(Start({"--simulate", LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm"}));
    ASSERT_EQ(startup->Record().unitNumber, 2u);
    startup->Window()->Action(kTransferToPlc)->trigger();
    EXPECT_TRUE(Shown(kTransferDone)) << ::testing::PrintToString(ShownIds());
    EXPECT_FALSE(Shown(kNoSuchUnit));

    // Commands addressed to another unit than the one shown are answered as by a PLC without
    // that unit, so such a fault cannot pass unseen.
    prompter.shown.clear();
    startup->Commu().m_unitNumber = 3;
    startup->Window()->Action(kTransferToPlc)->trigger();
    EXPECT_TRUE(Shown(kNoSuchUnit)) << ::testing::PrintToString(ShownIds());
    EXPECT_FALSE(Shown(kTransferDone));
}

}  // namespace
