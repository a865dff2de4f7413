#include "comm/CommandFailure.h"

#include <cstdio>

#include "comm/CommuProcess.h"
#include "model/Messages.h"

CommandFailure DescribeFailure(const CCommuProcess* comm, int shownId, const std::vector<std::string>& shownInserts,
                               const std::string& ownText) {
    CommandFailure f;
    const CCommuProcess::Failure* reported = comm ? &comm->LastFailure() : nullptr;
    if (reported && reported->kind != CCommuProcess::FailureKind::None) {
        if (reported->kind == CCommuProcess::FailureKind::EndCode) f.exitCode = 4;
        if (reported->kind == CCommuProcess::FailureKind::Exchange) f.exitCode = 3;
        f.id = reported->messageId;
        f.text = FormatMessage(reported->messageId, reported->inserts);
        if (reported->code >= 0) {
            char code[16];
            std::snprintf(code, sizeof code, "0x%.4x", static_cast<unsigned>(reported->code));
            f.code = code;
        }
        return f;
    }
    if (ownText.empty() && shownId != 0) {
        f.id = shownId;
        f.text = FormatMessage(shownId, shownInserts);
        return f;
    }
    f.text = ownText;
    return f;
}
