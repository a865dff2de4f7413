// A full PC -> PLC transfer of 128 nodes from the main window's menu against the simulator over
// loopback UDP, beside `linksmithctl write --yes` of the same file over the same server (run in
// this process, so without the program's start) and beside the bare command sequence of that
// write (model check, then the write). Target: the window within 1.5 times the command.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "app/qt/AppSettingsStore.h"
#include "app/qt/LinkSmithDlg.h"
#include "bench/UdpBenchServer.h"
#include "cli/Cli.h"
#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "model/SettingsFile.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/app/FullTable.h"

namespace {
constexpr int kTransferToPlc = 32782;

BenchSimulator& TheServer() {
    static BenchSimulator server([] {
        auto unit = std::make_unique<CUnitSimulatorAdapter>();
        unit->Unit().SetUnitNumber(2);  // the unit of plant-line1.lsm, which the commands address
        return unit;
    }());
    return server;
}

std::string DeviceString() {
    return "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;HOST:127.0.0.1;PORT:" + std::to_string(TheServer().server.Port()) +
           ";TMO:5000;";
}

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

// The sample unit's file with all 128 mapping records (two extension chunks), written once.
std::string FullTableFile() {
    static std::string path;
    if (!path.empty()) return path;
    CUnitSettings record;
    RecordingPrompter prompter;
    CSettingsFile file(record, prompter);
    if (!file.ReadFile(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm", false)) std::abort();
    SettingsImage& pc = record.pc;
    FillFullTable(pc);
    pc.localArea2Start = 4000;
    path = Folder().filePath("full-table.lsm").toStdString();
    if (!file.WriteFile(path)) std::abort();
    return path;
}

void BM_GuiTransferToPlc(benchmark::State& state) {
    const std::string path = FullTableFile();
    CSystemClock clock;
    CLinkMiddleware middleware(clock);
    CUnitSettings record;
    RecordingPrompter prompter;  // every question answered Yes
    CCommuProcess commu(record, prompter, middleware);
    commu.SetProfileFile(Folder().filePath("gui-profile.ini").toStdString());
    commu.SetDirectDeviceString(DeviceString());
    CLinkSmithApp app;
    CAppSettingsStore store(Folder().path().toStdString());
    CLinkSmithDlg window(app, record, commu, prompter, nullptr, store, false);
    if (!window.Start() || !window.SettingsFile().Load(path, false)) std::abort();
    window.ReloadPagesFromRecord(false);
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        prompter.shown.clear();
        window.Action(kTransferToPlc)->trigger();
        // What returning to the event loop does after a command; without it Qt's deferred
        // deletions pile up and each later command gets slower.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (prompter.shown.empty() || prompter.shown.back().id != 33030) {
            state.SkipWithError("transfer failed");
            break;
        }
    }
    commu.Shutdown();
}
BENCHMARK(BM_GuiTransferToPlc)->Unit(benchmark::kMillisecond);

// The whole command: read and check the file, connect, ask (answered by --yes), model check, write.
void BM_CliWriteCommand(benchmark::State& state) {
    const std::string path = FullTableFile();
    // The command's own profile goes to the scratch folder, not the user's.
    setenv("XDG_CONFIG_HOME", Folder().path().toLocal8Bit().constData(), 1);
    const std::string device = DeviceString();
    const char* const argv[] = {"linksmithctl", "write", path.c_str(), "--yes", "--device", device.c_str()};
    for (auto _ : state) {
        std::ostringstream out, err;
        if (RunCli(6, argv, out, err) != 0) {
            state.SkipWithError(("write failed: " + err.str()).c_str());
            break;
        }
    }
}
BENCHMARK(BM_CliWriteCommand)->Unit(benchmark::kMillisecond);

// What linksmithctl write sends for the same file: open, model check, write, close.
void BM_DirectWriteToPlc(benchmark::State& state) {
    const std::string path = FullTableFile();
    CSystemClock clock;
    CLinkMiddleware middleware(clock);
    CUnitSettings record;
    RecordingPrompter prompter;
    CSettingsFile file(record, prompter);
    if (!file.ReadFile(path, false)) std::abort();
    CCommuProcess commu(record, prompter, middleware);
    commu.SetProfileFile(Folder().filePath("cli-profile.ini").toStdString());
    commu.SetDirectDeviceString(DeviceString());
    if (!commu.Initialize() || !commu.OpenProject()) std::abort();
    for (auto _ : state) {
        bool ok = commu.OpenPlc() && commu.ReadControllerData();
        commu.m_mapMethod = record.pc.mappingTableMethod;
        ok = ok && commu.WriteUnitToPlc();
        commu.ClosePlc();
        if (!ok) {
            state.SkipWithError("write failed");
            break;
        }
    }
    commu.Shutdown();
}
BENCHMARK(BM_DirectWriteToPlc)->Unit(benchmark::kMillisecond);
}  // namespace
