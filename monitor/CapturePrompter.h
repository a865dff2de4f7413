#pragma once
#include <string>
#include <vector>

#include "model/Messages.h"
#include "model/Prompter.h"

// Keeps the last message the communication object reported, as text, instead of showing it: a
// monitor reads on its own thread for hours and says why a read failed in its own place.
class CCapturePrompter : public IPrompter {
public:
    PromptAnswer Show(int messageId, const std::vector<std::string>& inserts, PromptButtons buttons,
                      PromptIcon) override {
        last = FormatMessage(messageId, inserts);
        // A monitor never confirms anything: questions are declined.
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::No;
    }
    std::string last;
};
