#pragma once
#include <string>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "comm/CommandFailure.h"

class CCliPrompter;
class CCommuProcess;

// What a failed command reports (the exit statuses are kExitRefused, kExitCommFailed and
// kExitUnitFailed).
using CliFailure = CommandFailure;

// DescribeFailure with the last message or question the prompter showed.
CliFailure FailureOf(const CCommuProcess* comm, const CCliPrompter* prompter,
                     const std::string& ownText = std::string());

// {"error": {"id": N, "text": "...", "code": "0x..."}}, code only when there is one.
nlohmann::ordered_json FailureJson(const CliFailure& failure);

// Ends the command with the failure's exit status; with json, prints FailureJson on out (the
// reason is on the error stream already).
void EndWithFailure(CliContext& ctx, const CliFailure& failure, bool json);
