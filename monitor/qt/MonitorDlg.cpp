#include "monitor/qt/MonitorDlg.h"

#include <algorithm>

#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/Prompter.h"
#include "monitor/MonitorEvents.h"
#include "monitor/MonitorScheduler.h"
#include "monitor/UnitPool.h"
#include "status/DataLinkStatusView.h"
#include "status/qt/ColorListCtrl.h"
#include "status/qt/LampEdit.h"

namespace {
QString U(const char* text) { return QString::fromUtf8(text); }
QString U(const std::string& text) { return QString::fromUtf8(text.c_str()); }

// The kinds the filter offers, with the token an event carries.
const char* const kKindTokens[] = {"datalink", "upper-layer", "area-allocation", "error-bit", "history", "read"};

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

bool SameTarget(const MonitorTarget& a, const MonitorTarget& b) {
    return a.device == b.device && a.gateway == b.gateway && a.unit == b.unit;
}

// How many rows the event table keeps; the log itself keeps more for the CSV.
constexpr int kMaxShownEvents = 5000;
}  // namespace

CMonitorDlg::CMonitorDlg(std::vector<MonitorTarget> targets, IDatagramPeer* simulated, QWidget* parent)
    : QDialog(parent),
      m_simulated(simulated),
      m_log(targets),
      m_shown(std::make_unique<CUnitSettings>()),
      m_viewPrompter(std::make_unique<RecordingPrompter>()) {
    setObjectName("monitorWindow");
    setWindowTitle(tr("ﾗｲﾌﾞﾓﾆﾀ"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_pool = std::make_unique<CUnitPool>(std::move(targets), simulated, true);
    m_scheduler = std::make_unique<CMonitorScheduler>(*m_pool);
    m_dataLinkView = std::make_unique<CDataLinkStatusView>(*m_shown, *m_viewPrompter, [] { return true; });
    m_dataLinkView->Open();

    // Top row: which unit, how often, when last read, stale and paused marks.
    auto* top = new QHBoxLayout;
    m_target = new QComboBox(this);
    m_target->setObjectName("monitorTarget");
    FillTargetChoice();
    top->addWidget(m_target);
    top->addWidget(new QLabel(tr("更新間隔(秒)"), this));
    m_interval = new QDoubleSpinBox(this);
    m_interval->setObjectName("monitorInterval");
    m_interval->setRange(CMonitorScheduler::kMinIntervalMs / 1000.0, CMonitorScheduler::kMaxIntervalMs / 1000.0);
    m_interval->setSingleStep(0.5);
    m_interval->setDecimals(1);
    m_interval->setValue(1.0);
    top->addWidget(m_interval);
    top->addWidget(new QLabel(tr("最終読出し:"), this));
    m_lastRead = new QLabel(U("-"), this);
    m_lastRead->setObjectName("monitorLastRead");
    top->addWidget(m_lastRead);
    m_stale = new QLabel(this);
    m_stale->setObjectName("monitorStale");
    m_stale->setStyleSheet("QLabel { color: white; background: rgb(255,0,0); padding: 1px 4px; }");
    m_stale->hide();
    top->addWidget(m_stale, 1);
    m_paused = new QLabel(tr("一時停止中(PLC使用中)"), this);
    m_paused->setObjectName("monitorPaused");
    m_paused->hide();
    top->addWidget(m_paused);
    top->addStretch();

    // The unit's state: data link grid, nodes that take part, lamps and cycle times.
    auto* linkFrame = new QGroupBox(tr("ﾃﾞｰﾀﾘﾝｸｽﾃｰﾀｽ"), this);
    auto* linkLayout = new QVBoxLayout(linkFrame);
    m_dataLink = new CColorListCtrl(linkFrame);
    m_dataLink->setObjectName("monitorDataLink");
    m_dataLink->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_dataLink->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_dataLink->setMinimumSize(420, 300);
    m_dataLink->SetCells(m_dataLinkView->Grid());
    linkLayout->addWidget(m_dataLink);

    auto* nodeFrame = new QGroupBox(tr("ﾈｯﾄﾜｰｸｽﾃｰﾀｽ(加入ﾉｰﾄﾞ)"), this);
    auto* nodeLayout = new QVBoxLayout(nodeFrame);
    m_nodes = new QTableWidget(0, 4, nodeFrame);
    m_nodes->setObjectName("monitorNodes");
    m_nodes->setHorizontalHeaderLabels({tr("ﾉｰﾄﾞNo"), tr("運転状態(上位層)"), tr("異常(上位層)"), tr("ｴﾘｱ割付異常")});
    m_nodes->verticalHeader()->hide();
    m_nodes->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    nodeLayout->addWidget(m_nodes);

    auto* lampFrame = new QGroupBox(tr("ｴﾗｰｽﾃｰﾀｽ"), this);
    auto* lampLayout = new QGridLayout(lampFrame);
    const auto& bits = CMonitorEvents::ShownErrorBits();
    for (size_t i = 0; i < bits.size(); ++i) {
        auto* lamp = new CLampEdit(lampFrame);
        lamp->setObjectName(QString("monitorLamp%1").arg(bits[i]));
        lamp->SetLamp({CMonitorEvents::ErrorBitLabel(bits[i]), LampState::Off});
        lampLayout->addWidget(lamp, static_cast<int>(i) / 3, static_cast<int>(i) % 3);
        m_lamps.push_back(lamp);
    }

    auto* cycleFrame = new QGroupBox(tr("通信ｻｲｸﾙﾀｲﾑ"), this);
    auto* cycleLayout = new QFormLayout(cycleFrame);
    const char* cycleNames[] = {"monitorCycleCurrent", "monitorCycleMax", "monitorCycleMin"};
    const char* cycleLabels[] = {QT_TR_NOOP("現在値"), QT_TR_NOOP("最大値"), QT_TR_NOOP("最小値")};
    for (int i = 0; i < 3; ++i) {
        m_cycle[i] = new QLabel(U("-"), cycleFrame);
        m_cycle[i]->setObjectName(cycleNames[i]);
        cycleLayout->addRow(tr(cycleLabels[i]), m_cycle[i]);
    }

    auto* state = new QGridLayout;
    state->addWidget(linkFrame, 0, 0, 2, 1);
    state->addWidget(nodeFrame, 0, 1);
    auto* lower = new QHBoxLayout;
    lower->addWidget(lampFrame, 3);
    lower->addWidget(cycleFrame, 1);
    state->addLayout(lower, 1, 1);

    // The event log with its filter and the CSV save.
    auto* eventFrame = new QGroupBox(tr("ｲﾍﾞﾝﾄ"), this);
    auto* eventLayout = new QVBoxLayout(eventFrame);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(new QLabel(tr("種類"), eventFrame));
    m_kindFilter = new QComboBox(eventFrame);
    m_kindFilter->setObjectName("monitorKindFilter");
    m_kindFilter->addItem(tr("すべて"), QString());
    for (const char* token : kKindTokens) m_kindFilter->addItem(token, QString(token));
    filterRow->addWidget(m_kindFilter);
    filterRow->addWidget(new QLabel(tr("ﾉｰﾄﾞ"), eventFrame));
    m_nodeFilter = new QSpinBox(eventFrame);
    m_nodeFilter->setObjectName("monitorNodeFilter");
    m_nodeFilter->setRange(0, 254);
    m_nodeFilter->setSpecialValueText(tr("すべて"));
    filterRow->addWidget(m_nodeFilter);
    filterRow->addStretch();
    auto* save = new QPushButton(tr("CSV保存(&S)"), eventFrame);
    save->setObjectName("monitorSaveCsv");
    filterRow->addWidget(save);
    eventLayout->addLayout(filterRow);
    m_events = new QTableWidget(0, 6, eventFrame);
    m_events->setObjectName("monitorEvents");
    m_events->setHorizontalHeaderLabels({tr("時刻"), tr("対象"), tr("種類"), tr("ﾉｰﾄﾞ"), tr("変化前"), tr("変化後")});
    m_events->verticalHeader()->hide();
    m_events->horizontalHeader()->setStretchLastSection(true);
    eventLayout->addWidget(m_events);

    auto* close = new QPushButton(tr("閉じる(&C)"), this);
    close->setObjectName("closeButton");
    close->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(state);
    layout->addWidget(eventFrame, 1);
    layout->addLayout(buttons);
    resize(1000, 820);

    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(save, &QPushButton::clicked, this, [this] { SaveCsv(); });
    connect(m_target, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { ShowUnit(); });
    connect(m_kindFilter, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { RebuildEvents(); });
    connect(m_nodeFilter, qOverload<int>(&QSpinBox::valueChanged), this, [this] { RebuildEvents(); });
    connect(m_interval, qOverload<double>(&QDoubleSpinBox::valueChanged), this, [this](double seconds) {
        m_scheduler->SetInterval(static_cast<int>(seconds * 1000 + 0.5));
    });
}

CMonitorDlg::~CMonitorDlg() {
    // The rounds end before the window's parts go; a round handed over meanwhile is dropped
    // with the window.
    m_scheduler->Stop();
}

void CMonitorDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_scheduler->Running()) StartReading();
}

