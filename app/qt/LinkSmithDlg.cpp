#include "app/qt/LinkSmithDlg.h"

#include <filesystem>
#include <system_error>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QMimeData>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/CommSettings.h"
#include "app/qt/AppSettingsStore.h"
#include "app/qt/CommSettingDlg.h"
#include "app/qt/InputBlocker.h"
#include "app/qt/HelpManual.h"
#include "app/qt/QtText.h"
#include "app/qt/SettingsFileDialogs.h"
#include "app/qt/Translator.h"
#include "app/qt/VerifyResultDlg.h"
#include "comm/CommuProcess.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Prompter.h"
#include "network/qt/NetworkDlg.h"
#include "pages/PageChecks.h"
#include "pages/qt/ExtensionPageWidget.h"
#include "pages/qt/LocalNodePageWidget.h"
#include "pages/qt/MappingTablePageWidget.h"
#include "pages/qt/PageWidgetTools.h"
#include "pages/qt/SystemSettingPageWidget.h"
#include "pages/qt/UnitAreaPanelWidget.h"
#include "monitor/qt/MonitorDlg.h"
#include "status/qt/CycleTimeDlg.h"
#include "status/qt/DataLinkStatusDlg.h"
#include "status/qt/ErrorHistoryDlg.h"
#include "status/qt/ErrorStatusDlg.h"
#include "status/qt/MessageSequenceDlg.h"
#include "status/qt/NetworkStatusDlg.h"
#include "status/qt/NodeStatusDlg.h"

namespace {

// Command ids of the menu and the toolbar.
enum Command {
    kNew = 32771, kOpen = 32773, kSave = 32774, kSaveAs = 32775, kOpenOldVersion = 32776, kExit = 1,
    kRecent1 = 32932, kClearAll = 32823, kCopyLine = 32824, kDeleteLine = 32825, kToolbar = 32780,
    kStatusBar = 32781, kTransferToPlc = 32782, kTransferFromPlc = 32783, kVerify = 32784,
    kCommSettings = 32785, kDataLinkStatus = 32786, kErrorStatus = 32787, kCycleTime = 32788,
    kMessageSequence = 32789, kErrorHistory = 32790, kNodeStatus = 32791, kNetworkStatus = 33044,
    kExtension = 32792, kDecimal = 32796, kHexadecimal = 32797, kHelp = 32794, kAbout = 32795,
    kToolNew = 32800, kToolOpen = 32801, kToolSave = 32802, kToolToPlc = 32804, kToolFromPlc = 32805,
    kToolVerify = 32806, kMonitor = 33101,
};

// Ours: the network window.
constexpr int kNetworkWindow = 33102;
constexpr int kSaveChangesQuestion = 32899;
constexpr int kHelpFileMissing = 33032;
constexpr int kTabSystem = 32808, kTabLocal = 32809, kTabMapping = 32810, kTabExtension = 32811;
// How long one turn of the wait may spend on repaints and timers before it looks at the reply again.
constexpr int kPumpMilliseconds = 20;

QString Text(int id) {
    return QString::fromUtf8(MessageText(id));
}

// The program icon, drawn from the SVG at whatever size the title bar, the task bar or a
// scaled screen asks for; the bitmap where Qt's SVG icon engine is not installed.
QIcon ProgramIcon() {
    QIcon svg(QStringLiteral(":/linksmith/linksmith.svg"));
    if (!svg.pixmap(QSize(64, 64)).isNull()) return svg;
    return QIcon(QStringLiteral(":/linksmith/linksmith.png"));
}

// The one settings file a drag carries: a local .lsm or .csv file; empty for anything else.
QString DroppedSettingsFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return QString();
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) return QString();
    const QString suffix = QFileInfo(url.toLocalFile()).suffix().toLower();
    return suffix == QLatin1String("lsm") || suffix == QLatin1String("csv") ? url.toLocalFile() : QString();
}

// A comment shown on one line of the status bar: each line break becomes one blank, nothing
// else changes.
QString OneLine(const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QChar('\r'), QChar(' '));
    line.replace(QChar('\n'), QChar(' '));
    return line;
}

// The unit the commands address, as the monitor reaches it.
MonitorTarget ConnectedUnit(const CCommuProcess& commu) {
    MonitorTarget t;
    t.label = "unit";
    t.device = commu.DirectDeviceString();
    t.gateway = commu.ConnectionType() == 1 ? commu.GatewayDeviceString() : std::string();
    t.unit = commu.m_unitNumber;
    return t;
}

}  // namespace

CLinkSmithDlg::CLinkSmithDlg(CLinkSmithApp& app, CUnitSettings& record, CCommuProcess& commu, IPrompter& prompter,
                             ISettingsFileDialogs* dialogs, CAppSettingsStore& store, bool simulated, QWidget* parent)
    : QMainWindow(parent),
      m_app(app),
      m_record(record),
      m_commu(commu),
      m_prompter(prompter),
      m_store(store),
      m_ownDialogs(dialogs ? nullptr : std::make_unique<CQtSettingsFileDialogs>(this)),
      m_settingsFile(record, prompter, &commu, dialogs ? dialogs : m_ownDialogs.get()) {
    setObjectName("mainWindow");
    setWindowIcon(ProgramIcon());
    m_record.launchUnitNumber = static_cast<uint32_t>(m_app.launch.unitNumber);
    m_record.ResetToDefaults();
    // The unit the status bar names is the unit every command addresses.
    m_commu.m_unitNumber = static_cast<uint16_t>(m_record.unitNumber);

    m_viewState = ParseViewStatus(m_store.ViewStatus().empty() ? "1 1 0 0" : m_store.ViewStatus());
    for (const std::string& path : m_store.RecentFiles()) m_recent.Append(path);

    BuildMenus();
    BuildToolbar();
    BuildStatusBar(simulated);
    BuildPages();
    ApplyViewState();
    RebuildRecentMenu();
    RefreshTitle();
    RefreshStatusText();
    UpdateEditMenu();
    // At first start as large as the settings need, but never larger than the screen (a laptop
    // at 200 % has 960 x 540 to offer).
    QSize first(960, 620);
    if (QScreen* screen = QGuiApplication::primaryScreen()) first = first.boundedTo(screen->availableGeometry().size());
    resize(first);
    RestorePlacement();
    AcceptDroppedFiles();
    m_commSettings = std::make_unique<CCommSettings>(m_commu, m_record, [this] { SetModified(); });
    m_commSettingDlg = new CCommSettingDlg(*m_commSettings, this);
    m_workflow = std::make_unique<CTransferWorkflow>(m_commu, m_record, m_prompter, *this,
                                                     [this] { return m_commu.m_verifyResult.Count(); });
    m_workflow->clearVerifyResult = [this] { m_commu.m_verifyResult.Clear(); };
    // While a command is awaited the windows repaint and timers run, but input waits: the user
    // cannot start a second exchange meanwhile.
    m_commu.SetPumpHook([] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, kPumpMilliseconds);
        return !QCoreApplication::closingDown();
    });
    m_app.modified = false;
}

