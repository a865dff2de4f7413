#include "status/qt/NetworkStatusDlg.h"

#include <QVBoxLayout>

#include "status/qt/ColorListCtrl.h"

CNetworkStatusDlg::CNetworkStatusDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                                     QWidget* parent)
    : CStatusDialog(parent), m_model(settings, prompter, std::move(read)) {
    setObjectName("networkStatusDlg");
    setWindowTitle(tr("ﾈｯﾄﾜｰｸｽﾃｰﾀｽ"));
    m_table = new CColorListCtrl(this);
    m_table->setObjectName("networkTable");
    m_table->SetFirstColumnWidth(60);
    auto* content = new QVBoxLayout;
    content->addWidget(m_table);
    Bind(m_model, content);
    resize(620, 520);
}

void CNetworkStatusDlg::Refresh() { m_table->SetCells(m_model.Grid()); }
