#include "app/qt/LinkSmithStartup.h"

int main(int argc, char** argv) {
    return RunLinkSmith(argc, argv);
}
