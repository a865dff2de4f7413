#pragma once
#include <functional>

#include "status/NetworkStatusView.h"
#include "status/qt/StatusDialog.h"

class CColorListCtrl;

// Dialog "ﾈｯﾄﾜｰｸｽﾃｰﾀｽ" over CNetworkStatusView; read runs ReadNetworkStatus.
class CNetworkStatusDlg : public CStatusDialog {
    Q_OBJECT
public:
    CNetworkStatusDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                      QWidget* parent = nullptr);
    CNetworkStatusView& Model() { return m_model; }

protected:
    void Refresh() override;

private:
    CNetworkStatusView m_model;
    CColorListCtrl* m_table;
};
