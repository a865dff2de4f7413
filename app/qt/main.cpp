#include <cstdio>
#include <cstring>
#include <string>

#include "app/qt/LinkSmithStartup.h"
#include "comm/DeviceCatalog.h"

namespace {

const char kHelp[] =
    "LinkSmith: settings and status of an FL-net network unit\n"
    "Usage: linksmith [--simulate] [--scenario STATE] [--network NET] [--monitor] [--lang L] [FILE.lsm | FILE.csv]\n"
    "       linksmith [--simulate] [--scenario STATE] [--network NET] [--monitor] /n [/off | /on] LAUNCH.cfg\n"
    "\n"
    "  FILE.lsm, FILE.csv  Settings file to open, the first argument that is not an option;\n"
    "                      a file ending in .csv is read as an older-version file\n"
    "  /n LAUNCH.cfg       Start from a launch file naming the PLC and the unit number;\n"
    "                      /off or /on is the mode switch; the file is deleted once read\n"
    "  --simulate          Talk to a simulated unit inside this program instead of a PLC\n"
    "  --scenario STATE    Give the simulated unit the state in STATE, a linksmith-unitsim\n"
    "                      state file such as examples/scenario-faults.txt (implies\n"
    "                      --simulate; the file is not written back)\n"
    "  --monitor           Open the monitor window (live status and event log of the\n"
    "                      connected unit) beside the main window\n"
    "  --network NET       Open the network window with the network file NET (TOML):\n"
    "                      its nodes, the common memory picture, check and sync\n"
    "  --lang ja|en        Language of the program (Japanese, the default, or English);\n"
    "                      without it the choice made in the View menu, then the locale\n"
    "                      (LANGUAGE, LC_ALL, LC_MESSAGES, LANG)\n"
    "  --help              Print this help and exit\n"
    "  --version           Print the version and the device catalog file in use, and exit\n";

}  // namespace

int main(int argc, char** argv) {
    // Answered before the window system is touched, so they work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            const std::string catalog = CDeviceCatalog::InstalledPath();
            std::printf("linksmith %s\nDevice catalog: %s\n", LINKSMITH_VERSION,
                        catalog.empty() ? "not found" : catalog.c_str());
            return 0;
        }
    }
    return RunLinkSmith(argc, argv);
}