void CMonitorDlg::closeEvent(QCloseEvent* event) {
    // Closed, the monitor reads nothing; shown again, it goes on with its log.
    m_scheduler->Stop();
    QDialog::closeEvent(event);
}

void CMonitorDlg::StartReading() {
    const int generation = m_generation;
    m_scheduler->Start(static_cast<int>(m_interval->value() * 1000 + 0.5),
                       [this, generation](const std::vector<MonitorReading>& r) {
                           QMetaObject::invokeMethod(
                               this,
                               [this, generation, r] {
                                   if (generation == m_generation) OnRound(r);
                               },
                               Qt::QueuedConnection);
                       });
}

void CMonitorDlg::FillTargetChoice() {
    const QSignalBlocker quiet(m_target);
    m_target->clear();
    for (size_t i = 0; i < m_log.TargetCount(); ++i) {
        const std::string& label = m_log.Target(i).label;
        m_target->addItem(label == "unit" ? tr("ﾕﾆｯﾄ") : tr("ﾉｰﾄﾞ ") + U(label));
    }
    m_target->setVisible(m_log.TargetCount() > 1);
}

void CMonitorDlg::Watch(std::vector<MonitorTarget> targets) {
    bool same = targets.size() == m_pool->Size();
    for (size_t i = 0; same && i < targets.size(); ++i)
        same = SameTarget(targets[i], m_pool->Target(i)) && targets[i].label == m_pool->Target(i).label &&
               targets[i].listedNodes == m_pool->Target(i).listedNodes;
    if (same) return;
    const bool reading = m_scheduler->Running();
    m_scheduler->Stop();
    ++m_generation;
    m_scheduler.reset();
    m_pool = std::make_unique<CUnitPool>(targets, m_simulated, true);
    m_scheduler = std::make_unique<CMonitorScheduler>(*m_pool);
    for (size_t i = 0; i < m_pool->Size(); ++i)
        for (const MonitorTarget& used : m_hostBusy)
            if (SameTarget(m_pool->Target(i), used)) m_pool->Pause(i);
    m_log = CMonitorLog(std::move(targets));
    m_rounds = 0;
    FillTargetChoice();
    ClearUnit();
    RebuildEvents();
    if (reading) StartReading();
}

