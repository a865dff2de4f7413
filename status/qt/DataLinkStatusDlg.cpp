#include "status/qt/DataLinkStatusDlg.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include "status/qt/ColorListCtrl.h"

CDataLinkStatusDlg::CDataLinkStatusDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                                       QWidget* parent)
    : CStatusDialog(parent), m_model(settings, prompter, std::move(read)) {
    setObjectName("dataLinkStatusDlg");
    setWindowTitle(tr("ﾃﾞｰﾀﾘﾝｸｽﾃｰﾀｽ"));
    auto* frame = new QGroupBox(tr("ｽﾃｰﾀｽ状態"), this);
    frame->setObjectName("statusFrame");
    auto* frameLayout = new QVBoxLayout(frame);
    m_grid = new CColorListCtrl(frame);
    m_grid->setObjectName("dataLinkGrid");
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frameLayout->addWidget(m_grid);
    auto* content = new QVBoxLayout;
    content->addWidget(frame);
    Bind(m_model, content);
    resize(620, 470);
}

void CDataLinkStatusDlg::Refresh() { m_grid->SetCells(m_model.Grid()); }
