#include "status/qt/CycleTimeDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CCycleTimeDlg::CCycleTimeDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool()> read,
                             QWidget* parent)
    : CStatusDialog(parent), m_model(settings, prompter, std::move(read)) {
    setObjectName("cycleTimeDlg");
    setWindowTitle(tr("通信ｻｲｸﾙﾀｲﾑ"));
    for (int i = 0; i < CCycleTimeView::kFieldCount; ++i) {
        m_fields[i] = new QLineEdit(this);
        m_fields[i]->setObjectName(QString("field%1").arg(i));
        m_fields[i]->setReadOnly(true);
        m_fields[i]->setFocusPolicy(Qt::NoFocus);
        m_fields[i]->setAlignment(Qt::AlignRight);
        m_fields[i]->setMaximumWidth(80);
    }
    // One row: label, value, unit.
    auto addRow = [this](QGridLayout* grid, int row, int field, QWidget* owner) {
        grid->addWidget(new QLabel(QString::fromUtf8(CCycleTimeView::FieldLabel(field)), owner), row, 0);
        grid->addWidget(m_fields[field], row, 1);
        grid->addWidget(new QLabel(QString::fromUtf8(CCycleTimeView::FieldUnit(field)), owner), row, 2);
        grid->setColumnStretch(3, 1);
    };

    auto* top = new QGridLayout;
    addRow(top, 0, CCycleTimeView::kTokenNode, this);
    addRow(top, 1, CCycleTimeView::kFrameInterval, this);

    auto* refresh = new QGroupBox(tr("ﾘﾌﾚｯｼｭｻｲｸﾙ時間"), this);
    refresh->setObjectName("refreshGroup");
    auto* refreshLayout = new QVBoxLayout(refresh);
    auto* allowed = new QGridLayout;
    addRow(allowed, 0, CCycleTimeView::kRefreshAllowed, refresh);
    refreshLayout->addLayout(allowed);
    auto* measured = new QGroupBox(tr("測定時間"), refresh);
    measured->setObjectName("measuredGroup");
    auto* measuredGrid = new QGridLayout(measured);
    addRow(measuredGrid, 0, CCycleTimeView::kRefreshCurrent, measured);
    addRow(measuredGrid, 1, CCycleTimeView::kRefreshMaximum, measured);
    addRow(measuredGrid, 2, CCycleTimeView::kRefreshMinimum, measured);
    refreshLayout->addWidget(measured);

    auto* content = new QVBoxLayout;
    content->addLayout(top);
    content->addWidget(refresh);
    content->addStretch(1);
    Bind(m_model, content);
    resize(420, 320);
}

void CCycleTimeDlg::Refresh() {
    for (int i = 0; i < CCycleTimeView::kFieldCount; ++i)
        m_fields[i]->setText(QString::fromStdString(m_model.Fields()[i]));
}