void CMonitorDlg::ClearUnit() {
    m_lastRead->setText(U("-"));
    m_stale->hide();
    m_shown->status = {};
    m_dataLinkView->Update();
    m_dataLink->SetCells(m_dataLinkView->Grid());
    m_nodes->setRowCount(0);
    const auto& bits = CMonitorEvents::ShownErrorBits();
    for (size_t i = 0; i < bits.size(); ++i) m_lamps[i]->SetLamp({CMonitorEvents::ErrorBitLabel(bits[i]), LampState::Off});
    for (QLabel* cycle : m_cycle) cycle->setText(U("-"));
}

void CMonitorDlg::SetHostBusy(bool busy, const MonitorTarget& used) {
    if (busy) {
        m_hostBusy.push_back(used);
    } else {
        const auto it = std::find_if(m_hostBusy.begin(), m_hostBusy.end(),
                                     [&used](const MonitorTarget& t) { return SameTarget(t, used); });
        if (it != m_hostBusy.end()) m_hostBusy.erase(it);
    }
    bool paused = false;
    for (size_t i = 0; i < m_pool->Size(); ++i) {
        if (SameTarget(m_pool->Target(i), used)) {
            if (busy)
                m_pool->Pause(i);
            else
                m_pool->Resume(i);
        }
        paused |= m_pool->Paused(i);
    }
    // Shown while any watched unit waits for the program, which may use several at once.
    m_paused->setVisible(paused);
}

void CMonitorDlg::OnRound(const std::vector<MonitorReading>& round) {
    ++m_rounds;
    const size_t logged = m_log.Take(round);
    const auto& events = m_log.Events();
    const CMonitorLog::Filter filter = CurrentFilter();
    for (size_t i = events.size() - std::min(logged, events.size()); i < events.size(); ++i)
        if (filter.Matches(events[i])) AppendEvent(events[i]);
    ShowUnit();
}

