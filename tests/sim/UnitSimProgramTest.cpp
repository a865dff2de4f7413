// The simulator program itself: started with --set values, read back through CCommuProcess.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/Cli.h"
#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "comm/ZephDatagram.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "tests/common/ChildProgram.h"

namespace {
// linksmith-unitsim with stdout on a pipe and stderr into a file.
class UnitSimProgram : public ::testing::Test {
protected:
    void Start(std::vector<std::string> args) {
        args.insert(args.begin(), LINKSMITH_UNITSIM);
        ASSERT_TRUE(program.Start(args, errPath));
    }
    int Port() { return program.ReadPort(); }
    int Stop(int signal) { return program.Stop(signal); }
    std::string Errors() const { return program.Errors(); }

    // One per test: ctest runs the tests of this file side by side.
    std::string errPath = ::testing::TempDir() + "unitsim-program-err-" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
    ChildProgram program;
};
}  // namespace

TEST_F(UnitSimProgram, SetValuesWinOverTheStateFileAndAreSaved) {
    const std::string state = ::testing::TempDir() + "unitsim-program-state.txt";
    ASSERT_TRUE(WriteFileAtomically(state, "unit 3\nerrorstatus 0x0001\nparticipate 1\n"));
    Start({"--port", "0", "--state", state, "--set", "errorstatus 0x8001", "--set", "participate 7", "--set",
           "cycle 7 12 50 5 9 3"});
    const int port = Port();
    ASSERT_GT(port, 0) << Errors();

    CSystemClock clock;
    CLinkMiddleware mw(clock);
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm(settings, prompter, mw);
    comm.SetProfileFile(::testing::TempDir() + "/unitsim-program-profile.ini");
    comm.SetDirectDeviceString("[NET]HOST:127.0.0.1;PORT:" + std::to_string(port) + ";TMO:2000;");
    ASSERT_TRUE(comm.Initialize() && comm.OpenProject() && comm.OpenPlc());
    comm.m_unitNumber = 3;
    EXPECT_TRUE(comm.ReadErrorStatusWord());
    EXPECT_EQ(settings.status.errorStatusWord, 0x8001);
    EXPECT_TRUE(comm.ReadDataLinkStatus());
    EXPECT_EQ(settings.status.participation[1], 1u) << "the file's node stays";
    EXPECT_EQ(settings.status.participation[7], 1u);
    EXPECT_EQ(settings.status.participation[2], 0u);
    EXPECT_TRUE(comm.ReadCycleTime());
    EXPECT_EQ(settings.status.cycleTime.tokenNode, 7);
    EXPECT_EQ(settings.status.cycleTime.refreshMinimum, 3);
    comm.ClosePlc();
    comm.Shutdown();
    EXPECT_TRUE(prompter.shown.empty());

    EXPECT_EQ(Stop(SIGTERM), 0) << Errors();
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(state, saved));
    EXPECT_NE(saved.find("errorstatus 0x8001\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("participate 1 7\n"), std::string::npos) << saved;
    std::remove(state.c_str());
}

TEST_F(UnitSimProgram, BadSetLineExitsWith2BeforeServing) {
    for (const char* bad : {"nodestatus 0 3", "errorstatus", "colour blue", ""}) {
        Start({"--port", "0", "--set", "unit 1", "--set", bad});
        EXPECT_EQ(Port(), 0) << bad << ": served anyway";
        EXPECT_EQ(Stop(0), 2) << bad;
        const std::string errors = Errors();
        EXPECT_NE(errors.find(std::string("linksmith-unitsim: bad --set \"") + bad + "\": "), std::string::npos)
            << errors;
    }
}

TEST_F(UnitSimProgram, UnitOptionGivesEveryPlcItsUnitNumber) {
    // --unit wins over the state file's, and is kept with the state.
    const std::string state = ::testing::TempDir() + "unitsim-program-unit.txt";
    ASSERT_TRUE(WriteFileAtomically(state, "unit 3\n"));
    Start({"--port", "0", "--state", state, "--plc", "0:0", "--plc", "1:7", "--unit", "5"});
    const int port = Port();
    ASSERT_GT(port, 0) << Errors();
    setenv("XDG_CONFIG_HOME", ::testing::TempDir().c_str(), 1);
    auto info = [port](const std::string& node, const std::string& unit, std::string* err) {
        const std::string device = "[NET]HOST:127.0.0.1;PORT:" + std::to_string(port) + ";TMO:2000;[ADDRESS]DNA:" +
                                   node.substr(0, node.find(':')) + ";DA1:" + node.substr(node.find(':') + 1) + ";";
        const char* argv[] = {"linksmithctl", "info", "--device", device.c_str(), "--unit", unit.c_str()};
        std::ostringstream out, errors;
        const int status = RunCli(6, argv, out, errors);
        *err = errors.str();
        return status;
    };
    std::string err;
    for (const char* plc : {"0:0", "1:7"}) {
        EXPECT_EQ(info(plc, "5", &err), 0) << plc << err;
        // A PLC with no unit at the number addressed answers 0x0202.
        EXPECT_EQ(info(plc, "3", &err), 4) << plc;
        EXPECT_EQ(err, "linksmithctl: " + MessageText(33007) + "\n") << plc;
    }
    EXPECT_EQ(Stop(SIGTERM), 0) << Errors();
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(state, saved));
    EXPECT_EQ(saved.rfind("# linksmith-unitsim state\nunit 5\n", 0), 0u) << saved;
    std::remove(state.c_str());
    std::remove((state + ".1-7").c_str());
}

