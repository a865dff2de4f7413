#pragma once
// The exporter as a user runs it: linksmith-unitsim hosting nodes 1 and 2 of a network in the
// faults scenario, a network file that also lists node 5 (whose PLC is not there), and
// linksmithctl exporter serving them on a free loopback port.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/common/ChildProgram.h"
#include "model/FileIo.h"

class ExporterFixture : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& f : files) std::remove(f.c_str());
    }
    std::string Temp(const std::string& name) const {
        return ::testing::TempDir() + "exporter-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
               "-" + name;
    }
    // Starts the simulator and the exporter; the exporter's port, 0 when something failed.
    int StartExporter(double minInterval = 1.0, std::vector<std::string> simExtra = {}) {
        std::string scenario;
        if (!ReadWholeFile(std::string(LINKSMITH_EXAMPLES_DIR) + "/scenario-faults.txt", scenario)) return 0;
        const std::string state = Temp("state.txt");
        for (const std::string& f : {state, state + ".0-2"}) {
            WriteFileAtomically(f, scenario);
            files.push_back(f);
        }
        std::vector<std::string> simArgs = {LINKSMITH_UNITSIM, "--port", "0", "--plc", "0:1", "--plc", "0:2",
                                            "--state", state};
        simArgs.insert(simArgs.end(), simExtra.begin(), simExtra.end());
        if (!sim.Start(simArgs, Temp("sim-err"))) return 0;
        std::string line;
        if (!sim.ReadLine(&line)) return 0;
        const int simPort = std::atoi(line.c_str() + line.rfind("port ") + 5);
        std::ostringstream toml;
        toml << "name = \"exported\"\n";
        for (int n : {1, 2, 5}) {
            // Each node has a settings file of its own; the connection is the network file's.
            const std::string settings = Temp("node" + std::to_string(n) + ".lsm");
            WriteFileAtomically(settings, "");
            files.push_back(settings);
            toml << "[[node]]\nnumber = " << n << "\nfile = \"" << settings.substr(settings.rfind('/') + 1)
                 << "\"\nunit = 2\ndevice = \"[NET]HOST:127.0.0.1;PORT:" << simPort << ";[ADDRESS]DNA:0;DA1:" << n
                 << ";\"\n";
        }
        network = Temp("network.toml");
        WriteFileAtomically(network, toml.str());
        files.push_back(network);
        std::ostringstream interval;
        interval << minInterval;
        if (!exporter.Start({LINKSMITHCTL, "exporter", "--listen", "127.0.0.1:0", "--network", network, "--timeout",
                             "500", "--min-interval", interval.str()},
                            Temp("exporter-err")))
            return 0;
        if (!exporter.ReadLine(&line)) return 0;
        const size_t colon = line.rfind(':');
        return colon == std::string::npos ? 0 : std::atoi(line.c_str() + colon + 1);
    }

    ChildProgram sim;
    ChildProgram exporter;
    std::string network;
    std::vector<std::string> files;
};
