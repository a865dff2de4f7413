#pragma once
#include <string>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"

class CCliPrompter;
class CCommuProcess;

// What a failed command reports: the string id of its message (0 for the tool's own English
// texts), the message's own text, the end code or middleware code the message is about when
// there is one ("0x%.4x"; empty otherwise), and the exit status it ends with.
struct CliFailure {
    int exitCode = kExitRefused;
    int id = 0;
    std::string text;
    std::string code;
};

// The failure the communication object reported last, when there is one: exit 3 for the
// exchange (middleware, time-out, unusable reply), 4 for a failure end code, 2 when no command
// could be built. Otherwise a refusal (exit 2): the last message or question the prompter
// showed, or else ownText. comm may be null (no connection was made).
CliFailure FailureOf(const CCommuProcess* comm, const CCliPrompter* prompter,
                     const std::string& ownText = std::string());

// {"error": {"id": N, "text": "...", "code": "0x..."}}, code only when there is one.
nlohmann::ordered_json FailureJson(const CliFailure& failure);

// Ends the command with the failure's exit status; with json, prints FailureJson on out (the
// reason is on the error stream already).
void EndWithFailure(CliContext& ctx, const CliFailure& failure, bool json);