bool CLinkSmithDlg::Start() {
    if (!m_commu.Initialize() || !m_commu.OpenProject()) return false;
    m_projectOpen = true;
    RefreshStatusText();
    const bool named = !m_app.documentFolder.empty() || !m_app.documentFileName.empty();
    if (!named || !LoadNamedFile(m_app.DocumentPath())) {
        // A file that could not be read (the message has been shown) leaves an untitled
        // document, so neither the title nor the save prompt names a file that is not open.
        ChooseDefaultDirectoryForNew();
        m_documentState = kNewDocument;
    }
    m_app.modified = false;
    return true;
}

void CLinkSmithDlg::BuildPages() {
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    m_tabs = new QTabWidget(central);
    m_tabs->setObjectName("settingsTabs");
    m_systemWidget = new CSystemSettingPageWidget(m_system, m_tabs);
    m_localWidget = new CLocalNodePageWidget(m_local, m_tabs);
    m_mappingWidget = new CMappingTablePageWidget(m_mapping, m_prompter, m_tabs);
    m_extensionWidget = new CExtensionPageWidget(m_extension, m_tabs);
    m_extensionWidget->hide();  // a tab only while the extension settings are on
    m_tabs->addTab(m_systemWidget, Text(kTabSystem));
    m_tabs->addTab(m_localWidget, Text(kTabLocal));
    m_tabs->addTab(m_mappingWidget, Text(kTabMapping));
    m_panelWidget = new CUnitAreaPanelWidget(m_panel, central);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_panelWidget);
    setCentralWidget(central);

    for (CPageBase* page : std::initializer_list<CPageBase*>{&m_panel, &m_system, &m_local, &m_mapping, &m_extension})
        page->onModified = [this] { SetModified(); };
    // The node list also shows on the system settings and extension pages.
    m_mappingWidget->onTableChanged = [this] {
        m_systemWidget->Refresh();
        m_extensionWidget->Refresh();
    };
    connect(m_tabs, &QTabWidget::currentChanged, this, &CLinkSmithDlg::OnTabChanged);

    m_panel.InitFromRecord(m_record, m_viewState.displayMode);
    m_system.InitFromRecord(m_record, m_viewState.displayMode);
    m_local.InitFromRecord(m_record, m_viewState.displayMode);
    m_mapping.InitFromRecord(m_record, m_viewState.displayMode);
    m_extension.InitFromRecord(m_record);
    RefreshPages();
}

void CLinkSmithDlg::RefreshPages() {
    m_panelWidget->Refresh();
    m_systemWidget->Refresh();
    m_localWidget->Refresh();
    m_mappingWidget->Refresh();
    m_extensionWidget->Refresh();
}

CLinkSmithDlg::~CLinkSmithDlg() {
    // Before the communication object goes: it may still be working on the units.
    delete m_network;
    m_network = nullptr;
    delete m_monitor;
    m_monitor = nullptr;
    delete m_commSettingDlg;
    m_commSettingDlg = nullptr;
    // Shutting down writes the connection entries to the profile. Entries never read from it (the
    // project did not open) would overwrite the ones kept there with empty texts.
    if (m_projectOpen) m_commu.Shutdown();
    m_store.SetViewStatus(FormatViewStatus(m_viewState));
    m_store.SetRecentFiles(m_recent.Paths());
    SavePlacement();
}

