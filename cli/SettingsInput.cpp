#include "cli/SettingsInput.h"

#include <ostream>

#include "cli/CliPrompter.h"
#include "model/FileIo.h"

int ReadSettingsForCli(const std::string& path, CUnitSettings& record, CliContext& ctx) {
    CCliPrompter prompter(ctx.err);
    prompter.subject = path;
    CSettingsFile file(record, prompter);
    if (!file.ReadFile(path, IsOldVersionPath(path))) return kExitRefused;
    return prompter.shownCount == 0 ? kExitClean : kExitWarning;
}
