#pragma once
#include <array>
#include <functional>

#include "status/CycleTimeView.h"
#include "status/qt/StatusDialog.h"

class QLineEdit;

// Dialog "通信ｻｲｸﾙﾀｲﾑ" over CCycleTimeView; read runs ReadCycleTime.
// The values are "field0" to "field5" in the view model's field order.
class CCycleTimeDlg : public CStatusDialog {
    Q_OBJECT
public:
    CCycleTimeDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                  QWidget* parent = nullptr);
    CCycleTimeView& Model() { return m_model; }

protected:
    void Refresh() override;

private:
    CCycleTimeView m_model;
    std::array<QLineEdit*, CCycleTimeView::kFieldCount> m_fields{};
};