QAction* CLinkSmithDlg::Action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CLinkSmithDlg::BuildMenus() {
    auto add = [this](QMenu* menu, int id, const char* text, QKeySequence key = {}, bool checkable = false) {
        QString label = tr(text);
        label = label.left(label.indexOf('\t') < 0 ? label.size() : label.indexOf('\t'));
        QAction* action = menu->addAction(label);
        action->setObjectName(QString("action%1").arg(id));
        action->setData(id);
        action->setCheckable(checkable);
        if (!key.isEmpty()) {
            action->setShortcut(key);
            action->setShortcutContext(Qt::ApplicationShortcut);
        }
        connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
        m_actions[id] = action;
        return action;
    };
    QMenuBar* bar = menuBar();
    m_fileMenu = bar->addMenu(tr("ﾌｧｲﾙ(&F)"));
    add(m_fileMenu, kNew, QT_TR_NOOP("新規作成(&N)"), QKeySequence("Ctrl+N"));
    add(m_fileMenu, kOpen, QT_TR_NOOP("開く(&O)"), QKeySequence("Ctrl+O"));
    add(m_fileMenu, kSave, QT_TR_NOOP("上書き保存(&S)"), QKeySequence("Ctrl+S"));
    add(m_fileMenu, kSaveAs, QT_TR_NOOP("名前を付けて保存(&A)"));
    add(m_fileMenu, kOpenOldVersion, QT_TR_NOOP("旧ﾊﾞｰｼﾞｮﾝ設定ﾌｧｲﾙを開く(&P)"));
    m_fileMenu->addSeparator();
    add(m_fileMenu, kExit, QT_TR_NOOP("終了(&X)"));

    // The Edit items name their keys; the keys themselves belong to the mapping table page.
    QMenu* edit = bar->addMenu(tr("編集(&D)"));
    add(edit, kClearAll, QT_TR_NOOP("ｵｰﾙｸﾘｱ(&A)"))->setText(tr("ｵｰﾙｸﾘｱ(&A)\tCtrl+A"));
    add(edit, kCopyLine, QT_TR_NOOP("1行ｺﾋﾟｰ(&C)"))->setText(tr("1行ｺﾋﾟｰ(&C)\tCtrl+C"));
    add(edit, kDeleteLine, QT_TR_NOOP("削除(&D)"))->setText(tr("削除(&D)\tCtrl+D"));

    QMenu* view = bar->addMenu(tr("表示(&V)"));
    add(view, kToolbar, QT_TR_NOOP("ﾂｰﾙﾊﾞｰ(&T)"), {}, true);
    add(view, kStatusBar, QT_TR_NOOP("ｽﾃｰﾀｽﾊﾞｰ(&S)"), {}, true);
    // Each language under its own name; the choice is kept and holds from the next start.
    view->addSeparator();
    QMenu* languages = view->addMenu(tr("言語(&L)"));
    languages->setObjectName("languageMenu");
    auto* languageGroup = new QActionGroup(languages);
    for (const std::string& code : MessageLanguages()) {
        QAction* choice = languages->addAction(QString::fromStdString(CTranslator::LanguageName(code)));
        choice->setObjectName(QString::fromStdString("language_" + code));
        choice->setCheckable(true);
        choice->setChecked(code == MessageLanguage());
        languageGroup->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, code] {
            CTranslator::StoreLanguage(m_store.LinkSmithFile(), code);
            if (code != MessageLanguage())
                m_prompter.Show(Msg::kLanguageAtNextStart, {}, PromptButtons::Ok, PromptIcon::Information);
        });
    }

    QMenu* settings = bar->addMenu(tr("設定(&E)"));
    add(settings, kTransferToPlc, QT_TR_NOOP("転送[ﾊﾟｿｺﾝ→PLC] (&T)"), QKeySequence("Ctrl+T"));
    add(settings, kTransferFromPlc, QT_TR_NOOP("転送[PLC→ﾊﾟｿｺﾝ] (&F)"), QKeySequence("Ctrl+Shift+T"));
    add(settings, kVerify, QT_TR_NOOP("照合(&C)"));
    settings->addSeparator();
    add(settings, kCommSettings, QT_TR_NOOP("通信設定(&N)"));
    settings->addSeparator();
    add(settings, kNetworkWindow, QT_TR_NOOP("ﾈｯﾄﾜｰｸ(&W)..."));

    QMenu* status = bar->addMenu(tr("ｽﾃｰﾀｽ(&S)"));
    add(status, kDataLinkStatus, QT_TR_NOOP("ﾃﾞｰﾀﾘﾝｸｽﾃｰﾀｽ(&D)"));
    add(status, kNetworkStatus, QT_TR_NOOP("ﾈｯﾄﾜｰｸｽﾃｰﾀｽ(&T)"));
    add(status, kNodeStatus, QT_TR_NOOP("ﾉｰﾄﾞｽﾃｰﾀｽ(&N)"));
    add(status, kErrorStatus, QT_TR_NOOP("ｴﾗｰｽﾃｰﾀｽ(&E)"));
    add(status, kErrorHistory, QT_TR_NOOP("異常履歴(&R)"));
    add(status, kMessageSequence, QT_TR_NOOP("ﾒｯｾｰｼﾞ通番ｽﾃｰﾀｽ(&M)"));
    add(status, kCycleTime, QT_TR_NOOP("通信ｻｲｸﾙﾀｲﾑ(&C)"));
    status->addSeparator();
    add(status, kMonitor, QT_TR_NOOP("ﾗｲﾌﾞﾓﾆﾀ(&L)"));

    QMenu* options = bar->addMenu(tr("ｵﾌﾟｼｮﾝ(&O)"));
    add(options, kExtension, QT_TR_NOOP("拡張設定(&E)"), {}, true);
    QMenu* radix = options->addMenu(tr("表示切替(&S)"));
    add(radix, kDecimal, QT_TR_NOOP("10進表示(&D)"), {}, true);
    add(radix, kHexadecimal, QT_TR_NOOP("16進表示(&H)"), {}, true);

    QMenu* help = bar->addMenu(tr("ﾍﾙﾌﾟ(&H)"));
    add(help, kHelp, QT_TR_NOOP("目次(&N)"), QKeySequence(Qt::Key_F1));
    add(help, kAbout, QT_TR_NOOP("ﾊﾞｰｼﾞｮﾝ情報(&A)"));
}

void CLinkSmithDlg::BuildToolbar() {
    m_toolBar = addToolBar(tr("ﾂｰﾙﾊﾞｰ"));
    m_toolBar->setObjectName("toolBar");
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    auto button = [this](int id, int command, QStyle::StandardPixmap icon, const QString& tip) {
        QAction* action = m_toolBar->addAction(style()->standardIcon(icon), tip);
        action->setObjectName(QString("tool%1").arg(id));
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
        m_actions[id] = action;
    };
    button(kToolNew, kNew, QStyle::SP_FileIcon, Action(kNew)->text());
    button(kToolOpen, kOpen, QStyle::SP_DialogOpenButton, Action(kOpen)->text());
    button(kToolSave, kSave, QStyle::SP_DialogSaveButton, Action(kSave)->text());
    m_toolBar->addSeparator();
    button(kToolToPlc, kTransferToPlc, QStyle::SP_ArrowUp, Action(kTransferToPlc)->text());
    button(kToolFromPlc, kTransferFromPlc, QStyle::SP_ArrowDown, Action(kTransferFromPlc)->text());
    button(kToolVerify, kVerify, QStyle::SP_DialogApplyButton, Action(kVerify)->text());
}

