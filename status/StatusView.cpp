#include "status/StatusView.h"

CStatusView::CStatusView(CUnitSettings& settings, IPrompter& prompter)
    : m_settings(settings), m_prompter(prompter) {}

bool CStatusView::Open() {
    if (m_busy) return false;
    Layout();
    m_busy = true;
    bool ok = Read();
    m_busy = false;
    if (ok) Show();
    m_open = ok;
    return ok;
}

bool CStatusView::Update() {
    if (m_busy) return false;
    return RunExclusive([this] {
        BeforeUpdateRead();
        Notify();
        bool ok = Read();
        if (ok) Show();
        return ok;
    });
}

bool CStatusView::AutoRefreshTick() {
    if (!m_autoRefresh.IsOn() || m_busy || !m_open) return false;
    bool ok = Update();
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
