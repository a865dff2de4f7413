// linksmith-unitsim: serves simulated units over UDP in the datagram format of docs/datagram-format.md.
#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <sys/time.h>

#include "sim/SimServer.h"
#include "sim/UdpSimServer.h"
#include "sim/UnitSimulatorAdapter.h"

namespace {
CUdpSimServer* g_server = nullptr;

void OnSignal(int) {
    if (g_server) g_server->Stop();
}

void LogFrame(bool outgoing, const uint8_t* bytes, size_t length) {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    tm local{};
    localtime_r(&tv.tv_sec, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
    std::fprintf(stderr, "%s.%06ld %s", stamp, static_cast<long>(tv.tv_usec), outgoing ? "->" : "<-");
    for (size_t i = 0; i < length; ++i) std::fprintf(stderr, " %02x", bytes[i]);
    std::fprintf(stderr, "\n");
}

bool ParseAddress(const std::string& text, uint8_t* network, uint8_t* node) {
    unsigned a = 0, b = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%u:%u%c", &a, &b, &tail) != 2 || a > 255 || b > 255) return false;
    *network = static_cast<uint8_t>(a);
    *node = static_cast<uint8_t>(b);
    return true;
}

bool ParseEndCode(const std::string& text, uint16_t* command, uint16_t* code) {
    unsigned c = 0, e = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%x=%x%c", &c, &e, &tail) != 2 || c > 0xFFFF || e > 0xFFFF) return false;
    *command = static_cast<uint16_t>(c);
    *code = static_cast<uint16_t>(e);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"LinkSmith unit simulator: serves simulated network units over UDP"};
    std::string host = "127.0.0.1";
    int port = 9600;
    std::vector<std::string> plcs;
    std::string state;
    std::vector<std::string> endCodes;
    std::vector<std::string> sets;
    SimFaults faults;
    int delayMs = 0;
    bool logFrames = false;
    app.add_option("--listen", host, "Address to listen on (IPv4 or IPv6 literal, or a name)");
    app.add_option("--port", port, "UDP port; 0 picks a free one (printed at start)")->check(CLI::Range(0, 65535));
    app.add_option("--plc", plcs, "Host a PLC at NETWORK:NODE (repeatable; the first also answers 0:0)");
    app.add_option("--state", state, "Keep the units' state in FILE (FILE.NET-NODE for the second and later PLCs)");
    int unitNumber = 0;
    auto* unitOption = app.add_option("--unit", unitNumber,
                                      "Unit number of every PLC's network unit (0-15; default the state file's, else 0)")
                           ->check(CLI::Range(0, 15));
    app.add_option("--set", sets,
                   "Set a value as a state file line \"KEY VALUE\" does, after the state file (repeatable; every PLC)");
    app.add_option("--seed", faults.seed, "Seed of the fault choices");
    app.add_option("--drop", faults.dropFraction, "Fraction of requests left unanswered")->check(CLI::Range(0.0, 1.0));
    app.add_option("--delay", delayMs, "Delay of delayed replies, milliseconds")->check(CLI::Range(0, 3600000));
    app.add_option("--delay-fraction", faults.delayFraction, "Fraction of replies delayed (1 when --delay is given alone)")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--duplicate", faults.duplicateFraction, "Fraction of replies sent twice")->check(CLI::Range(0.0, 1.0));
    app.add_option("--stray", faults.strayFraction, "Fraction of replies preceded by a stray datagram")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--truncate", faults.truncateFraction, "Fraction of replies cut short")->check(CLI::Range(0.0, 1.0));
    app.add_flag("--truncate-header", faults.truncateHeader, "Cut truncated replies inside the header");
    app.add_option("--oversize", faults.oversizeFraction, "Fraction of replies with extra bytes after their data")
        ->check(CLI::Range(0.0, 1.0));
    app.add_flag("--oversize-uncounted", faults.oversizeUncounted, "Leave the extra bytes out of the data length");
    app.add_option("--end-code", endCodes, "Answer command CMD with end code CODE, both hexadecimal: CMD=CODE");
    app.add_flag("--log-frames", logFrames, "Write every datagram as a timestamped hex line to stderr");
    CLI11_PARSE(app, argc, argv);

    faults.delay = std::chrono::milliseconds(delayMs);
    if (delayMs > 0 && app.count("--delay-fraction") == 0) faults.delayFraction = 1;
    for (const std::string& e : endCodes) {
        uint16_t command = 0, code = 0;
        if (!ParseEndCode(e, &command, &code)) {
            std::cerr << "linksmith-unitsim: bad --end-code " << e << " (want CMD=CODE in hexadecimal)\n";
            return 2;
        }
        faults.endCodes[command] = code;
    }
    if (plcs.empty()) plcs.push_back("0:0");

    CSimServer sim(faults);
    for (size_t i = 0; i < plcs.size(); ++i) {
        uint8_t network = 0, node = 0;
        if (!ParseAddress(plcs[i], &network, &node)) {
            std::cerr << "linksmith-unitsim: bad --plc " << plcs[i] << " (want NETWORK:NODE, each 0-255)\n";
            return 2;
        }
        auto unit = std::make_unique<CUnitSimulatorAdapter>();
        std::string path;
        if (!state.empty()) {
            path = i == 0 ? state : state + "." + std::to_string(network) + "-" + std::to_string(node);
            std::string error;
            std::FILE* exists = std::fopen(path.c_str(), "rb");
            if (exists) {
                std::fclose(exists);
                if (!unit->LoadState(path, &error)) {
                    std::cerr << "linksmith-unitsim: cannot load state " << path << ": " << error << "\n";
                    return 1;
                }
            }
        }
        if (unitOption->count() > 0) unit->Unit().SetUnitNumber(unitNumber);
        for (const std::string& line : sets) {
            std::string error;
            if (!unit->Unit().ApplyStateLine(line, &error)) {
                std::cerr << "linksmith-unitsim: bad --set \"" << line << "\": " << error << "\n";
                return 2;
            }
        }
        sim.AddPlc(network, node, std::move(unit), path);
    }

    CUdpSimServer server(sim);
    std::string error;
    if (!server.Bind(host, static_cast<uint16_t>(port), &error)) {
        std::cerr << "linksmith-unitsim: " << error << "\n";
        return 1;
    }
    if (logFrames) server.SetLog(&LogFrame);
    g_server = &server;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::cout << "linksmith-unitsim listening on " << host << " port " << server.Port() << std::endl;
    server.Run();
    if (!sim.SaveStates(&error)) {
        std::cerr << "linksmith-unitsim: cannot save state: " << error << "\n";
        return 1;
    }
    return 0;
}
