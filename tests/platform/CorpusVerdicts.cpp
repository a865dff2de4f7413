// corpus_verdicts CORPUS: every input of the fuzz corpora through its reader in this build. The fuzz
// target's own properties must hold (a violation aborts, exit not 0), and one line per input says
// what the reader made of it, so the Linux and the Windows builds can be compared line by line
// (tools/windows-readers.sh).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/LaunchParameters.h"
#include "comm/DeviceString.h"
#include "comm/ZephDatagram.h"
#include "model/FileIo.h"
#include "model/Prompter.h"
#include "model/SettingsFile.h"
#include "network/NetworkFile.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulator.h"
#include "sim/UnitSimulatorAdapter.h"

// The fuzz targets, each compiled here under its own name.
extern "C" int FuzzSettingsFile(const uint8_t*, size_t);
extern "C" int FuzzLaunchFile(const uint8_t*, size_t);
extern "C" int FuzzDeviceString(const uint8_t*, size_t);
extern "C" int FuzzDatagram(const uint8_t*, size_t);
extern "C" int FuzzSimState(const uint8_t*, size_t);
extern "C" int FuzzReplies(const uint8_t*, size_t);
extern "C" int FuzzNetworkFile(const uint8_t*, size_t);

namespace {
namespace fs = std::filesystem;

// FNV-1a: a short stand-in for what a reader produced.
std::string Digest(const std::string& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

std::string SettingsFileVerdict(const std::string& bytes) {
    std::string verdict;
    for (bool oldVersion : {false, true}) {
        CUnitSettings record;
        RecordingPrompter prompter;
        CSettingsFile file(record, prompter, nullptr);
        const bool clean = file.Apply(bytes, oldVersion);
        verdict += std::string(oldVersion ? " csv:" : " lsm:") + (clean ? "clean:" : "warned:") +
                   Digest(file.Serialize());
        for (const auto& shown : prompter.shown) verdict += ":" + std::to_string(shown.id);
    }
    return verdict;
}

std::string LaunchFileVerdict(const std::string& bytes) {
    LaunchParameters p;
    ApplyLaunchFile(bytes, p, [](const std::string& device, const std::string& section, const std::string& key,
                                 const std::string& value) {
        CDeviceString d;
        if (!d.Parse(device)) return device;
        d.Set(section, key, value);
        return d.Write();
    });
    return " " + Digest(p.relayPlcName + '\n' + p.relayConfig + '\n' + p.targetPlcName + '\n' + p.targetConfig + '\n' +
                        std::to_string(p.networkAddress) + ' ' + std::to_string(p.nodeAddress) + ' ' +
                        std::to_string(p.unitNumber));
}

std::string DeviceStringVerdict(const std::string& bytes) {
    CDeviceString d;
    return d.Parse(bytes) ? " accept:" + Digest(d.Write()) : " refuse";
}

std::string DatagramVerdict(const std::string& bytes) {
    ZephDatagram d;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const DatagramCheck check = DecodeDatagram(data, bytes.size(), &d);
    CSimServer server;
    server.AddPlc(1, 1, std::make_unique<CUnitSimulatorAdapter>());
    std::vector<IDatagramPeer::Scheduled> replies;
    server.Deliver(std::vector<uint8_t>(data, data + bytes.size()), &replies);
    std::string answered;
    for (const auto& r : replies) answered += std::string(r.bytes.begin(), r.bytes.end());
    return " check:" + std::to_string(static_cast<int>(check)) + " replies:" + std::to_string(replies.size()) + ":" +
           Digest(answered);
}

std::string SimStateVerdict(const std::string& bytes) {
    CUnitSimulator unit;
    std::string error;
    const bool ok = unit.LoadStateText(bytes, &error);
    return ok ? " accept:" + Digest(unit.StateText()) : " refuse:" + error;
}

std::string NetworkFileVerdict(const std::string& bytes) {
    CNetworkFile file;
    const bool ok = file.Parse(bytes, "net", false);
    std::string problems;
    for (const auto& p : file.Problems()) problems += std::to_string(p.line) + ":" + p.text + "\n";
    return (ok ? " accept:" + Digest(file.ToToml()) : " refuse") + " problems:" +
           std::to_string(file.Problems().size()) + ":" + Digest(problems);
}

struct Target {
    int (*fuzz)(const uint8_t*, size_t);
    std::string (*verdict)(const std::string&);
};
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corpus_verdicts CORPUS_FOLDER\n");
        return 2;
    }
    const std::map<std::string, Target> targets = {
        {"settings_file", {FuzzSettingsFile, SettingsFileVerdict}},
        {"launch_file", {FuzzLaunchFile, LaunchFileVerdict}},
        {"device_string", {FuzzDeviceString, DeviceStringVerdict}},
        {"datagram", {FuzzDatagram, DatagramVerdict}},
        {"sim_state", {FuzzSimState, SimStateVerdict}},
        {"replies", {FuzzReplies, nullptr}},  // its properties are the verdict
        {"network_file", {FuzzNetworkFile, NetworkFileVerdict}},
    };
    const fs::path corpus = fs::u8path(argv[1]);
    int inputs = 0;
    for (const auto& [name, target] : targets) {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(corpus / name, ec))
            if (e.is_regular_file()) files.push_back(e.path());
        if (ec || files.empty()) {
            std::fprintf(stderr, "corpus_verdicts: no inputs in %s\n", (corpus / name).u8string().c_str());
            return 1;
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& f : files) {
            std::string bytes;
            if (!ReadWholeFile(f.u8string(), bytes)) {
                std::fprintf(stderr, "corpus_verdicts: cannot read %s\n", f.u8string().c_str());
                return 1;
            }
            target.fuzz(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            const std::string verdict = target.verdict ? target.verdict(bytes) : std::string(" properties held");
            std::printf("%s/%s%s\n", name.c_str(), f.filename().u8string().c_str(), verdict.c_str());
            ++inputs;
        }
    }
    std::fprintf(stderr, "corpus_verdicts: %d inputs read, every fuzz property held\n", inputs);
    return 0;
}
