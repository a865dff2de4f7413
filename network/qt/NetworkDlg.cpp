#include "network/qt/NetworkDlg.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFileInfo>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include "model/FileSystemOps.h"
#include "model/Prompter.h"
#include "model/UnitSettings.h"
#include "monitor/MonitorTargets.h"
#include "monitor/qt/MonitorDlg.h"
#include "network/NetworkPlan.h"
#include "network/NetworkSync.h"
#include "network/qt/CommonMemoryMapWidget.h"

namespace {

// Our own messages of the network window (model/Messages.cpp).
constexpr int kNetworkFileUnusable = 40160;
constexpr int kSyncQuestion = 40161;
constexpr int kSyncRefused = 40162;
constexpr int kSyncFailed = 40163;
constexpr int kSyncNothing = 40164;
constexpr int kWriteRefused = 40165;
// The single unit's write confirmation, asked once for the whole network.
constexpr int kWriteQuestion = 32941;

const QColor kErrorColour(255, 200, 200);
const QColor kWarningColour(255, 240, 170);
const QColor kCleanColour(210, 240, 210);

QString U(const std::string& text) {
    return QString::fromStdString(text);
}

QString SendText(const NetworkNode& n, int area) {
    if (!n.Readable()) return QString();
    const SendArea s = n.Sending(area);
    if (!s.Sends()) return QStringLiteral("-");
    return QCoreApplication::translate("CNetworkDlg", "%1～%2 (%3)").arg(s.start).arg(s.Last()).arg(s.size);
}

// The nodes a finding is the fault of: a table's findings belong to the node whose table it is.
std::vector<int> NodesAtFault(const NetworkFinding& f) {
    if (f.nodes.empty()) return {};
    if (f.kind == CNetworkCheck::kMismatch || f.kind == CNetworkCheck::kUnknownNode ||
        f.kind == CNetworkCheck::kNotReceived)
        return {f.nodes.front()};
    return f.nodes;
}

QString ResultText(const NetworkNodeResult& r, NetworkOperation operation) {
    switch (r.outcome) {
    case NodeOutcome::Pending: return QCoreApplication::translate("CNetworkDlg", "待機中");
    case NodeOutcome::Running:
        return r.chunksTotal > 0
                   ? QCoreApplication::translate("CNetworkDlg", "実行中 %1/%2").arg(r.chunksDone).arg(r.chunksTotal)
                   : QCoreApplication::translate("CNetworkDlg", "実行中");
    case NodeOutcome::Done:
        if (operation == NetworkOperation::Verify) return QCoreApplication::translate("CNetworkDlg", "照合一致");
        if (operation == NetworkOperation::Read)
            return QCoreApplication::translate("CNetworkDlg", "完了: ") + U(r.outFile);
        return QCoreApplication::translate("CNetworkDlg", "完了");
    case NodeOutcome::Differences:
        return QCoreApplication::translate("CNetworkDlg", "照合不一致 (%1項目)").arg(static_cast<qulonglong>(r.rows.size()));
    case NodeOutcome::Failed: {
        QString text = QCoreApplication::translate("CNetworkDlg", "失敗: ") + U(r.text);
        if (!r.code.empty()) text += QStringLiteral(" (") + U(r.code) + QStringLiteral(")");
        return text;
    }
    case NodeOutcome::Cancelled: return QCoreApplication::translate("CNetworkDlg", "中止");
    }
    return QString();
}

QColor ResultColour(NodeOutcome outcome) {
    switch (outcome) {
    case NodeOutcome::Done: return kCleanColour;
    case NodeOutcome::Differences: return kWarningColour;
    case NodeOutcome::Failed: return kErrorColour;
    default: return QColor(Qt::white);
    }
}

QPushButton* Button(const char* text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(QCoreApplication::translate("CNetworkDlg", text), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& l : lines) all += (all.empty() ? "" : "\n") + l;
    return all;
}

}  // namespace

