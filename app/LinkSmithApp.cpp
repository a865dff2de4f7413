#include "app/LinkSmithApp.h"

#include "model/FileIo.h"
#include "model/Prompter.h"

namespace {
constexpr int kLaunchSwitchesMalformed = 32900;
constexpr int kLaunchFileUnreadable = 32901;
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
    // A single file name means: open it when the main window starts.
    if (args.size() == 1 && !args[0].empty()) SplitPath(args[0], documentFolder, documentFileName);
    return true;
}
