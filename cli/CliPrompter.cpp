#include "cli/CliPrompter.h"

#include <istream>
#include <ostream>

#include "model/Messages.h"

PromptAnswer CCliPrompter::Show(int messageId, const std::vector<std::string>& inserts, PromptButtons buttons,
                                PromptIcon) {
    ++shownCount;
    lastId = messageId;
    lastInserts = inserts;
    m_err << "linksmithctl: " << (subject.empty() ? "" : subject + ": ") << FormatMessage(messageId, inserts);
    if (buttons == PromptButtons::Ok) {
        m_err << "\n";
        return PromptAnswer::Ok;
    }
    const bool yes = Ask();
    if (!yes) ++declinedCount;
    if (buttons == PromptButtons::OkCancel) return yes ? PromptAnswer::Ok : PromptAnswer::Cancel;
    return yes ? PromptAnswer::Yes : PromptAnswer::No;
}

bool CCliPrompter::Ask() {
    if (m_assumeYes) {
        m_err << " [--yes]\n";
        return true;
    }
    if (m_answers == nullptr) {
        m_err << "\nlinksmithctl: not confirmed: no terminal to answer on; give --yes to go ahead\n";
        return false;
    }
    m_err << " [y/N] " << std::flush;
    std::string line;
    if (!std::getline(*m_answers, line)) {
        m_err << "\n";
        return false;
    }
    return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
}