CNetworkDlg::CNetworkDlg(IPrompter& prompter, QWidget* parent) : QDialog(parent), m_prompter(prompter) {
    setObjectName("networkWindow");
    setWindowTitle(tr("ﾈｯﾄﾜｰｸ"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setModal(false);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_title = new QLabel(this);
    m_title->setObjectName("networkName");
    m_title->setTextFormat(Qt::PlainText);
    m_open = Button(QT_TRANSLATE_NOOP("CNetworkDlg", "開く(&O)..."), "openNetworkButton", this);
    top->addWidget(m_title, 1);
    top->addWidget(m_open);
    layout->addLayout(top);

    auto* buttons = new QHBoxLayout;
    m_check = Button(QT_TRANSLATE_NOOP("CNetworkDlg", "ﾁｪｯｸ(&C)"), "checkButton", this);
    m_sync = Button(QT_TRANSLATE_NOOP("CNetworkDlg", "同期(&S)"), "syncButton", this);
    m_readAll = Button(QT_TRANSLATE_NOOP("CNetworkDlg", "全ﾉｰﾄﾞ読出し(&R)"), "readAllButton", this);
    m_writeAll = Button(QT_TRANSLATE_NOOP("CNetworkDlg", "全ﾉｰﾄﾞ書込み(&W)"), "writeAllButton", this);
    m_verifyAll = Button(QT_TRANSLATE_NOOP("CNetworkDlg", "全ﾉｰﾄﾞ照合(&V)"), "verifyAllButton", this);
    m_cancel = Button(QT_TRANSLATE_NOOP("CNetworkDlg", "中止"), "cancelButton", this);
    m_monitorButton = Button(QT_TRANSLATE_NOOP("CNetworkDlg", "ﾓﾆﾀ"), "monitorButton", this);
    for (QPushButton* b : {m_check, m_sync, m_readAll, m_writeAll, m_verifyAll, m_monitorButton}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    m_nodes = new QTableWidget(0, 7, this);
    m_nodes->setObjectName("nodeList");
    m_nodes->setHorizontalHeaderLabels({tr("ﾉｰﾄﾞ番号"), tr("ﾉｰﾄﾞ名"),
                                        tr("ﾌｧｲﾙ"), tr("送信 領域1"),
                                        tr("送信 領域2"), tr("ﾁｪｯｸ"),
                                        tr("結果")});
    m_nodes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_nodes->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_nodes->setSelectionMode(QAbstractItemView::SingleSelection);
    m_nodes->verticalHeader()->hide();
    m_nodes->horizontalHeader()->setStretchLastSection(true);
    m_nodes->setToolTip(tr("ﾀﾞﾌﾞﾙｸﾘｯｸでﾉｰﾄﾞの設定ﾌｧｲﾙを開きます"));
    // The picture takes the height its lanes need; the node list takes the rest.
    m_map = new CCommonMemoryMapWidget(this);
    m_findingList = new QListWidget(this);
    m_findingList->setObjectName("findingList");
    m_findingList->setMaximumHeight(110);
    layout->addWidget(m_nodes, 1);
    layout->addWidget(m_map);
    layout->addWidget(m_findingList);

    auto* bottom = new QHBoxLayout;
    m_status = new QLabel(this);
    m_status->setObjectName("networkStatus");
    m_status->setTextFormat(Qt::PlainText);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName("networkProgress");
    m_progress->setFormat("%v/%m");
    m_progress->setMaximumWidth(200);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_progress);
    layout->addLayout(bottom);

    connect(m_open, &QPushButton::clicked, this, [this] { OpenChosen(); });
    connect(m_check, &QPushButton::clicked, this, [this] { Check(); });
    connect(m_sync, &QPushButton::clicked, this, [this] { Sync(); });
    connect(m_readAll, &QPushButton::clicked, this, [this] { Start(NetworkOperation::Read); });
    connect(m_writeAll, &QPushButton::clicked, this, [this] { Start(NetworkOperation::Write); });
    connect(m_verifyAll, &QPushButton::clicked, this, [this] { Start(NetworkOperation::Verify); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(m_monitorButton, &QPushButton::clicked, this, [this] { OpenMonitor(); });
    connect(m_nodes, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { OnNodeActivated(row); });
    m_map->onNodeClicked = [this](int node) { SelectNode(node); };

    resize(900, 700);
    UpdateButtons();
}

CNetworkDlg::~CNetworkDlg() {
    if (!m_worker.joinable()) return;
    // The worker's reports and questions come through the event queue: keep it moving (they are
    // answered Cancel now) until the worker has ended.
    m_closing = true;
    if (m_operations) m_operations->Cancel();
    while (!m_workerDone) {
        QCoreApplication::sendPostedEvents(this);
        QThread::msleep(5);
    }
    QCoreApplication::sendPostedEvents(this);
    if (m_worker.joinable()) m_worker.join();
}

void CNetworkDlg::closeEvent(QCloseEvent* event) {
    // The units are still being worked on; stop them first.
    if (m_running) {
        Cancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool CNetworkDlg::OpenChosen() {
    if (m_running) return false;
    std::string path;
    if (chooseNetworkFile) {
        path = chooseNetworkFile();
    } else {
        const QString folder = m_path.empty() ? QString() : QFileInfo(U(m_path)).absolutePath();
        path = QFileDialog::getOpenFileName(this, tr("ﾈｯﾄﾜｰｸﾌｧｲﾙを開く"), folder,
                                            tr("ﾈｯﾄﾜｰｸﾌｧｲﾙ (*.toml);;すべてのﾌｧｲﾙ (*)"))
                   .toStdString();
    }
    if (path.empty()) return false;
    return Load(path);
}

bool CNetworkDlg::Load(const std::string& path) {
    if (m_running) return false;
    m_path = path;
    return Reload();
}

bool CNetworkDlg::Reload() {
    m_plan = std::make_unique<CNetworkPlan>();
    m_findings.clear();
    m_lastRun = NetworkRunResult();
    const bool ok = m_plan->Load(m_path);
    // A repeated node number is itself a finding; the nodes can still be shown.
    m_loaded = ok || m_plan->file.OnlyDuplicateErrors();
    if (m_loaded) m_findings = CNetworkCheck().Run(*m_plan);
    // The monitor watches the network as it is now (nodes added, moved or taken away).
    if (m_monitor && m_loaded) m_monitor->Watch(Units());
    ShowNetwork();
    if (!m_loaded) {
        std::vector<std::string> lines;
        for (const auto& p : m_plan->file.Problems())
            if (p.error) lines.push_back(m_plan->file.ProblemLine(p));
        m_prompter.Message(kNetworkFileUnusable, {Joined(lines)});
    }
    return m_loaded;
}

void CNetworkDlg::Check() {
    if (m_running || m_path.empty()) return;
    Reload();
}

void CNetworkDlg::ShowNetwork() {
    const QString name = m_loaded ? U(m_plan->file.name) : QString();
    setWindowTitle(name.isEmpty() ? tr("ﾈｯﾄﾜｰｸ") : tr("ﾈｯﾄﾜｰｸ - ") + name);
    m_title->setText(m_path.empty() ? QString() : (name.isEmpty() ? QString() : name + QStringLiteral("  ")) + U(m_path));

    m_nodes->setRowCount(m_loaded ? static_cast<int>(m_plan->nodes.size()) : 0);
    for (int row = 0; row < m_nodes->rowCount(); ++row) FillNodeRow(row);
    for (int column = 0; column < kResultColumn; ++column) m_nodes->resizeColumnToContents(column);
    m_nodes->resizeRowsToContents();

    m_findingList->clear();
    if (m_plan) {
        for (const auto& p : m_plan->file.Problems()) {
            auto* item = new QListWidgetItem((p.error ? QStringLiteral("error file: ") : QStringLiteral("warning file: ")) +
                                             U(m_plan->file.ProblemLine(p)));
            item->setBackground(p.error ? kErrorColour : kWarningColour);
            m_findingList->addItem(item);
        }
    }
    size_t errors = 0;
    for (const auto& f : m_findings) {
        errors += f.error ? 1 : 0;
        auto* item = new QListWidgetItem(U((f.error ? "error " : "warning ") + f.kind + ": " + f.text));
        item->setBackground(f.error ? kErrorColour : kWarningColour);
        item->setData(Qt::UserRole, f.nodes.empty() ? 0 : NodesAtFault(f).front());
        m_findingList->addItem(item);
    }
    m_map->SetNetwork(m_loaded ? m_plan.get() : nullptr, &m_findings);
    if (m_loaded)
        m_status->setText(tr("%1ﾉｰﾄﾞ  ｴﾗｰ %2  警告 %3")
                              .arg(static_cast<qulonglong>(m_plan->nodes.size()))
                              .arg(static_cast<qulonglong>(errors))
                              .arg(static_cast<qulonglong>(m_findings.size() - errors)));
    else
        m_status->setText(m_path.empty() ? QString() : tr("ﾈｯﾄﾜｰｸﾌｧｲﾙを読み込めません"));
    m_progress->setRange(0, std::max(1, m_nodes->rowCount()));
    m_progress->setValue(0);
    UpdateButtons();
}

void CNetworkDlg::FillNodeRow(int row) {
    const NetworkNode& n = m_plan->nodes[static_cast<size_t>(row)];
    int errors = 0, warnings = 0;
    QStringList why;
    for (const auto& f : m_findings) {
        const std::vector<int> at = NodesAtFault(f);
        if (std::find(at.begin(), at.end(), n.Number()) == at.end()) continue;
        (f.error ? errors : warnings) += 1;
        why << U(f.text);
    }
    const std::string name = n.NodeName();
    QString check;
    QColor colour = kCleanColour;
    if (errors) {
        check = tr("ｴﾗｰ %1").arg(errors);
        colour = kErrorColour;
    } else if (warnings) {
        check = tr("警告 %1").arg(warnings);
        colour = kWarningColour;
    } else {
        check = QStringLiteral("OK");
    }
    const QString texts[] = {QString::number(n.Number()), U(name), U(n.entry.file), SendText(n, 1), SendText(n, 2),
                             check, QString()};
    for (int column = 0; column < 7; ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        if (column == kCheckColumn) {
            item->setBackground(colour);
            item->setToolTip(why.join('\n'));
        }
        if (column == kFileColumn) item->setToolTip(U(n.entry.path));
        m_nodes->setItem(row, column, item);
    }
}

void CNetworkDlg::UpdateButtons() {
    const bool idle = !m_running;
    m_open->setEnabled(idle);
    m_check->setEnabled(idle && !m_path.empty());
    for (QPushButton* b : {m_sync, m_readAll, m_writeAll, m_verifyAll}) b->setEnabled(idle && m_loaded);
    m_cancel->setEnabled(m_running);
    m_monitorButton->setEnabled(m_loaded);
}

std::vector<MonitorTarget> CNetworkDlg::Units() const {
    std::vector<MonitorTarget> units = CMonitorTargets::FromPlan(*m_plan, operationOptions.timeoutMs);
    for (size_t i = 0; i < units.size(); ++i)
        CNetworkOperations::Route(m_plan->nodes[i], operationOptions, &units[i].device, &units[i].gateway);
    return units;
}

void CNetworkDlg::OpenMonitor() {
    if (!m_loaded) return;
    if (!m_monitor) {
        m_monitor = new CMonitorDlg(Units(), operationOptions.simulatedPeer, this);
        // Opened while a run is under way: its units wait for the run's end.
        if (m_running)
            for (const MonitorTarget& t : m_busyUnits) m_monitor->SetHostBusy(true, t);
    }
    m_monitor->show();
    m_monitor->raise();
    m_monitor->activateWindow();
}

void CNetworkDlg::SetUnitsBusy(bool busy) {
    // The monitors never have an exchange of their own under way on a PLC a node works on.
    if (m_monitor)
        for (const MonitorTarget& t : m_busyUnits) m_monitor->SetHostBusy(busy, t);
    if (onUnitsBusy) onUnitsBusy(busy, m_busyUnits);
}

void CNetworkDlg::SelectNode(int node) {
    if (!m_loaded) return;
    for (size_t i = 0; i < m_plan->nodes.size(); ++i) {
        if (m_plan->nodes[i].Number() != node) continue;
        m_nodes->selectRow(static_cast<int>(i));
        m_nodes->scrollToItem(m_nodes->item(static_cast<int>(i), 0));
        return;
    }
}

void CNetworkDlg::OnNodeActivated(int row) {
    if (!m_loaded || row < 0 || row >= static_cast<int>(m_plan->nodes.size()) || !openInEditor) return;
    openInEditor(m_plan->nodes[static_cast<size_t>(row)].entry.path);
}

void CNetworkDlg::Sync() {
    if (m_running || m_path.empty()) return;
    if (beforeFilesRewritten && m_plan) {
        std::vector<std::string> paths;
        for (const auto& n : m_plan->nodes) paths.push_back(n.entry.path);
        if (!beforeFilesRewritten(paths)) return;
    }
    // What the files hold now: a node may have been saved from the editor since.
    if (!Reload()) return;
    CNetworkSync sync(*m_plan);
    if (!sync.Prepare(false)) {
        m_prompter.Message(kSyncRefused, {Joined(sync.Refusals())});
        return;
    }
    if (sync.Changes().empty()) {
        m_prompter.Message(kSyncNothing);
        return;
    }
    if (m_prompter.Show(kSyncQuestion, {std::to_string(sync.Changes().size())}, PromptButtons::YesNo,
                        PromptIcon::Exclamation) != PromptAnswer::Yes)
        return;
    const bool written = sync.Write(CFileSystemOps::System());
    if (filesRewritten && !sync.Changed().empty()) filesRewritten(sync.Changed());
    std::string error;
    if (!written) {
        error = sync.Error();
        if (!sync.Changed().empty()) {
            error += "\n";
            for (const auto& f : sync.Changed()) error += "\n" + f;
        }
    }
    Reload();
    if (!written) m_prompter.Message(kSyncFailed, {error});
}

bool CNetworkDlg::Start(NetworkOperation operation) {
    if (m_running || m_path.empty()) return false;
    // The units get what the files hold now.
    if (!Reload()) return false;
    NetworkOperationOptions options = operationOptions;
    if (operation == NetworkOperation::Write) {
        if (!CNetworkOperations::WriteRefusals(*m_plan).empty()) {
            m_prompter.Message(kWriteRefused);
            return false;
        }
        if (m_prompter.Show(kWriteQuestion, {}, PromptButtons::YesNo, PromptIcon::Exclamation) != PromptAnswer::Yes)
            return false;
    }
    if (operation == NetworkOperation::Read) {
        std::string folder;
        if (chooseReadFolder)
            folder = chooseReadFolder();
        else
            folder = QFileDialog::getExistingDirectory(this, tr("読出し先のﾌｫﾙﾀﾞ"),
                                                       QFileInfo(U(m_path)).absolutePath())
                         .toStdString();
        if (folder.empty()) return false;
        options.outDir = folder;
    }
    // The worker's questions (the model-specific ones of a write) are asked here, one at a time.
    options.ask = [this](const NetworkNodeResult&, int id, const std::vector<std::string>& inserts,
                         PromptButtons buttons) {
        PromptAnswer answer = PromptAnswer::Cancel;
        if (m_closing) return answer;
        QMetaObject::invokeMethod(
            this,
            [&] {
                if (!m_closing) answer = m_prompter.Show(id, inserts, buttons, PromptIcon::Exclamation);
            },
            Qt::BlockingQueuedConnection);
        return answer;
    };

    m_operation = operation;
    m_lastRun = NetworkRunResult();
    m_outcomes.assign(static_cast<size_t>(m_nodes->rowCount()), NodeOutcome::Pending);
    for (int row = 0; row < m_nodes->rowCount(); ++row) {
        NetworkNodeResult pending;
        pending.index = static_cast<size_t>(row);
        ShowResult(pending);
    }
    m_progress->setRange(0, std::max(1, m_nodes->rowCount()));
    m_progress->setValue(0);
    m_status->setText(tr("実行中..."));
    m_operations = std::make_unique<CNetworkOperations>(*m_plan, options);
    m_busyUnits = Units();
    SetUnitsBusy(true);
    m_running = true;
    m_workerDone = false;
    UpdateButtons();
    m_worker = std::thread([this, operation] {
        NetworkRunResult result = m_operations->Run(operation, [this](const NetworkNodeResult& r) {
            if (m_closing) return;
            QMetaObject::invokeMethod(this, [this, r] { ShowResult(r); }, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                m_lastRun = result;
                Finished();
            },
            Qt::QueuedConnection);
        m_workerDone = true;
    });
    return true;
}

void CNetworkDlg::Cancel() {
    if (m_running && m_operations) m_operations->Cancel();
}

void CNetworkDlg::ShowResult(const NetworkNodeResult& r) {
    const int row = static_cast<int>(r.index);
    if (row < 0 || row >= m_nodes->rowCount()) return;
    auto* item = new QTableWidgetItem(ResultText(r, m_operation));
    item->setBackground(ResultColour(r.outcome));
    QStringList rows;
    for (const auto& d : r.rows)
        rows << U(d.item) + QString::fromUtf8(": PLC ") + U(d.plcText) + tr(" / ﾌｧｲﾙ ") + U(d.pcText);
    item->setToolTip(rows.join('\n'));
    m_nodes->setItem(row, kResultColumn, item);
    if (static_cast<size_t>(row) < m_outcomes.size()) m_outcomes[static_cast<size_t>(row)] = r.outcome;
    int ended = 0;
    for (NodeOutcome o : m_outcomes) ended += o != NodeOutcome::Pending && o != NodeOutcome::Running ? 1 : 0;
    m_progress->setValue(ended);
}

void CNetworkDlg::Finished() {
    if (m_worker.joinable()) m_worker.join();
    m_running = false;
    SetUnitsBusy(false);
    m_busyUnits.clear();
    if (m_closing) return;
    for (const auto& r : m_lastRun.nodes) ShowResult(r);
    QString summary = tr("完了 %1  不一致 %2  失敗 %3")
                          .arg(static_cast<qulonglong>(m_lastRun.Count(NodeOutcome::Done)))
                          .arg(static_cast<qulonglong>(m_lastRun.Count(NodeOutcome::Differences)))
                          .arg(static_cast<qulonglong>(m_lastRun.Count(NodeOutcome::Failed)));
    if (m_lastRun.cancelled)
        summary += tr("  中止 %1").arg(static_cast<qulonglong>(m_lastRun.Count(NodeOutcome::Cancelled)));
    m_status->setText(summary);
    m_operations.reset();
    UpdateButtons();
}
