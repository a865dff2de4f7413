// linksmith-unitsim: serves simulated units over UDP in the datagram format of docs/datagram-format.md.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <sys/time.h>

#include "platform/LocalTime.h"
#include "platform/Utf8Arguments.h"
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
    const std::tm local = LocalTime(tv.tv_sec);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
    std::fprintf(stderr, "%s.%06ld %s", stamp, static_cast<long>(tv.tv_usec), outgoing ? "->" : "<-");
    for (size_t i = 0; i < length; ++i) std::fprintf(stderr, " %02x", bytes[i]);
    std::fprintf(stderr, "\n");
}

bool ParseEndCode(const std::string& text, uint16_t* command, uint16_t* code) {
    unsigned c = 0, e = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%x=%x%c", &c, &e, &tail) != 2 || c > 0xFFFF || e > 0xFFFF) return false;
    *command = static_cast<uint16_t>(c);
    *code = static_cast<uint16_t>(e);
    return true;
}

// NETWORK:NODE or NETWORK:FIRST-LAST, each 0-255; the PLCs in order.
bool ParseAddresses(const std::string& text, std::vector<std::pair<uint8_t, uint8_t>>* plcs) {
    unsigned a = 0, b = 0, c = 0;
    char tail = 0;
    int n = std::sscanf(text.c_str(), "%u:%u-%u%c", &a, &b, &c, &tail);
    if (n == 2) {
        if (std::sscanf(text.c_str(), "%u:%u%c", &a, &b, &tail) != 2) return false;
        c = b;
    } else if (n != 3) {
        return false;
    }
    if (a > 255 || b > 255 || c > 255 || c < b) return false;
    for (unsigned node = b; node <= c; ++node) plcs->emplace_back(static_cast<uint8_t>(a), static_cast<uint8_t>(node));
    return true;
}

// The options that make a PLC misbehave or set its values, given for every PLC or, through --on,
// for some PLCs alone.
struct PlcOptions {
    SimFaults faults;
    int delayMs = 0;
    std::vector<std::string> endCodes;
    std::vector<std::string> sets;
    int unitNumber = 0;
    bool unitGiven = false;
    // Valid while the options' parser lives.
    CLI::Option* unitOption = nullptr;
    CLI::Option* delayFractionOption = nullptr;
};

void AddPlcOptions(CLI::App& app, PlcOptions& o) {
    o.unitOption = app.add_option("--unit", o.unitNumber,
                                  "Unit number of every PLC's network unit (0-15; default the state file's, else 0)")
                       ->check(CLI::Range(0, 15));
    app.add_option("--set", o.sets,
                   "Set a value as a state file line \"KEY VALUE\" does, after the state file (repeatable; every PLC)");
    app.add_option("--seed", o.faults.seed, "Seed of the fault choices");
    app.add_option("--drop", o.faults.dropFraction, "Fraction of requests left unanswered")->check(CLI::Range(0.0, 1.0));
    app.add_option("--delay", o.delayMs,
                   "The unit's processing time: delayed replies come this many milliseconds after the request; "
                   "no other PLC's reply waits for them")
        ->check(CLI::Range(0, 3600000));
    o.delayFractionOption =
        app.add_option("--delay-fraction", o.faults.delayFraction, "Fraction of replies delayed (1 when --delay is given alone)")
            ->check(CLI::Range(0.0, 1.0));
    app.add_option("--duplicate", o.faults.duplicateFraction, "Fraction of replies sent twice")->check(CLI::Range(0.0, 1.0));
    app.add_option("--stray", o.faults.strayFraction, "Fraction of replies preceded by a stray datagram")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--truncate", o.faults.truncateFraction, "Fraction of replies cut short")->check(CLI::Range(0.0, 1.0));
    app.add_flag("--truncate-header", o.faults.truncateHeader, "Cut truncated replies inside the header");
    app.add_option("--oversize", o.faults.oversizeFraction, "Fraction of replies with extra bytes after their data")
        ->check(CLI::Range(0.0, 1.0));
    app.add_flag("--oversize-uncounted", o.faults.oversizeUncounted, "Leave the extra bytes out of the data length");
    app.add_option("--end-code", o.endCodes, "Answer command CMD with end code CODE, both hexadecimal: CMD=CODE");
}

// After parsing: the delay and the end codes into the faults; false with the reason on stderr.
bool FinishPlcOptions(PlcOptions& o) {
    o.unitGiven = o.unitOption->count() > 0;
    o.faults.delay = std::chrono::milliseconds(o.delayMs);
    if (o.delayMs > 0 && o.delayFractionOption->count() == 0) o.faults.delayFraction = 1;
    for (const std::string& e : o.endCodes) {
        uint16_t command = 0, code = 0;
        if (!ParseEndCode(e, &command, &code)) {
            std::cerr << "linksmith-unitsim: bad --end-code " << e << " (want CMD=CODE in hexadecimal)\n";
            return false;
        }
        o.faults.endCodes[command] = code;
    }
    return true;
}

