#pragma once
#include <functional>
#include <string>

#include "model/Prompter.h"
#include "model/UnitSettings.h"
#include "status/AutoRefresh.h"

// What every status view shares: the shared record it shows, the prompter, the read it was
// given, the enabled state of its buttons around a read, and the automatic refresh.
//
// The read is injected and returns false after it has shown its own message. It may pump
// window messages while it waits, so the view keeps its buttons disabled and refuses a second
// read (Update, a refresh tick) until the first has returned.
class CStatusView {
public:
    CStatusView(CUnitSettings& settings, IPrompter& prompter);
    virtual ~CStatusView() = default;
    CStatusView(const CStatusView&) = delete;
    CStatusView& operator=(const CStatusView&) = delete;

    // Lays the view out and reads once; false means the view is to close at once.
    bool Open();
    // Button "更新(&U)": reads again and shows the record on success.
    bool Update();
    // A tick of the automatic refresh: an Update while the refresh is on and no read runs.
    // Returns true when a read ran and succeeded.
    bool AutoRefreshTick();

    bool IsBusy() const { return m_busy; }
    // A question or message of the view is open (it pumps messages): no read may start.
    bool IsAsking() const { return m_prompter.IsOpen(); }
    bool IsUpdateEnabled() const { return m_buttonsEnabled; }
    bool IsCloseEnabled() const { return m_buttonsEnabled; }
    bool IsOpen() const { return m_open; }

    CAutoRefresh& AutoRefresh() { return m_autoRefresh; }
    const CAutoRefresh& AutoRefresh() const { return m_autoRefresh; }

    // Called whenever the busy state or the buttons change, so a widget can follow at once
    // (the read pumps messages while the buttons are off).
    void SetStateObserver(std::function<void()> observer) { m_observer = std::move(observer); }

    // What the view shows, as CSV text.
    virtual std::string ToCsv() const = 0;

protected:
    // The view's own parts of the sequence.
    virtual void Layout() = 0;
    virtual bool Read() = 0;
    virtual void Show() = 0;
    // Clears what an update shows before its read. An update by hand runs it before the
    // read; the automatic refresh runs it only once the read has returned (right before
    // showing the new record, or to leave the failed state), so nothing blinks each interval.
    virtual void BeforeUpdateRead() {}

    // Runs one exchange with the buttons disabled and the busy mark set.
    bool RunExclusive(const std::function<bool()>& exchange);
    void SetButtonsEnabled(bool on);
    void Notify();

    // Forwards to the prompter the view was given and knows while a box is open.
    class CViewPrompter : public IPrompter {
    public:
        explicit CViewPrompter(IPrompter& target) : m_target(target) {}
        PromptAnswer Show(int messageId, const std::vector<std::string>& inserts, PromptButtons buttons,
                          PromptIcon icon) override;
        bool IsOpen() const { return m_open > 0; }

    private:
        IPrompter& m_target;
        int m_open = 0;
    };

    CUnitSettings& m_settings;
    CViewPrompter m_prompter;

private:
    bool RunUpdate(bool automatic);
    bool CanStartRead() const { return !m_busy && !m_prompter.IsOpen(); }

    CAutoRefresh m_autoRefresh;
    std::function<void()> m_observer;
    bool m_busy = false;
    bool m_buttonsEnabled = true;
    bool m_open = false;
};
