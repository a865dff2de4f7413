#pragma once
#include <array>
#include <functional>

#include "status/ErrorStatusView.h"
#include "status/qt/StatusDialog.h"

class CLampEdit;

// Dialog "ｴﾗｰｽﾃｰﾀｽ" over CErrorStatusView; read runs ReadErrorStatusWord.
// Lamps are named "lamp0" to "lamp8" in the order of the view model's lamps.
class CErrorStatusDlg : public CStatusDialog {
    Q_OBJECT
public:
    CErrorStatusDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                    QWidget* parent = nullptr);
    CErrorStatusView& Model() { return m_model; }

protected:
    void Refresh() override;

private:
    CErrorStatusView m_model;
    std::array<CLampEdit*, CErrorStatusView::kLampCount> m_lamps{};
};
