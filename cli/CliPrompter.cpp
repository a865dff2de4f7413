#include "cli/CliPrompter.h"

#include <ostream>

#include "model/Messages.h"

PromptAnswer CCliPrompter::Show(int messageId, const std::vector<std::string>& inserts, PromptButtons buttons,
                                PromptIcon) {
    ++shownCount;
    m_err << "linksmithctl: " << (subject.empty() ? "" : subject + ": ") << FormatMessage(messageId, inserts) << "\n";
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::OkCancel: return m_assumeYes ? PromptAnswer::Ok : PromptAnswer::Cancel;
    default: return m_assumeYes ? PromptAnswer::Yes : PromptAnswer::No;
    }
}