void CLinkSmithDlg::BuildStatusBar(bool simulated) {
    m_statusPane = new QLabel(this);
    m_statusPane->setObjectName("statusPane");
    // The comment is the user's text: shown as typed, never read as markup.
    m_statusPane->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(m_statusPane, 1);
    m_chunkBar = new QProgressBar(this);
    m_chunkBar->setObjectName("chunkProgress");
    m_chunkBar->setFormat("%v/%m");
    m_chunkBar->setMaximumWidth(160);
    statusBar()->addWidget(m_chunkBar);
    m_chunkBar->hide();
    auto* second = new QLabel(this);
    second->setObjectName("statusPane2");
    statusBar()->addPermanentWidget(second);
    if (simulated) {
        // Ours: there must be no doubt that no real unit is being talked to.
        auto* sim = new QLabel(tr("模擬ユニット接続中 (simulated unit)"), this);
        sim->setObjectName("simulatedPane");
        sim->setStyleSheet("QLabel { background: #ffd24d; color: black; padding: 0 6px; font-weight: bold; }");
        statusBar()->addPermanentWidget(sim);
    }
}

void CLinkSmithDlg::ApplyViewState() {
    m_toolBar->setVisible(m_viewState.toolbarVisible != 0);
    statusBar()->setVisible(m_viewState.statusBarVisible != 0);
    Action(kToolbar)->setChecked(m_viewState.toolbarVisible != 0);
    Action(kStatusBar)->setChecked(m_viewState.statusBarVisible != 0);
    Action(kExtension)->setChecked(m_viewState.extensionOn != 0);
    Action(kDecimal)->setChecked(m_viewState.displayMode != 1);
    Action(kHexadecimal)->setChecked(m_viewState.displayMode == 1);
    m_record.extensionCheck = m_viewState.extensionOn ? 1 : 0;
    if (m_viewState.extensionOn && m_tabs->count() == kExtensionTab)
        m_tabs->addTab(m_extensionWidget, Text(kTabExtension));
}

void CLinkSmithDlg::RefreshTitle() {
    setWindowTitle(QString::fromStdString(FormatTitle(m_app.documentFileName)));
}

QString CLinkSmithDlg::StatusText() const {
    return m_statusPane->text();
}

void CLinkSmithDlg::RefreshStatusText() {
    m_statusPane->setText(QString::fromStdString(FormatStatusText(
        m_commu.GetNetworkAddress(), m_commu.GetNodeAddress(), m_record.unitNumber,
        OneLine(FromCp932(m_record.comment)).toStdString(), m_viewState.displayMode)));
    // The status bar names the unit the commands address: the monitor watches that one too
    // (the communication settings, a file's unit number or a new document changed it).
    if (m_monitor) m_monitor->Watch({ConnectedUnit(m_commu)});
}

void CLinkSmithDlg::RebuildRecentMenu() {
    for (int i = 0; i < CRecentFiles::kMaxFiles; ++i) {
        if (QAction* old = Action(kRecent1 + i)) {
            m_fileMenu->removeAction(old);
            old->deleteLater();
            m_actions.erase(kRecent1 + i);
        }
    }
    const auto& paths = m_recent.Paths();
    for (size_t i = 0; i < paths.size(); ++i) {
        const int id = kRecent1 + static_cast<int>(i);
        QAction* action = m_fileMenu->addAction(FromLocalPath(paths[i]));
        action->setObjectName(QString("action%1").arg(id));
        connect(action, &QAction::triggered, this, [this, i] { OnOpenRecent(static_cast<int>(i)); });
        m_actions[id] = action;
    }
}

void CLinkSmithDlg::AddRecentFile(const std::string& path) {
    if (path.empty()) return;
    m_recent.Add(path);
    RefreshTitle();
    RebuildRecentMenu();
}

void CLinkSmithDlg::RunCommand(int id) {
    switch (id) {
    case kNew: OnNew(); break;
    case kOpen: OnOpen(false); break;
    case kOpenOldVersion: OnOpen(true); break;
    case kSave: OnSave(false); break;
    case kSaveAs: OnSave(true); break;
    case kExit: close(); break;
    case kToolbar: ToggleToolbar(); break;
    case kStatusBar: ToggleStatusBar(); break;
    case kExtension: ToggleExtension(); break;
    case kDecimal: SetDisplayMode(0); break;
    case kHexadecimal: SetDisplayMode(1); break;
    case kHelp: OnHelp(); break;
    case kAbout: OnAbout(); break;
    case kCommSettings: OnCommSettings(); break;
    case kNetworkWindow: OpenNetwork(std::string()); break;
    case kMonitor: OpenMonitor(); break;
    case kTransferToPlc:
        if (!m_busy) m_workflow->OnTransferToPlc();
        break;
    case kTransferFromPlc:
        if (!m_busy) m_workflow->OnTransferFromPlc();
        break;
    case kVerify:
        if (!m_busy) m_workflow->OnVerify();
        break;
    case kDataLinkStatus:
        RunStatusView([this](QWidget* parent) {
            CDataLinkStatusDlg(m_record, m_prompter, [this] { return m_commu.ReadDataLinkStatus(); }, parent).exec();
        });
        break;
    case kNetworkStatus:
        RunStatusView([this](QWidget* parent) {
            CNetworkStatusDlg(m_record, m_prompter, [this] { return m_commu.ReadNetworkStatus(); }, parent).exec();
        });
        break;
    case kErrorStatus:
        RunStatusView([this](QWidget* parent) {
            CErrorStatusDlg(m_record, m_prompter, [this] { return m_commu.ReadErrorStatusWord(); }, parent).exec();
        });
        break;
    case kNodeStatus:
        RunStatusView([this](QWidget* parent) {
            CNodeStatusDlg(m_record, m_prompter, [this](int node) { return m_commu.ReadNodeInformation(node); },
                           parent).exec();
        });
        break;
    case kErrorHistory:
        RunStatusView([this](QWidget* parent) {
            CErrorHistoryDlg(m_record, m_prompter, [this] { return m_commu.ReadErrorHistory(); },
                             [this] { return m_commu.ClearErrorHistory(); }, parent).exec();
        });
        break;
    case kMessageSequence:
        RunStatusView([this](QWidget* parent) {
            // The communication object sends the view's parameter bytes, 1-4 and 0x11-0x14, itself.
            CMessageSequenceDlg(m_record, m_prompter,
                                [this](const auto&, const auto&) { return m_commu.ReadMessageSequence(); }, parent)
                .exec();
        });
        break;
    case kCycleTime:
        RunStatusView([this](QWidget* parent) {
            CCycleTimeDlg(m_record, m_prompter, [this] { return m_commu.ReadCycleTime(); }, parent).exec();
        });
        break;
    case kClearAll:
        if (m_currentTab == kMappingTab) m_mappingWidget->ClearAll();
        break;
    case kCopyLine:
        if (m_currentTab == kMappingTab) m_mappingWidget->CopyLine();
        break;
    case kDeleteLine:
        if (m_currentTab == kMappingTab) m_mappingWidget->DeleteLine();
        break;
    default:
        if (id >= kRecent1 && id < kRecent1 + CRecentFiles::kMaxFiles) OnOpenRecent(id - kRecent1);
        break;
    }
}