TEST_F(UnitSimProgram, RangeOfPlcsWhereOnePlcsDelayHoldsBackNoOtherReply) {
    // PLCs 1:1 to 1:200 from one option; 1:2 takes 400 ms for every command, 1:3 is protected.
    Start({"--port", "0", "--plc", "1:1-200", "--on", "1:2 --delay 400", "--on", "1:3 --end-code 2914=2102"});
    const int port = Port();
    ASSERT_GT(port, 0) << Errors();
    int s = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    auto send = [&](uint32_t id, uint8_t node, uint16_t command) {
        ZephDatagram d;
        d.requestId = id;
        d.destination = {1, node, 0};
        d.command = command;
        if (command == 0x2914) d.data.assign(16, 0);
        const std::vector<uint8_t> bytes = EncodeDatagram(d);
        ASSERT_EQ(sendto(s, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to),
                  static_cast<ssize_t>(bytes.size()));
    };
    // The replies in the order they arrive (request id, end code); none after 3 s ends the list.
    auto receive = [&](size_t count) {
        std::vector<std::pair<uint32_t, uint16_t>> got;
        std::vector<uint8_t> buffer(65536);
        while (got.size() < count) {
            pollfd p{s, POLLIN, 0};
            if (poll(&p, 1, 3000) <= 0) break;
            const ssize_t n = recv(s, buffer.data(), buffer.size(), 0);
            ZephDatagram r;
            if (n > 0 && DecodeDatagram(buffer.data(), static_cast<size_t>(n), &r) == DatagramCheck::Ok)
                got.emplace_back(r.requestId, r.endCode);
        }
        return got;
    };
    // The delayed PLC is asked first; the others' replies do not wait for its reply.
    send(1, 2, 0x0501);
    send(2, 1, 0x0501);
    send(3, 200, 0x0501);
    send(4, 3, 0x2914);
    send(5, 201, 0x0501);
    const auto got = receive(5);
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got.back(), std::make_pair(1u, uint16_t{0})) << "the delayed reply comes last";
    std::map<uint32_t, uint16_t> ends(got.begin(), got.end());
    EXPECT_EQ(ends[2], 0);
    EXPECT_EQ(ends[3], 0) << "the range's last PLC is hosted";
    EXPECT_EQ(ends[4], 0x2102) << "the protected PLC alone";
    EXPECT_EQ(ends[5], 0x0102) << "past the range: no PLC there";
    // The other PLCs' writes go through.
    send(6, 4, 0x2914);
    EXPECT_EQ(receive(1), (std::vector<std::pair<uint32_t, uint16_t>>{{6u, 0}}));
    close(s);
    EXPECT_EQ(Stop(SIGTERM), 0) << Errors();
}

TEST_F(UnitSimProgram, BadRangesAndOnValuesExitWith2BeforeServing) {
    const std::vector<std::vector<std::string>> bad = {
        {"--plc", "1:9-3"}, {"--plc", "1:3-300"}, {"--plc", "1:3-"}, {"--plc", "1:1-5", "--on", "1:7 --drop 1"},
        {"--on", "1:x --drop 1"}, {"--plc", "1:1-5", "--on", "1:2 --drop 2"}, {"--plc", "1:1-5", "--on", "1:2 --set nope"}};
    for (auto args : bad) {
        args.insert(args.begin(), {"--port", "0"});
        Start(args);
        EXPECT_EQ(Port(), 0) << args[3] << ": served anyway";
        EXPECT_EQ(Stop(0), 2) << args.back();
        EXPECT_EQ(Errors().rfind("linksmith-unitsim: ", 0), 0u) << Errors();
    }
}
