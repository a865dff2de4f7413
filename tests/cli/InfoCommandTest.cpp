#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

#include "cli/Cli.h"
#include "model/Messages.h"
#include "sim/SimServer.h"
#include "tests/platform/TestEnvironment.h"
#include "tests/comm/ScriptedUnit.h"
#include "tests/common/LoopbackSim.h"

namespace {
// linksmithctl info against a simulator served over loopback UDP.
class InfoCommand : public ::testing::Test {
protected:
    void SetUp() override {
        UseConfigFolder(::testing::TempDir());
        sim.AddPlc(0, 0, std::make_unique<CScriptedUnit>());
        std::string error;
        ASSERT_TRUE(server.Start(&error)) << error;
    }
    std::string Device() const { return "[NET]" + server.Endpoint(); }
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), "linksmithctl");
        std::vector<const char*> argv;
        for (const auto& a : args) argv.push_back(a.c_str());
        out.str("");
        err.str("");
        return RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    }

    CSimServer sim;
    LoopbackSim server{sim};
    std::ostringstream out;
    std::ostringstream err;
};
}  // namespace

TEST_F(InfoCommand, PrintsModelAndVersionOverUdp) {
    ASSERT_EQ(Run({"info", "--device", Device()}), 0) << err.str();
    EXPECT_NE(out.str().find("Unit model: VR4K-LUX22\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Software version: V1.0\n"), std::string::npos) << "one digit after the point";
    EXPECT_TRUE(err.str().empty()) << err.str();

    ASSERT_EQ(Run({"info", "--device", Device(), "--json", "--unit", "3"}), 0) << err.str();
    nlohmann::json j = nlohmann::json::parse(out.str());
    EXPECT_EQ(j["unitModel"], "VR4K-LUX22");
    EXPECT_EQ(j["softwareVersion"], "V1.0");
    EXPECT_EQ(j["unitIpAddress"], "192.168.250.1");
    EXPECT_EQ(j["unitNumber"], 3);
}

TEST_F(InfoCommand, LogFramesWritesBothDatagramsAsHex) {
    ASSERT_EQ(Run({"info", "--device", Device(), "--unit", "2", "--log-frames"}), 0) << err.str();
    std::string e = err.str();
    // Request: magic, version 1, kind 1 ... unit 2, command 0x0501, no data.
    EXPECT_NE(e.find(" -> 4c 5a 01 01"), std::string::npos) << e;
    EXPECT_NE(e.find("00 02 00 00 00 00 05 01 00 00\n"), std::string::npos) << e;
    EXPECT_NE(e.find(" <- 4c 5a 01 02"), std::string::npos) << e;
}

TEST_F(InfoCommand, BadInputIsRefusedWithStatus2) {
    // With --json, the one object on stdout; the tool's own texts have no string id.
    EXPECT_EQ(Run({"info", "--device", "[NET]HOST:127.0.0.1", "--json"}), 2);
    EXPECT_EQ(err.str(), "linksmithctl: malformed device string: [NET]HOST:127.0.0.1\n");
    EXPECT_EQ(nlohmann::json::parse(out.str()),
              nlohmann::json::parse(R"({"error": {"id": 0, "text": "malformed device string: [NET]HOST:127.0.0.1"}})"));
    EXPECT_EQ(Run({"info", "--unit", "16", "--json"}), 2);
    EXPECT_EQ(nlohmann::json::parse(out.str())["error"]["id"], 0);
    EXPECT_EQ(Run({"info", "--unit", "16"}), 2);
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(sim.Count().requests, 0u);
}

#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
TEST_F(InfoCommand, TalksToTheInProcessSimulator) {
    ASSERT_EQ(Run({"info", "--simulate", "--json"}), 0) << err.str();
    nlohmann::json j = nlohmann::json::parse(out.str());
    EXPECT_FALSE(j["unitModel"].get<std::string>().empty());
}
#endif
