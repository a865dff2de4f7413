#include "cli/CliFailure.h"

#include <ostream>

#include "cli/CliPrompter.h"

CliFailure FailureOf(const CCommuProcess* comm, const CCliPrompter* prompter, const std::string& ownText) {
    static_assert(kExitRefused == 2 && kExitCommFailed == 3 && kExitUnitFailed == 4,
                  "the exit statuses DescribeFailure gives");
    return prompter ? DescribeFailure(comm, prompter->lastId, prompter->lastInserts, ownText)
                    : DescribeFailure(comm, 0, {}, ownText);
}

nlohmann::ordered_json FailureJson(const CliFailure& failure) {
    nlohmann::ordered_json error = {{"id", failure.id}, {"text", failure.text}};
    if (!failure.code.empty()) error["code"] = failure.code;
    return nlohmann::ordered_json{{"error", error}};
}

void EndWithFailure(CliContext& ctx, const CliFailure& failure, bool json) {
    ctx.exitCode = failure.exitCode;
    if (json) ctx.out << FailureJson(failure).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}
