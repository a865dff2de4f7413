#include "status/qt/ErrorStatusDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "status/qt/LampEdit.h"

CErrorStatusDlg::CErrorStatusDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                                 QWidget* parent)
    : CStatusDialog(parent), m_model(settings, prompter, std::move(read)) {
    setObjectName("errorStatusDlg");
    setWindowTitle(tr("ｴﾗｰｽﾃｰﾀｽ"));
    for (int i = 0; i < CErrorStatusView::kLampCount; ++i) {
        m_lamps[i] = new CLampEdit(this);
        m_lamps[i]->setObjectName(QString("lamp%1").arg(i));
        m_lamps[i]->SetLamp(m_model.Lamps()[i]);
    }
    auto* status = new QGroupBox(tr("ｽﾃｰﾀｽ状態"), this);
    status->setObjectName("statusGroup");
    auto* statusGrid = new QGridLayout(status);
    statusGrid->addWidget(m_lamps[0], 0, 0);  // FA Link running
    statusGrid->addWidget(m_lamps[2], 0, 1);  // power supply
    statusGrid->addWidget(m_lamps[1], 1, 0);  // message received
    auto* errors = new QGroupBox(tr("ｴﾗｰｽﾃｰﾀｽ状態"), this);
    errors->setObjectName("errorGroup");
    auto* errorGrid = new QGridLayout(errors);
    for (int i = 0; i < 3; ++i) {
        errorGrid->addWidget(m_lamps[3 + i], i, 0);
        errorGrid->addWidget(m_lamps[6 + i], i, 1);
    }
    auto* content = new QVBoxLayout;
    content->addWidget(status);
    content->addWidget(errors);
    Bind(m_model, content);
    resize(520, 300);
}

void CErrorStatusDlg::Refresh() {
    for (int i = 0; i < CErrorStatusView::kLampCount; ++i) m_lamps[i]->SetLamp(m_model.Lamps()[i]);
}
