#include "status/qt/NodeStatusDlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "status/qt/LampEdit.h"

namespace {
QLabel* Label(const char* text, QWidget* parent) {
    return new QLabel(QCoreApplication::translate("CNodeStatusDlg", text), parent);
}
}  // namespace

CNodeStatusDlg::CNodeStatusDlg(CUnitSettings& settings, IPrompter& prompter, std::function<bool(int node)> read,
                               QWidget* parent)
    : CStatusDialog(parent), m_model(settings, prompter, std::move(read)) {
    setObjectName("nodeStatusDlg");
    setWindowTitle(tr("ﾉｰﾄﾞｽﾃｰﾀｽ"));

    m_nodeNumber = new QComboBox(this);
    m_nodeNumber->setObjectName("nodeNumber");
    for (int node = CNodeStatusView::kFirstNode; node <= CNodeStatusView::kLastNode; ++node)
        m_nodeNumber->addItem(QString::number(node));
    // Picking a node only takes effect with the next read.
    connect(m_nodeNumber, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int index) { m_model.SelectNode(index + CNodeStatusView::kFirstNode); });
    auto* nodeRow = new QHBoxLayout;
    nodeRow->addWidget(Label(QT_TR_NOOP("ﾉｰﾄﾞ番号"), this));
    nodeRow->addWidget(m_nodeNumber);
    nodeRow->addStretch(1);

    for (int i = 0; i < CNodeStatusView::kLampCount; ++i) {
        m_lamps[i] = new CLampEdit(this);
        m_lamps[i]->setObjectName(QString("lamp%1").arg(i));
        m_lamps[i]->SetLamp(m_model.Lamps()[i]);
    }
    for (int i = 0; i < CNodeStatusView::kNumberCount; ++i) {
        m_numbers[i] = new QLineEdit(this);
        m_numbers[i]->setObjectName(QString("number%1").arg(i));
        m_numbers[i]->setReadOnly(true);
        m_numbers[i]->setFocusPolicy(Qt::NoFocus);
        m_numbers[i]->setAlignment(Qt::AlignRight);
        m_numbers[i]->setMaximumWidth(90);
    }

    auto group = [this](const char* title, const char* name) {
        auto* box = new QGroupBox(tr(title), this);
        box->setObjectName(name);
        return box;
    };
    auto* node = group(QT_TR_NOOP("ﾉｰﾄﾞの状態"), "nodeGroup");
    auto* nodeGrid = new QGridLayout(node);
    nodeGrid->addWidget(m_lamps[CNodeStatusView::kJoined], 0, 0);
    nodeGrid->addWidget(m_lamps[CNodeStatusView::kLeft], 0, 1);

    auto* local = group(QT_TR_NOOP("自ﾉｰﾄﾞの状態(自ﾉｰﾄﾞ指定時のみ)"), "localGroup");
    auto* localGrid = new QGridLayout(local);
    for (int i = 0; i < 4; ++i) localGrid->addWidget(m_lamps[CNodeStatusView::kCommonMemoryRangeError + i], i / 2, i % 2);

    auto* link = group(QT_TR_NOOP("FAﾘﾝｸの状態"), "linkGroup");
    auto* linkGrid = new QGridLayout(link);
    for (int i = 0; i < 4; ++i) linkGrid->addWidget(m_lamps[CNodeStatusView::kDuplicateAddress + i], i / 2, i % 2);

    auto* upper = group(QT_TR_NOOP("上位層の状態"), "upperGroup");
    auto* upperGrid = new QGridLayout(upper);
    upperGrid->addWidget(m_lamps[CNodeStatusView::kRun], 0, 0);
    upperGrid->addWidget(m_lamps[CNodeStatusView::kStop], 0, 1);
    upperGrid->addWidget(m_lamps[CNodeStatusView::kNormal], 1, 0);
    upperGrid->addWidget(m_lamps[CNodeStatusView::kWarning], 1, 1);
    upperGrid->addWidget(m_lamps[CNodeStatusView::kAlarm], 1, 2);
    auto* errorRow = new QHBoxLayout;
    errorRow->addWidget(Label("ERR_CODE", upper));
    errorRow->addWidget(m_numbers[CNodeStatusView::kErrorCode]);
    errorRow->addStretch(1);
    upperGrid->addLayout(errorRow, 2, 0, 1, 3);

    // The timing values, each with its unit after it.
    auto* timing = new QGridLayout;
    const struct {
        int number;
        const char* label;
        const char* unit;
    } timings[] = {
        {CNodeStatusView::kRefreshAllowed, QT_TR_NOOP("ﾘﾌﾚｯｼｭｻｲｸﾙ許容時間"), "msec"},
        {CNodeStatusView::kTokenWatchdog, QT_TR_NOOP("ﾄｰｸﾝ監視ﾀｲﾑｱｳﾄ時間"), "msec"},
        {CNodeStatusView::kFrameInterval, QT_TR_NOOP("最小許容ﾌﾚｰﾑ間隔"), QT_TR_NOOP("x100μsec")},
    };
    for (int row = 0; row < 3; ++row) {
        timing->addWidget(Label(timings[row].label, this), row, 0);
        timing->addWidget(m_numbers[timings[row].number], row, 1);
        timing->addWidget(Label(timings[row].unit, this), row, 2);
    }
    timing->setColumnStretch(3, 1);

    auto* send = group(QT_TR_NOOP("送信領域"), "sendAreaGroup");
    auto* sendGrid = new QGridLayout(send);
    sendGrid->addWidget(Label(QT_TR_NOOP("先頭ｱﾄﾞﾚｽ"), send), 0, 1);
    sendGrid->addWidget(Label(QT_TR_NOOP("ｻｲｽﾞ"), send), 0, 2);
    sendGrid->addWidget(Label(QT_TR_NOOP("領域1(ﾋﾞｯﾄﾃﾞｰﾀ)"), send), 1, 0);
    sendGrid->addWidget(m_numbers[CNodeStatusView::kArea1Start], 1, 1);
    sendGrid->addWidget(m_numbers[CNodeStatusView::kArea1Size], 1, 2);
    sendGrid->addWidget(Label(QT_TR_NOOP("領域2(ﾜｰﾄﾞﾃﾞｰﾀ)"), send), 2, 0);
    sendGrid->addWidget(m_numbers[CNodeStatusView::kArea2Start], 2, 1);
    sendGrid->addWidget(m_numbers[CNodeStatusView::kArea2Size], 2, 2);

    auto* content = new QVBoxLayout;
    content->addLayout(nodeRow);
    content->addWidget(node);
    content->addWidget(local);
    content->addWidget(link);
    content->addWidget(upper);
    content->addLayout(timing);
    content->addWidget(send);
    Bind(m_model, content);
    resize(520, 620);
}

void CNodeStatusDlg::Refresh() {
    const int index = m_model.SelectedNode() - CNodeStatusView::kFirstNode;
    if (m_nodeNumber->currentIndex() != index) {
        const bool blocked = m_nodeNumber->blockSignals(true);
        m_nodeNumber->setCurrentIndex(index);
        m_nodeNumber->blockSignals(blocked);
    }
    for (int i = 0; i < CNodeStatusView::kLampCount; ++i) m_lamps[i]->SetLamp(m_model.Lamps()[i]);
    for (int i = 0; i < CNodeStatusView::kNumberCount; ++i) {
        const QString text = QString::fromStdString(m_model.Numbers()[i]);
        if (m_numbers[i]->text() != text) m_numbers[i]->setText(text);
    }
}

void CNodeStatusDlg::SyncButtons() {
    CStatusDialog::SyncButtons();
    // An update turns every lamp off before it reads; show that while the read waits.
    if (m_model.IsBusy()) Refresh();
}
