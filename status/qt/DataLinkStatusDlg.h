#pragma once
#include <functional>

#include "status/DataLinkStatusView.h"
#include "status/qt/StatusDialog.h"

class CColorListCtrl;

// Dialog "ﾃﾞｰﾀﾘﾝｸｽﾃｰﾀｽ" over CDataLinkStatusView; read runs ReadDataLinkStatus.
class CDataLinkStatusDlg : public CStatusDialog {
    Q_OBJECT
public:
    CDataLinkStatusDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                       QWidget* parent = nullptr);
    CDataLinkStatusView& Model() { return m_model; }

protected:
    void Refresh() override;

private:
    CDataLinkStatusView m_model;
    CColorListCtrl* m_grid;
};