bool CLinkSmithDlg::SavePrompt() {
    if (!m_app.modified) return true;
    switch (m_prompter.Show(kSaveChangesQuestion, {m_app.DocumentPath()},
                            PromptButtons::YesNoCancel, PromptIcon::Exclamation)) {
    case PromptAnswer::Yes:
        OnSave(true);
        return !m_app.modified;
    case PromptAnswer::No: return true;
    default: return false;
    }
}

void CLinkSmithDlg::OnNew() {
    if (!SavePrompt()) return;
    m_commu.m_unitNumber = 0;
    m_app.launch.unitNumber = 0;
    m_record.launchUnitNumber = 0;
    m_record.ResetKeepingTarget();
    const int radix = m_viewState.displayMode;
    m_system.InitFromRecord(m_record, radix);
    m_local.InitFromRecord(m_record, radix);
    m_mapping.InitFromRecord(m_record, radix);
    m_extension.InitFromRecord(m_record);
    m_extension.ConvertRadix(radix);
    m_panel.InitFromRecord(m_record, radix);
    m_panelWidget->ShowUnitInfo(m_record.pc);
    RefreshPages();
    if (m_currentTab == kSystemTab) m_systemWidget->FirstField()->setFocus();
    m_documentState = kNewDocument;
    RefreshStatusText();
    m_app.modified = false;
    m_app.documentFileName = MessageText(Msg::kUntitled);
    RefreshTitle();
}

void CLinkSmithDlg::OnOpen(bool oldVersion) {
    if (!SavePrompt()) return;
    m_settingsFile.currentDirectory = m_app.documentFolder;
    if (!m_settingsFile.Load("", oldVersion)) return;
    AfterLoad(oldVersion ? kOldVersionFile : kSettingsFile);
}

void CLinkSmithDlg::OnOpenRecent(int index) {
    if (index < 0 || index >= static_cast<int>(m_recent.Paths().size())) return;
    if (!SavePrompt()) return;
    const std::string path = m_recent.Paths()[static_cast<size_t>(index)];
    if (!LoadNamedFile(path)) {
        // The file is gone or unreadable (the message has been shown): offer it no more.
        m_recent.Remove(path);
        RebuildRecentMenu();
    }
}

bool CLinkSmithDlg::LoadNamedFile(const std::string& path) {
    // An older-version file is told by its extension wherever a path is named (command line,
    // recent files, a drop, the network window): read as a settings file it would lose values
    // to keys it does not know, and a save would overwrite it.
    const bool oldVersion = IsOldVersionPath(path);
    if (!m_settingsFile.Load(path, oldVersion)) return false;
    AfterLoad(oldVersion ? kOldVersionFile : kSettingsFile);
    return true;
}

void CLinkSmithDlg::AfterLoad(DocumentState state) {
    m_documentState = state;
    m_app.documentFolder = m_settingsFile.currentDirectory;
    m_app.documentFileName = m_settingsFile.currentFileName;
    ReloadPagesFromRecord(state == kOldVersionFile);
}

void CLinkSmithDlg::ReloadPagesFromRecord(bool oldVersion) {
    // A file without a unit number line leaves the record at the launch unit number: the
    // commands follow the record either way.
    m_commu.m_unitNumber = static_cast<uint16_t>(m_record.unitNumber);
    const int radix = m_viewState.displayMode;
    m_panel.InitFromRecord(m_record, radix);
    m_panelWidget->ShowUnitInfo(m_record.pc);
    m_system.LoadValues(m_record.GetSystemSettings());
    m_local.LoadValues(m_record.GetLocalNodeArea());
    m_mapping.ClearAll();
    m_mapping.LoadValues(m_record.GetMappingTable());
    if (m_record.extensionCheck && !m_viewState.extensionOn) ToggleExtension();
    m_system.ShowWorkingCopy(radix);
    m_local.ShowWorkingCopy(radix);
    m_mapping.ShowWorkingCopy(radix);
    m_extension.LoadFromRecord(m_record);
    if (!oldVersion) {
        m_mapping.PublishRows();
        m_extension.ShowWorkingCopy(m_record, radix, 0);
    }
    m_extension.ConvertRadix(radix);
    AddRecentFile(m_app.DocumentPath());
    RefreshStatusText();
    RefreshPages();
    if (m_currentTab == kSystemTab) m_systemWidget->FirstField()->setFocus();
    m_app.modified = false;
}

