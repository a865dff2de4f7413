#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <ostream>

#include "cli/CliFailure.h"
#include "cli/CliPrompter.h"
#include "cli/Commands.h"
#include "cli/ConnectionOptions.h"

namespace {
constexpr uint16_t kControllerDataRead = 0x0501;
constexpr size_t kControllerDataLength = 44;

struct ControllerData {
    std::string model;
    std::string version;
    std::string ipAddress;
};

// Model text, software version (blanks removed, one character kept after each point) and IP address
// of a controller data response.
bool DecodeControllerData(const uint8_t* p, size_t n, ControllerData* out) {
    if (n < kControllerDataLength) return false;
    std::string model(reinterpret_cast<const char*>(p), 10);
    out->model = model.substr(0, model.find('\0'));
    char version[21] = {};
    size_t k = 0;
    for (size_t i = 20; i < 40; ++i)
        if (p[i] != ' ') version[k++] = static_cast<char>(p[i]);
    for (size_t i = 0; i < 20; ++i)
        if (version[i] == '.')
            for (size_t j = i + 2; j < 20; ++j) version[j] = '\0';
    out->version = version;
    char ip[20];
    std::snprintf(ip, sizeof ip, "%u.%u.%u.%u", p[40], p[41], p[42], p[43]);
    out->ipAddress = ip;
    return true;
}
}  // namespace

void AddInfoCommand(CLI::App& app, CliContext& ctx) {
    auto* cmd = app.add_subcommand("info", "Read the unit's model and software version (controller data read)");
    auto options = std::make_shared<ConnectionOptions>();
    auto json = std::make_shared<bool>(false);
    AddConnectionOptions(*cmd, *options);
    cmd->add_flag("--json", *json, "Print JSON instead of text");
    cmd->callback([&ctx, options, json] {
        CUnitSettings record;
        CCliPrompter prompter(ctx.err);
        CCliConnection connection(*options, record, prompter, ctx.err);
        CCommuProcess& comm = connection.Comm();
        if (!connection.Open()) return EndWithFailure(ctx, connection.FailureOf(prompter), *json);
        ControllerData data;
        bool decoded = comm.RunCommand(kControllerDataRead, comm.m_unitNumber, {},
                                       [&](CCommuProcess& self, uint16_t command, const uint8_t* p, size_t n) {
                                           return DecodeControllerData(p, n, &data) || self.ReportBadReply(command);
                                       });
        if (!decoded) return EndWithFailure(ctx, FailureOf(&comm, &prompter), *json);
        if (*json) {
            nlohmann::json j = {{"unitModel", data.model}, {"softwareVersion", data.version},
                                {"unitIpAddress", data.ipAddress}, {"unitNumber", options->unit}};
            ctx.out << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        } else {
            ctx.out << "Unit model: " << data.model << "\n"
                    << "Software version: " << data.version << "\n"
                    << "Unit IP address: " << data.ipAddress << "\n";
        }
        ctx.exitCode = kExitClean;
    });
}