void CMonitorDlg::ShowUnit() {
    const int index = std::max(0, m_target->currentIndex());
    if (static_cast<size_t>(index) >= m_log.TargetCount()) return;
    const auto& last = m_log.Last(index);
    const auto& good = m_log.LastGood(index);
    if (m_log.Stale(index)) {
        m_stale->setText(tr("読出し失敗: ") + U(last->failure));
        m_stale->show();
    } else {
        m_stale->hide();
    }
    if (!good) return;
    const MonitorReading& r = *good;
    m_lastRead->setText(QDateTime::fromMSecsSinceEpoch(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                           r.time.time_since_epoch())
                                                           .count())
                            .toString("yyyy/MM/dd HH:mm:ss"));
    // The data link grid as the data link status view draws it.
    for (int n = 0; n < 256; ++n) m_shown->status.participation[n] = r.dataLink[n] ? 1 : 0;
    m_dataLinkView->Update();
    m_dataLink->SetCells(m_dataLinkView->Grid());

    std::vector<int> taking;
    for (int n = MonitorReading::kFirstNode; n <= MonitorReading::kLastNode; ++n)
        if (r.dataLink[n] || r.nodes[n].participating) taking.push_back(n);
    m_nodes->setRowCount(static_cast<int>(taking.size()));
    for (size_t row = 0; row < taking.size(); ++row) {
        const int n = taking[row];
        const auto& f = r.nodes[n];
        const int rr = static_cast<int>(row);
        m_nodes->setItem(rr, 0, Cell(QString::number(n)));
        m_nodes->setItem(rr, 1, Cell(f.upperLayerRunning ? tr("運転中") : tr("停止中")));
        m_nodes->setItem(rr, 2, Cell(f.upperLayerError ? tr("異常あり") : tr("異常なし")));
        m_nodes->setItem(rr, 3, Cell(f.areaAllocError ? tr("異常") : tr("異常なし")));
        for (int c = 2; c <= 3; ++c) {
            const bool alarm = c == 2 ? f.upperLayerError : f.areaAllocError;
            if (alarm) {
                m_nodes->item(rr, c)->setBackground(QColor(255, 0, 0));
                m_nodes->item(rr, c)->setForeground(Qt::white);
            }
        }
    }
    const auto& bits = CMonitorEvents::ShownErrorBits();
    for (size_t i = 0; i < bits.size(); ++i)
        m_lamps[i]->SetLamp({CMonitorEvents::ErrorBitLabel(bits[i]),
                             (r.errorStatusWord >> bits[i]) & 1 ? LampState::On : LampState::Off});
    m_cycle[0]->setText(QString::number(r.cycle.refreshCurrent) + " msec");
    m_cycle[1]->setText(QString::number(r.cycle.refreshMaximum) + " msec");
    m_cycle[2]->setText(QString::number(r.cycle.refreshMinimum) + " msec");
}

CMonitorLog::Filter CMonitorDlg::CurrentFilter() const {
    CMonitorLog::Filter f;
    f.kind = m_kindFilter->currentData().toString().toStdString();
    f.node = m_nodeFilter->value() == 0 ? -1 : m_nodeFilter->value();
    return f;
}

void CMonitorDlg::AppendEvent(const MonitorEvent& e) {
    if (m_events->rowCount() >= kMaxShownEvents) m_events->removeRow(0);
    const int row = m_events->rowCount();
    m_events->insertRow(row);
    m_events->setItem(row, 0, Cell(U(CMonitorEvents::IsoTime(e.time))));
    m_events->setItem(row, 1, Cell(U(e.target)));
    m_events->setItem(row, 2, Cell(CMonitorEvents::KindToken(e.kind)));
    QString what = e.node >= 0 ? QString::number(e.node) : QString();
    if (e.bit >= 0) what = QString("bit %1 ").arg(e.bit) + U(e.label);
    m_events->setItem(row, 3, Cell(what));
    m_events->setItem(row, 4, Cell(e.hasOld ? U(e.oldValue) : QString()));
    m_events->setItem(row, 5, Cell(U(e.newValue)));
    m_events->scrollToBottom();
}

void CMonitorDlg::RebuildEvents() {
    m_events->setRowCount(0);
    for (const MonitorEvent* e : m_log.Filtered(CurrentFilter())) AppendEvent(*e);
}

void CMonitorDlg::SaveCsv() {
    const QString path = m_chooseCsv ? m_chooseCsv()
                                     : QFileDialog::getSaveFileName(this, tr("CSV保存"), QString(), "CSV (*.csv)");
    if (path.isEmpty()) return;
    std::string why;
    if (!m_log.SaveCsv(path.toStdString(), CurrentFilter(), &why))
        QMessageBox::warning(this, windowTitle(), U(why));
}
