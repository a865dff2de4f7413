#include "cli/SettingsInput.h"

#include <ostream>

#include "cli/CliPrompter.h"

bool IsOldVersionPath(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = static_cast<char>(c | 0x20);
    return ext == ".csv";
}

int ReadSettingsForCli(const std::string& path, CUnitSettings& record, CliContext& ctx) {
    CCliPrompter prompter(ctx.err);
    prompter.subject = path;
    CSettingsFile file(record, prompter);
    if (!file.ReadFile(path, IsOldVersionPath(path))) return kExitFailure;
    return prompter.shownCount == 0 ? kExitClean : kExitWarning;
}
