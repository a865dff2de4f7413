#pragma once
#include <iosfwd>
#include <string>

#include "model/Prompter.h"

// Messages of the core go to the error stream as one line each. Questions are answered Yes/Ok
// when the user said so on the command line (--yes), else asked on the answers stream when
// there is one, else refused with a line saying why (No/Cancel).
class CCliPrompter : public IPrompter {
public:
    CCliPrompter(std::ostream& err, bool assumeYes = false, std::istream* answers = nullptr)
        : m_err(err), m_assumeYes(assumeYes), m_answers(answers) {}
    PromptAnswer Show(int messageId, const std::vector<std::string>& inserts, PromptButtons buttons,
                      PromptIcon icon) override;
    int shownCount = 0;
    // Questions answered No/Cancel, by the user or for want of one.
    int declinedCount = 0;
    // Named before the message when set, e.g. the file the message is about.
    std::string subject;
    // The last message or question shown (id 0: none yet), for the report of a refusal.
    int lastId = 0;
    std::vector<std::string> lastInserts;

private:
    bool Ask();

    std::ostream& m_err;
    bool m_assumeYes;
    std::istream* m_answers;
};
