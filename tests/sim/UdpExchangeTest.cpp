#include <gtest/gtest.h>

#include <thread>

#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "platform/UdpSocket.h"
#include "sim/SimServer.h"
#include "sim/UdpSimServer.h"
#include "tests/comm/ScriptedUnit.h"
#include "tests/common/LoopbackSim.h"

namespace {
constexpr uint16_t kEcho = 0x7E00;

// A simulator served over loopback UDP from a thread of the test.
class UdpExchange : public ::testing::Test {
protected:
    void Serve(const std::string& host) {
        unit = new CScriptedUnit;
        sim.AddPlc(0, 0, std::unique_ptr<ISimUnit>(unit));
        target = new CScriptedUnit("TARGET");
        sim.AddPlc(2, 5, std::unique_ptr<ISimUnit>(target));
        std::string error;
        ASSERT_TRUE(server.Start(&error, host)) << error;
    }
    void TearDown() override {
        comm.ClosePlc();
        comm.Shutdown();
        server.Stop();
    }
    bool Connect(const std::string& host, const std::string& extra = "TMO:150;") {
        comm.SetProfileFile(::testing::TempDir() + "/udp-profile.ini");
        comm.SetDirectDeviceString("[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;HOST:" + host +
                                   ";PORT:" + std::to_string(server.Port()) + ";" + extra);
        return comm.Initialize() && comm.OpenProject() && comm.OpenPlc();
    }
    bool Echo(const std::vector<uint8_t>& data, std::vector<uint8_t>* got = nullptr) {
        return comm.RunCommand(kEcho, 0, data, [got](CCommuProcess&, uint16_t, const uint8_t* p, size_t n) {
            if (got) got->assign(p, p + n);
            return true;
        });
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const auto& e : prompter.shown) ids.push_back(e.id);
        return ids;
    }

    CSimServer sim;
    CScriptedUnit* unit = nullptr;
    CScriptedUnit* target = nullptr;
    LoopbackSim server{sim};
    CSystemClock clock;
    CLinkMiddleware mw{clock};
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm{settings, prompter, mw};
};
}  // namespace

TEST_F(UdpExchange, WorksOverIpv6) {
    CUdpSocket probe;
    if (!probe.Bind("::1", 0, nullptr)) GTEST_SKIP() << "no IPv6 loopback here";
    probe.Close();
    Serve("::1");
    ASSERT_TRUE(Connect("::1"));
    std::vector<uint8_t> got;
    ASSERT_TRUE(Echo({1, 2, 3}, &got));
    EXPECT_EQ(got, (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(UdpExchange, GatewayRoutesToTheSecondPlc) {
    Serve("127.0.0.1");
    comm.SetGatewayDeviceString("[DEV]DEV:VR3K;CPU:G;[NET]HOST:127.0.0.1;PORT:" + std::to_string(server.Port()) + ";");
    comm.SetProfileFile(::testing::TempDir() + "/udp-profile.ini");
    comm.SetLaunchConfiguration("[DEV]DEV:VR4H;[NET]GATE:Gateway;TMO:500;[ADDRESS]DNA:2;DA1:5;",
                                comm.GatewayDeviceString());
    ASSERT_TRUE(comm.Initialize() && comm.OpenProject());
    ASSERT_EQ(comm.m_connectionType, 1);
    ASSERT_TRUE(comm.OpenPlc());
    ASSERT_TRUE(Echo({7}));
    EXPECT_EQ(target->Count(), 1u);
    EXPECT_EQ(unit->Count(), 0u);
}

TEST_F(UdpExchange, NoServerMeansATimeOutNotAHang) {
    // Take a free port and leave it closed.
    Serve("127.0.0.1");
    const int port = server.Port();
    server.Stop();
    comm.SetProfileFile(::testing::TempDir() + "/udp-profile.ini");
    comm.SetDirectDeviceString("[NET]HOST:127.0.0.1;PORT:" + std::to_string(port == 1 ? 2 : port - 1) + ";TMO:100;");
    ASSERT_TRUE(comm.Initialize() && comm.OpenProject() && comm.OpenPlc());
    EXPECT_FALSE(Echo({1}));
    EXPECT_EQ(Ids(), std::vector<int>{33069});
}

TEST(UdpSimServer, PortInUseIsReportedWithAReason) {
    CSimServer sim;
    CUdpSimServer first(sim);
    std::string error;
    ASSERT_TRUE(first.Bind("127.0.0.1", 0, &error));
    CUdpSimServer second(sim);
    EXPECT_FALSE(second.Bind("127.0.0.1", first.Port(), &error));
    EXPECT_NE(error.find("in use"), std::string::npos) << error;
}

TEST(UdpTransport, BadEndpointFailsAtOpenPlc) {
    CSystemClock clock;
    CLinkMiddleware mw(clock);
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm(settings, prompter, mw);
    comm.SetProfileFile(::testing::TempDir() + "/udp-bad.ini");
    comm.SetDirectDeviceString("[NET]HOST:127.0.0.1;PORT:70000;");
    ASSERT_TRUE(comm.Initialize() && comm.OpenProject());
    EXPECT_FALSE(comm.OpenPlc());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32856);
    EXPECT_FALSE(mw.LastOpenError().empty());
    comm.Shutdown();
}
