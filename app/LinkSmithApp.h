#pragma once
#include <string>
#include <vector>

#include "app/LaunchParameters.h"

class IPrompter;

// What lives for the whole run beside the main window: the launch parameters, the document's
// folder, name and modified flag. The program makes one and hands it to the main window.
class CLinkSmithApp {
public:
    // args are the arguments after the program name. False ends the program (the message,
    // if any, has been shown).
    bool Initialize(const std::vector<std::string>& args, IPrompter& prompter, const DeviceStringWriter& writeValue);

    LaunchParameters launch;
    std::string documentFolder;  // with its trailing separator
    std::string documentFileName;
    bool modified = false;

    std::string DocumentPath() const { return documentFolder + documentFileName; }
};