// The unit number and --set lines onto one PLC's unit; false with the reason on stderr.
bool ApplyPlcOptions(const PlcOptions& o, CUnitSimulator& unit) {
    if (o.unitGiven) unit.SetUnitNumber(o.unitNumber);
    for (const std::string& line : o.sets) {
        std::string error;
        if (!unit.ApplyStateLine(line, &error)) {
            std::cerr << "linksmith-unitsim: bad --set \"" << line << "\": " << error << "\n";
            return false;
        }
    }
    return true;
}

// One --on value: "NETWORK:NODE[-LAST] OPTIONS...", the options of a PLC for those PLCs alone.
struct PlcGroup {
    std::vector<std::pair<uint8_t, uint8_t>> plcs;
    PlcOptions options;
    bool faulty = false;  // gives fault options of its own
};

bool ParseGroup(const std::string& text, PlcGroup* group) {
    const size_t space = text.find(' ');
    const std::string where = text.substr(0, space);
    if (!ParseAddresses(where, &group->plcs)) {
        std::cerr << "linksmith-unitsim: bad --on \"" << text << "\" (want \"NETWORK:NODE[-LAST] OPTIONS...\")\n";
        return false;
    }
    CLI::App sub{"options of some PLCs", "--on"};
    AddPlcOptions(sub, group->options);
    try {
        sub.parse(space == std::string::npos ? std::string() : text.substr(space + 1), false);
    } catch (const CLI::ParseError& e) {
        std::cerr << "linksmith-unitsim: bad --on \"" << text << "\": " << e.what() << "\n";
        return false;
    }
    for (const char* name : {"--seed", "--drop", "--delay", "--delay-fraction", "--duplicate", "--stray", "--truncate",
                             "--truncate-header", "--oversize", "--oversize-uncounted", "--end-code"})
        group->faulty = group->faulty || sub.count(name) > 0;
    return FinishPlcOptions(group->options);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"LinkSmith unit simulator: serves simulated network units over UDP"};
    // "/path" is a file name on every system, never a Windows-style option.
    app.allow_windows_style_options(false);
    std::string host = "127.0.0.1";
    int port = 9600;
    std::vector<std::string> plcTexts;
    std::string state;
    std::vector<std::string> groupTexts;
    PlcOptions every;
    bool logFrames = false;
    app.add_option("--listen", host, "Address to listen on (IPv4 or IPv6 literal, or a name)");
    app.add_option("--port", port, "UDP port; 0 picks a free one (printed at start)")->check(CLI::Range(0, 65535));
    app.add_option("--plc", plcTexts,
                   "Host a PLC at NETWORK:NODE, or one at each node of NETWORK:FIRST-LAST (repeatable; the first "
                   "also answers 0:0)");
    app.add_option("--state", state, "Keep the units' state in FILE (FILE.NET-NODE for the second and later PLCs)");
    AddPlcOptions(app, every);
    app.add_option("--on", groupTexts,
                   "\"NETWORK:NODE[-LAST] OPTIONS...\": options of those PLCs alone (--unit, --set and the fault "
                   "options), after the ones for every PLC; fault options given here replace every fault option "
                   "for those PLCs (repeatable)");
    app.add_flag("--log-frames", logFrames, "Write every datagram as a timestamped hex line to stderr");
    // File names as UTF-8 on every system (on Windows argv would hold them in the ANSI code page).
    const std::vector<std::string> arguments = Utf8Arguments(argc, argv);
    std::vector<const char*> args;
    for (const std::string& a : arguments) args.push_back(a.c_str());
    CLI11_PARSE(app, static_cast<int>(args.size()), args.data());

    if (!FinishPlcOptions(every)) return 2;
    std::vector<std::pair<uint8_t, uint8_t>> plcs;
    for (const std::string& text : plcTexts) {
        if (!ParseAddresses(text, &plcs)) {
            std::cerr << "linksmith-unitsim: bad --plc " << text
                      << " (want NETWORK:NODE or NETWORK:FIRST-LAST, each 0-255)\n";
            return 2;
        }
    }
    if (plcs.empty()) plcs.emplace_back(0, 0);
    std::vector<PlcGroup> groups(groupTexts.size());
    for (size_t g = 0; g < groupTexts.size(); ++g)
        if (!ParseGroup(groupTexts[g], &groups[g])) return 2;

    CSimServer sim(every.faults);
    for (size_t i = 0; i < plcs.size(); ++i) {
        const uint8_t network = plcs[i].first, node = plcs[i].second;
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
        if (!ApplyPlcOptions(every, unit->Unit())) return 2;
        const SimFaults* own = nullptr;
        for (const PlcGroup& g : groups) {
            if (std::find(g.plcs.begin(), g.plcs.end(), plcs[i]) == g.plcs.end()) continue;
            if (!ApplyPlcOptions(g.options, unit->Unit())) return 2;
            if (g.faulty) own = &g.options.faults;
        }
        sim.AddPlc(network, node, std::move(unit), path);
        if (own) sim.SetPlcFaults(network, node, *own);
    }
    for (const PlcGroup& g : groups)
        for (const auto& plc : g.plcs)
            if (std::find(plcs.begin(), plcs.end(), plc) == plcs.end()) {
                std::cerr << "linksmith-unitsim: --on names " << unsigned(plc.first) << ":" << unsigned(plc.second)
                          << ", which no --plc hosts\n";
                return 2;
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
