#include "status/StatusView.h"

CStatusView::CStatusView(CUnitSettings& settings, IPrompter& prompter)
    : m_settings(settings), m_prompter(prompter) {}

PromptAnswer CStatusView::CViewPrompter::Show(int messageId, const std::vector<std::string>& inserts,
                                              PromptButtons buttons, PromptIcon icon) {
    ++m_open;
    const PromptAnswer answer = m_target.Show(messageId, inserts, buttons, icon);
    --m_open;
    return answer;
}

bool CStatusView::Open() {
    if (!CanStartRead()) return false;
    Layout();
    m_busy = true;
    bool ok = Read();
    m_busy = false;
    if (ok) Show();
    m_open = ok;
    return ok;
}

bool CStatusView::Update() { return RunUpdate(false); }

bool CStatusView::RunUpdate(bool automatic) {
    if (!CanStartRead()) return false;
    return RunExclusive([this, automatic] {
        if (!automatic) {
            BeforeUpdateRead();
            Notify();
        }
        bool ok = Read();
        if (automatic) BeforeUpdateRead();
        if (ok) Show();
        return ok;
    });
}

bool CStatusView::AutoRefreshTick() {
    if (!m_autoRefresh.IsOn() || !m_open || !CanStartRead()) return false;
    bool ok = RunUpdate(true);
    m_autoRefresh.ReadEnded(ok);
    Notify();
    return ok;
}

bool CStatusView::RunExclusive(const std::function<bool()>& exchange) {
    m_busy = true;
    SetButtonsEnabled(false);
    bool ok = exchange();
    m_busy = false;
    SetButtonsEnabled(true);
    return ok;
}

void CStatusView::SetButtonsEnabled(bool on) {
    m_buttonsEnabled = on;
    Notify();
}

void CStatusView::Notify() {
    if (m_observer) m_observer();
}
