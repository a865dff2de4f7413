#pragma once
#include <iosfwd>
#include <string>

#include "model/Prompter.h"

// Messages of the core go to the error stream as one line each; questions are answered
// Yes/Ok only when the user said so on the command line (--yes), else No/Cancel.
class CCliPrompter : public IPrompter {
public:
    CCliPrompter(std::ostream& err, bool assumeYes = false) : m_err(err), m_assumeYes(assumeYes) {}
    PromptAnswer Show(int messageId, const std::vector<std::string>& inserts, PromptButtons buttons,
                      PromptIcon icon) override;
    int shownCount = 0;
    // Named before the message when set, e.g. the file the message is about.
    std::string subject;

private:
    std::ostream& m_err;
    bool m_assumeYes;
};