void CLinkSmithDlg::LoadPagesFromRecord() {
    // Showing what was read is no edit of the user's: the document's modified flag stays.
    const bool modified = m_app.modified;
    const int radix = m_viewState.displayMode;
    m_system.LoadValues(m_record.GetSystemSettings());
    m_local.LoadValues(m_record.GetLocalNodeArea());
    m_mapping.ClearAll();
    m_mapping.LoadValues(m_record.GetMappingTable());
    m_system.ShowWorkingCopy(radix);
    m_local.ShowWorkingCopy(radix);
    m_mapping.ShowWorkingCopy(radix);
    m_mapping.PublishRows();
    m_extension.LoadFromRecord(m_record);
    m_extension.ShowWorkingCopy(m_record, radix, 0);
    m_panelWidget->ShowUnitInfo(m_record.pc);
    RefreshPages();
    if (m_currentTab == kSystemTab) m_systemWidget->FirstField()->setFocus();
    m_app.modified = modified;
}

bool CLinkSmithDlg::CheckAllPages(bool forSave) {
    for (CPageBase* page : std::initializer_list<CPageBase*>{&m_panel, &m_system, &m_local, &m_mapping})
        page->ClearFocus();
    PageSet pages{m_panel, m_system, m_local, m_mapping, m_viewState.extensionOn ? &m_extension : nullptr};
    const bool ok = ::CheckAllPages(pages, forSave, m_viewState.displayMode, m_scratch, m_prompter);
    if (!ok) ApplyPageFocus();
    return ok;
}

void CLinkSmithDlg::ApplyPageFocus() {
    // The refusing page comes to the front so its field can take the focus.
    if (m_panel.Focus().IsSet()) {
        m_panelWidget->ApplyFocus(m_panel.Focus());
    } else if (m_system.Focus().IsSet()) {
        ShowTab(kSystemTab);
        m_systemWidget->ApplyFocus(m_system.Focus());
    } else if (m_local.Focus().IsSet()) {
        ShowTab(kLocalTab);
        m_localWidget->ApplyFocus(m_local.Focus());
    } else if (m_mapping.Focus().IsSet()) {
        ShowTab(kMappingTab);
        m_mappingWidget->ApplyFocus(m_mapping.Focus());
    }
}

bool CLinkSmithDlg::CheckLocalOtherOverlap() {
    return ::CheckLocalOtherOverlap(m_local.Values(), m_mapping.WorkingCopy(), m_prompter);
}

void CLinkSmithDlg::StorePagesIntoRecord(bool withDataOrders) {
    m_panel.unitAreaWord = m_record.SetUnitArea(m_panel.WorkingCopy());
    m_record.pc.unitAreaWord = m_panel.unitAreaWord;
    SystemSettingsValues system = m_system.Values();
    system.faLinkNodeCount = static_cast<uint16_t>(m_mapping.Values().entryCount);
    m_record.SetSystemSettings(system);
    m_commu.m_mapMethod = m_record.pc.mappingTableMethod;
    m_local.StoreInto(m_record);
    m_mapping.StoreInto(m_record);
    if (withDataOrders) m_extension.StoreInto(m_record);
}

void CLinkSmithDlg::OnSave(bool saveAs) {
    if (saveAs) m_settingsFile.saveState = 1;
    if (!CheckAllPages(true)) return;
    StorePagesIntoRecord(m_viewState.extensionOn != 0);
    m_settingsFile.currentDirectory = m_app.documentFolder;
    const bool askPath = saveAs || m_documentState != kSettingsFile;
    if (!m_settingsFile.Save(askPath ? "" : m_app.DocumentPath())) return;
    m_app.documentFolder = m_settingsFile.currentDirectory;
    m_app.documentFileName = m_settingsFile.currentFileName;
    AddRecentFile(m_app.DocumentPath());
    RefreshStatusText();
    m_settingsFile.saveState = 2;
    m_documentState = kSettingsFile;
    m_app.modified = false;
}

void CLinkSmithDlg::ChooseDefaultDirectoryForNew() {
    const std::string documents =
        ToLocalPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    m_app.documentFolder = ChooseDefaultDirectory(m_recent, documents, m_store.FileSavePath());
    m_app.documentFileName = MessageText(Msg::kUntitled);
    RefreshTitle();
}

void CLinkSmithDlg::ToggleExtension() {
    if (!m_viewState.extensionOn) {
        m_viewState.extensionOn = 1;
        m_tabs->addTab(m_extensionWidget, Text(kTabExtension));
        m_record.extensionCheck = 1;
    } else {
        m_viewState.extensionOn = 0;
        const bool wasCurrent = m_currentTab == kExtensionTab;
        {
            const QSignalBlocker block(m_tabs);
            m_tabs->removeTab(kExtensionTab);
            m_extensionWidget->hide();
            if (wasCurrent) m_tabs->setCurrentIndex(kSystemTab);
        }
        if (wasCurrent) m_currentTab = kSystemTab;
        UpdateEditMenu();
        m_record.extensionCheck = 0;
    }
    Action(kExtension)->setChecked(m_viewState.extensionOn != 0);
}

void CLinkSmithDlg::ShowTab(int index) {
    const QSignalBlocker block(m_tabs);
    m_tabs->setCurrentIndex(index);
    m_currentTab = index;
    UpdateEditMenu();
}

