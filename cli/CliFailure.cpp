#include "cli/CliFailure.h"

#include <cstdio>
#include <ostream>

#include "cli/CliPrompter.h"
#include "comm/CommuProcess.h"
#include "model/Messages.h"

CliFailure FailureOf(const CCommuProcess* comm, const CCliPrompter* prompter, const std::string& ownText) {
    CliFailure f;
    const CCommuProcess::Failure* reported = comm ? &comm->LastFailure() : nullptr;
    if (reported && reported->kind != CCommuProcess::FailureKind::None) {
        switch (reported->kind) {
        case CCommuProcess::FailureKind::EndCode: f.exitCode = kExitUnitFailed; break;
        case CCommuProcess::FailureKind::Exchange: f.exitCode = kExitCommFailed; break;
        default: f.exitCode = kExitRefused; break;
        }
        f.id = reported->messageId;
        f.text = FormatMessage(reported->messageId, reported->inserts);
        if (reported->code >= 0) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%.4x", static_cast<unsigned>(reported->code));
            f.code = code;
        }
        return f;
    }
    if (ownText.empty() && prompter && prompter->lastId != 0) {
        f.id = prompter->lastId;
        f.text = FormatMessage(prompter->lastId, prompter->lastInserts);
        return f;
    }
    f.text = ownText;
    return f;
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
