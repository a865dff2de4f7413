#pragma once
#include <functional>

#include "status/ErrorHistoryView.h"
#include "status/qt/StatusDialog.h"

class CColorListCtrl;
class QLineEdit;
class QPushButton;

// Dialog "異常履歴" over CErrorHistoryView; read runs ReadErrorHistory, clear ClearErrorHistory.
// Widgets: "historyTable", "maxRecords", "storedRecords" and the button "clearButton".
class CErrorHistoryDlg : public CStatusDialog {
    Q_OBJECT
public:
    CErrorHistoryDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                     std::function<bool()> clear, QWidget* parent = nullptr);
    CErrorHistoryView& Model() { return m_model; }

protected:
    void Refresh() override;
    void SyncButtons() override;

private:
    void OnClear();

    CErrorHistoryView m_model;
    CColorListCtrl* m_table;
    QLineEdit* m_maxRecords;
    QLineEdit* m_stored;
    QPushButton* m_clearButton = nullptr;
};
