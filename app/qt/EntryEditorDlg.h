#pragma once
#include <string>

class QWidget;

// The middleware's "user edits PLC entry": the device string and comment of one entry.
// False when the user cancels.
bool EditPlcEntry(QWidget* parent, const std::string& name, std::string* deviceString, std::string* comment);
