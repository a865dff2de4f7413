#include "app/LinkSmithApp.h"

#include "model/FileIo.h"
#include "model/Prompter.h"

namespace {
constexpr int kLaunchSwitchesMalformed = 32900;
constexpr int kLaunchFileUnreadable = 32901;

// A switch starts with "-", or is a word after one "/" such as "/n" or "/off"; "/home/a.lsm" and
// "/a.lsm" are paths.
bool IsSwitch(const std::string& arg) {
    if (arg.size() < 2) return false;
    if (arg[0] == '-') return true;
    return arg[0] == '/' && arg.find_first_of("/.", 1) == std::string::npos;
}
}  // namespace

bool CLinkSmithApp::Initialize(const std::vector<std::string>& args, IPrompter& prompter,
                               const DeviceStringWriter& writeValue) {
    LaunchSwitches switches = ParseLaunchSwitches(args, launch);
    if (switches == LaunchSwitches::kMalformed) {
        prompter.Message(kLaunchSwitchesMalformed, {}, PromptIcon::Stop);
        return false;
    }
    launch.launchedFromFile = 0;
    if (switches == LaunchSwitches::kLaunchFile) {
        if (!ReadLaunchFile(launch, writeValue)) {
            prompter.Message(kLaunchFileUnreadable, {}, PromptIcon::Stop);
            return false;
        }
        return true;
    }
    // The first argument that is not a switch names the file to open when the main window
    // starts; switches and the arguments after it are not used.
    for (const std::string& arg : args) {
        if (arg.empty() || IsSwitch(arg)) continue;
        SplitPath(arg, documentFolder, documentFileName);
        break;
    }
    return true;
}
