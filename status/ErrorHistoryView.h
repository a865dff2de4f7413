#pragma once
#include <functional>
#include <string>

#include "status/CellGrid.h"
#include "status/StatusView.h"

// "異常履歴": up to 64 error records with date, time, code and detail; can be cleared.
class CErrorHistoryView : public CStatusView {
public:
    static constexpr int kRows = kMaxHistoryRecords;
    CErrorHistoryView(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                      std::function<bool()> clear);

    // Button "ｸﾘｱ(&L)": asks first; true when the unit's history was cleared.
    bool Clear();
    bool IsClearEnabled() const { return IsUpdateEnabled(); }

    const CCellGrid& Grid() const { return m_grid; }
    // The fields after "最大格納件数　：" and "格納件数　：".
    const std::string& MaxRecordsText() const { return m_maxRecords; }
    const std::string& StoredText() const { return m_stored; }

    std::string ToCsv() const override;

protected:
    void Layout() override;
    bool Read() override { return m_read && m_read(); }
    void Show() override;

private:
    std::function<bool()> m_read;
    std::function<bool()> m_clear;
    CCellGrid m_grid;
    std::string m_maxRecords;
    std::string m_stored;
};