void CLinkSmithDlg::OnTabChanged(int index) {
    const int radix = m_viewState.displayMode;
    bool accepted = true;
    switch (m_currentTab) {
    case kSystemTab: accepted = m_systemWidget->Validate(radix, m_prompter); break;
    case kLocalTab: accepted = m_localWidget->Validate(radix, m_prompter); break;
    case kMappingTab: accepted = m_mappingWidget->Validate(radix, m_prompter); break;
    case kExtensionTab:
        m_extension.StoreInto(m_record);
        m_extension.StoreInto(m_scratch);
        break;
    default: break;
    }
    if (!accepted) {
        // The page keeps the user where its message and focus point.
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(m_currentTab);
        return;
    }
    if (m_currentTab == kMappingTab) m_mapping.TakeOverPendingEdits();
    m_currentTab = index;
    RefreshPages();
    UpdateEditMenu();
}

void CLinkSmithDlg::UpdateEditMenu() {
    const bool mapping = m_currentTab == kMappingTab;
    for (int id : {kClearAll, kCopyLine, kDeleteLine}) Action(id)->setEnabled(mapping);
}

void CLinkSmithDlg::RunStatusView(const std::function<void(QWidget* parent)>& show) {
    if (m_busy || !m_commu.OpenPlc()) return;
    SetBusy(true);
    if (m_workflow->CheckUnitModel()) {
        // The view has its own buttons and cursor while the main window stays busy behind it.
        QApplication::restoreOverrideCursor();
        show(nullptr);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    m_commu.ClosePlc();
    SetBusy(false);
}

void CLinkSmithDlg::OpenMonitor() {
    if (!m_monitor)
        m_monitor = new CMonitorDlg({ConnectedUnit(m_commu)}, m_simulatedPeer, this);
    else
        m_monitor->Watch({ConnectedUnit(m_commu)});
    m_monitor->show();
    m_monitor->raise();
    m_monitor->activateWindow();
}

CNetworkDlg* CLinkSmithDlg::NetworkWindow() {
    if (!m_network) {
        m_network = new CNetworkDlg(m_prompter, this);
        m_network->openInEditor = [this](const std::string& path) { return OpenSettingsFile(path); };
        // A sync rewrites node files: the one open here is saved (or its changes dropped) first,
        // and shown as rewritten after, or a later save would put its old table back.
        m_network->beforeFilesRewritten = [this](const std::vector<std::string>& paths) {
            return !OpenDocumentIsOneOf(paths) || (!m_busy && SavePrompt());
        };
        m_network->filesRewritten = [this](const std::vector<std::string>& paths) {
            if (OpenDocumentIsOneOf(paths)) LoadNamedFile(m_app.DocumentPath());
        };
        // Its runs leave the monitor of the connected unit off that PLC while they use it.
        m_network->onUnitsBusy = [this](bool busy, const std::vector<MonitorTarget>& units) {
            if (m_monitor)
                for (const MonitorTarget& unit : units) m_monitor->SetHostBusy(busy, unit);
        };
    }
    return m_network;
}

void CLinkSmithDlg::OpenNetwork(const std::string& path) {
    CNetworkDlg* window = NetworkWindow();
    window->show();
    window->raise();
    window->activateWindow();
    if (!path.empty())
        window->Load(path);
    else if (!window->Loaded())
        window->OpenChosen();
}

bool CLinkSmithDlg::OpenDocumentIsOneOf(const std::vector<std::string>& paths) const {
    if (m_documentState == kNewDocument) return false;
    const std::filesystem::path open = std::filesystem::u8path(m_app.DocumentPath());
    for (const auto& p : paths) {
        std::error_code ec;
        if (std::filesystem::equivalent(open, std::filesystem::u8path(p), ec)) return true;
    }
    return false;
}

bool CLinkSmithDlg::OpenSettingsFile(const std::string& path) {
    if (m_busy || !SavePrompt() || !LoadNamedFile(path)) return false;
    raise();
    activateWindow();
    return true;
}

void CLinkSmithDlg::OnCommSettings() {
    if (m_commSettingDlg->Run()) RefreshStatusText();
}

void CLinkSmithDlg::SetDisplayMode(int mode) {
    Action(kDecimal)->setChecked(mode == 0);
    Action(kHexadecimal)->setChecked(mode == 1);
    if (mode == m_viewState.displayMode) return;
    m_viewState.displayMode = mode;
    m_panel.ConvertRadix(mode);
    m_system.ConvertRadix(mode);
    m_local.ConvertRadix(mode);
    m_mapping.ConvertRadix(mode);
    m_extension.ConvertRadix(mode);
    RefreshStatusText();
    RefreshPages();
}

void CLinkSmithDlg::SetBusy(bool busy) {
    if (busy == m_busy) return;
    // The monitor leaves the PLC to the transfer or status view, and waits for its own read first.
    if (m_monitor) m_monitor->SetHostBusy(busy, ConnectedUnit(m_commu));
    if (busy) {
        m_inputBlocker = std::make_unique<CInputBlocker>(*this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        m_chunkBar->hide();
        // Input held back during the waits reaches the window while it is still blocked, so a
        // click made meanwhile does not start a command afterwards.
        QCoreApplication::processEvents();
        m_inputBlocker.reset();
        QApplication::restoreOverrideCursor();
    }
    m_busy = busy;
}

void CLinkSmithDlg::SetChunkProgress(int done, int total) {
    if (total <= 0) {
        m_chunkBar->hide();
        return;
    }
    // A progress bar repaints itself at once on every value; the next paint is soon enough.
    m_chunkBar->setUpdatesEnabled(false);
    m_chunkBar->setRange(0, total);
    m_chunkBar->show();
    m_chunkBar->setValue(done);
    m_chunkBar->setUpdatesEnabled(true);
}

std::string CLinkSmithDlg::ProgressText() const {
    return m_statusPane->text().toStdString();
}

void CLinkSmithDlg::SetProgressText(const std::string& text) {
    // Painted at the next wait that lasts; a quick sequence is over before anyone could read it.
    m_statusPane->setText(QString::fromStdString(text));
}

void CLinkSmithDlg::PullControls() {
    // The edits write their page at every keystroke; only a table cell may still hold its text.
    m_mapping.TakeOverPendingEdits();
}

int CLinkSmithDlg::IpAddressMethodIndex() const {
    return m_system.ListSelection(CSystemSettingPage::kIpAddressMethod);
}

bool CLinkSmithDlg::AutomaticBaudRate() const {
    return m_system.BaudRate() != 0;
}

void CLinkSmithDlg::CopyNodeCountToSystemSettings() {
    m_system.SetNodeCount(m_mapping.Values().entryCount, m_viewState.displayMode);
}

void CLinkSmithDlg::ShowVerifyResult() {
    CVerifyResultDlg dialog(m_commu.m_verifyResult, this);
    dialog.exec();
}

QMenu* CLinkSmithDlg::createPopupMenu() {
    // The right-click menu over the bars offers the View menu's own items, so the bars, their
    // check marks and the saved view state stay one state whoever hides a bar.
    auto* menu = new QMenu(this);
    menu->addAction(Action(kToolbar));
    menu->addAction(Action(kStatusBar));
    return menu;
}

void CLinkSmithDlg::ToggleToolbar() {
    m_viewState.toolbarVisible = m_viewState.toolbarVisible ? 0 : 1;
    // The window grows by the bar so the settings keep their size.
    const int delta = m_toolBar->sizeHint().height();
    m_toolBar->setVisible(m_viewState.toolbarVisible != 0);
    resize(width(), height() + (m_viewState.toolbarVisible ? delta : -delta));
    Action(kToolbar)->setChecked(m_viewState.toolbarVisible != 0);
}

void CLinkSmithDlg::ToggleStatusBar() {
    m_viewState.statusBarVisible = m_viewState.statusBarVisible ? 0 : 1;
    const int delta = statusBar()->sizeHint().height();
    statusBar()->setVisible(m_viewState.statusBarVisible != 0);
    resize(width(), height() + (m_viewState.statusBarVisible ? delta : -delta));
    Action(kStatusBar)->setChecked(m_viewState.statusBarVisible != 0);
}

void CLinkSmithDlg::OnHelp() {
    // The manual in the language the window speaks, shown by the user's browser.
    const CHelpManual manual;
    const QString language = CHelpManual::Language();
    const QString page = manual.IndexPage(language);
    if (page.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        m_prompter.Message(kHelpFileMissing, {ToLocalPath(page.isEmpty() ? manual.ExpectedIndexPage(language) : page)},
                           PromptIcon::Information);
}

void CLinkSmithDlg::RestorePlacement() {
    const QStringList parts = QString::fromStdString(m_store.WindowPlacement()).split(' ', Qt::SkipEmptyParts);
    if (parts.size() < 4) return;
    int v[5] = {0, 0, 0, 0, 0};
    for (int i = 0; i < 5 && i < parts.size(); ++i) {
        bool ok = false;
        v[i] = parts[i].toInt(&ok);
        if (!ok) return;
    }
    QRect placed(v[0], v[1], v[2], v[3]);
    if (placed.width() < 100 || placed.height() < 100) return;
    // A screen unplugged since, or one smaller now: the window comes back whole on a screen there is.
    QScreen* screen = QGuiApplication::screenAt(placed.center());
    const bool onScreen = screen != nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        placed.setSize(placed.size().boundedTo(area.size()));
        if (!onScreen) placed.moveCenter(area.center());
        if (placed.right() > area.right()) placed.moveRight(area.right());
        if (placed.bottom() > area.bottom()) placed.moveBottom(area.bottom());
        if (placed.left() < area.left()) placed.moveLeft(area.left());
        if (placed.top() < area.top()) placed.moveTop(area.top());
    }
    setGeometry(placed);
    if (v[4] == 1) setWindowState(windowState() | Qt::WindowMaximized);
}

void CLinkSmithDlg::SavePlacement() {
    // A maximised window keeps the place it goes back to.
    const QRect r = isMaximized() ? normalGeometry() : geometry();
    m_store.SetWindowPlacement(QStringLiteral("%1 %2 %3 %4 %5")
                                   .arg(r.x())
                                   .arg(r.y())
                                   .arg(r.width())
                                   .arg(r.height())
                                   .arg(isMaximized() ? 1 : 0)
                                   .toStdString());
}

void CLinkSmithDlg::AcceptDroppedFiles() {
    setAcceptDrops(true);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void CLinkSmithDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!m_busy && !DroppedSettingsFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CLinkSmithDlg::dropEvent(QDropEvent* event) {
    const QString path = DroppedSettingsFile(event->mimeData());
    if (path.isEmpty() || m_busy) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // After the drop has finished: the save prompt and the messages are modal.
    const std::string local = ToLocalPath(path);
    QTimer::singleShot(0, this, [this, local] { OpenSettingsFile(local); });
}

bool CLinkSmithDlg::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedSettingsFile(drag->mimeData()).isEmpty()) break;
        if (m_busy)
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (DroppedSettingsFile(drop->mimeData()).isEmpty()) break;
        dropEvent(drop);
        return true;
    }
    default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CLinkSmithDlg::OnAbout() {
    QDialog about(this);
    about.setObjectName("aboutDialog");
    about.setWindowTitle(tr("LinkSmithのﾊﾞｰｼﾞｮﾝ情報"));
    auto* layout = new QVBoxLayout(&about);
    auto* icon = new QLabel(&about);
    icon->setObjectName("aboutIcon");
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    layout->addWidget(icon);
    layout->addWidget(new QLabel("LinkSmith Version 1.0", &about));
    layout->addWidget(new QLabel(tr("Copyright (C) 2026 LinkSmith 開発者一同"), &about));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
    connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
    layout->addWidget(buttons);
    about.exec();
}

void CLinkSmithDlg::closeEvent(QCloseEvent* event) {
    if (SavePrompt())
        event->accept();
    else
        event->ignore();
}

void CLinkSmithDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape belong to the focused control; they never close the window.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
