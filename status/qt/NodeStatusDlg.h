#pragma once
#include <array>
#include <functional>

#include "status/NodeStatusView.h"
#include "status/qt/StatusDialog.h"

class CLampEdit;
class QComboBox;
class QLineEdit;

// Dialog "ﾉｰﾄﾞｽﾃｰﾀｽ" over CNodeStatusView; read(node) runs ReadNodeInformation for that node.
// The node list is "nodeNumber"; lamps are "lamp0" to "lamp14" and the numbers "number0" to
// "number7", both in the view model's order.
class CNodeStatusDlg : public CStatusDialog {
    Q_OBJECT
public:
    CNodeStatusDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool(int node)> read,
                   QWidget* parent = nullptr);
    CNodeStatusView& Model() { return m_model; }

protected:
    void Refresh() override;
    void SyncButtons() override;

private:
    CNodeStatusView m_model;
    QComboBox* m_nodeNumber;
    std::array<CLampEdit*, CNodeStatusView::kLampCount> m_lamps{};
    std::array<QLineEdit*, CNodeStatusView::kNumberCount> m_numbers{};
};
