#include "cli/SettingsInput.h"

#include <ostream>

#include "cli/CliPrompter.h"
#include "model/FileIo.h"

int ReadSettingsForCli(const std::string& path, CUnitSettings& record, CliContext& ctx, CliFailure* refusal) {
    CCliPrompter prompter(ctx.err);
    prompter.subject = path;
    CSettingsFile file(record, prompter);
    if (!file.ReadFile(path, IsOldVersionPath(path))) {
        if (refusal) *refusal = FailureOf(nullptr, &prompter);
        return kExitRefused;
    }
    return prompter.shownCount == 0 ? kExitClean : kExitWarning;
}
