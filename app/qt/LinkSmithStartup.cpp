#include "app/qt/LinkSmithStartup.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <utility>

#include "app/qt/AppSettingsStore.h"
#include "app/qt/EntryEditorDlg.h"
#include "app/qt/LinkSmithDlg.h"
#include "app/qt/QtPrompter.h"
#include "app/qt/Translator.h"
#include "network/qt/NetworkDlg.h"
#include "comm/CommuProcess.h"
#include "comm/DeviceCatalog.h"
#include "sim/SimServer.h"
#include "status/qt/StatusDialog.h"
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
#include "sim/UnitSimulatorAdapter.h"
#endif

namespace {

const char kScenarioEquals[] = "--scenario=";
const char kNetworkEquals[] = "--network=";
const char kLangEquals[] = "--lang=";

QPixmap SplashPicture() {
    QPixmap picture(360, 160);
    picture.fill(QColor(0x1f, 0x4e, 0x79));
    QPainter painter(&picture);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(22);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, "LinkSmith\nFL-net unit settings");
    return picture;
}

IPrompter& ChoosePrompter(const StartupOptions& options, std::unique_ptr<CQtPrompter>& own) {
    if (options.prompter) return *options.prompter;
    own = std::make_unique<CQtPrompter>();
    return *own;
}

}  // namespace

CLinkSmithStartup::CLinkSmithStartup(StartupOptions options)
    : m_options(std::move(options)), m_prompter(ChoosePrompter(m_options, m_ownPrompter)) {
    m_store = std::make_unique<CAppSettingsStore>(m_options.configDir);
    // The main window sets how the waits pump events.
    m_commu = std::make_unique<CCommuProcess>(m_record, m_prompter, m_middleware);
    if (!m_options.profileFile.empty()) m_commu->SetProfileFile(m_options.profileFile);
}

bool CLinkSmithStartup::AddSimulatedUnit(const std::string& scenario) {
    std::string error;
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
    auto unit = std::make_unique<CUnitSimulatorAdapter>();
    // At the unit number of the open file or the launch file, the one the status bar shows.
    unit->FollowUnitNumber([this] { return static_cast<int>(m_record.unitNumber); });
    if (scenario.empty() || unit->LoadState(scenario, &error)) {
        m_simulator->AddPlc(0, 0, std::move(unit));
        return true;
    }
#else
    if (scenario.empty()) return true;
    error = "this build has no simulated unit";
#endif
    std::fprintf(stderr, "linksmith: scenario %s: %s\n", scenario.c_str(), error.c_str());
    return false;
}

CLinkSmithStartup::~CLinkSmithStartup() {
    // The window goes first: it writes the view state and shuts the middleware down.
    m_window.reset();
    m_splash.reset();
}

bool CLinkSmithStartup::Start(const std::vector<std::string>& arguments) {
    std::vector<std::string> args;
    std::string scenario;
    std::string network;
    std::string language;
    bool monitor = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--lang" || arg.rfind(kLangEquals, 0) == 0) {
            if (arg != "--lang")
                language = arg.substr(sizeof kLangEquals - 1);
            else if (i + 1 < arguments.size())
                language = arguments[++i];
            if (KnownLanguageOf(language) != language || language.empty()) {
                std::fprintf(stderr, "linksmith: --lang %s: the languages are ja and en\n", language.c_str());
                return false;
            }
        } else if (arg == "--monitor") {
            monitor = true;
        } else if (arg == "--simulate") {
            m_simulated = true;
        } else if (arg == "--network" || arg.rfind(kNetworkEquals, 0) == 0) {
            if (arg != "--network")
                network = arg.substr(sizeof kNetworkEquals - 1);
            else if (i + 1 < arguments.size())
                network = arguments[++i];
            if (network.empty()) {
                std::fputs("linksmith: --network needs a network file\n", stderr);
                return false;
            }
        } else if (arg == "--scenario" || arg.rfind(kScenarioEquals, 0) == 0) {
            if (arg != "--scenario")
                scenario = arg.substr(sizeof kScenarioEquals - 1);
            else if (i + 1 < arguments.size())
                scenario = arguments[++i];
            if (scenario.empty()) {
                std::fputs("linksmith: --scenario needs a file\n", stderr);
                return false;
            }
            m_simulated = true;
        } else {
            args.push_back(arg);
        }
    }
    // Before any window or message: every text from here on is in that language.
    const std::string stored = CTranslator::StoredLanguage(m_store->LinkSmithFile());
    CTranslator::Apply(ChooseLanguage(language, stored, m_options.locale));
    if (m_simulated) {
        m_simulator = std::make_unique<CSimServer>();
        // Before the launch file is read, which deletes it.
        if (!AddSimulatedUnit(scenario)) return false;
        m_middleware.SetSimulatedPeer(m_simulator.get());
        m_middleware.SetSimulateAll(true);
    }
    if (m_options.entryEditor) {
        m_middleware.SetEntryEditor(m_options.entryEditor);
    } else {
        m_middleware.SetEntryEditor([](const std::string& name, std::string* deviceString, std::string* comment) {
            return EditPlcEntry(QApplication::activeWindow(), name, deviceString, comment);
        });
    }

    auto writeValue = [this](const std::string& deviceString, const std::string& section, const std::string& key,
                             const std::string& value) {
        std::string edited = deviceString;
        m_middleware.WriteDeviceValue(&edited, section, key, value);
        return edited;
    };
    if (!m_app.Initialize(args, m_prompter, writeValue)) return false;

    if (m_options.splashMilliseconds > 0) {
        m_splash = std::make_unique<QSplashScreen>(SplashPicture());
        m_splash->show();
        QTimer::singleShot(m_options.splashMilliseconds, m_splash.get(), &QSplashScreen::close);
    }

    m_commu->SetLaunchConfiguration(m_app.launch.targetConfig, m_app.launch.relayConfig);
    m_commu->SetCatalogFile(CDeviceCatalog::InstalledPath());
    // Commands address the unit that the launch named, as the record and the status bar show it.
    m_commu->m_unitNumber = static_cast<uint16_t>(m_app.launch.unitNumber);
    m_window = std::make_unique<CLinkSmithDlg>(m_app, m_record, *m_commu, m_prompter, m_options.dialogs, *m_store,
                                               m_simulated);
    if (m_ownPrompter) m_ownPrompter->SetParent(m_window.get());
    m_window->SetSimulatedPeer(m_simulator.get());
    if (!m_window->Start()) return false;
    if (monitor) m_window->OpenMonitor();
    if (!network.empty()) m_window->OpenNetwork(network);
    return true;
}

int StatusViewCommand(const std::string& name) {
    static const std::pair<const char*, int> kViews[] = {
        {"datalink", 32786}, {"errorstatus", 32787}, {"cycletime", 32788}, {"sequence", 32789},
        {"history", 32790},  {"node", 32791},        {"network", 33044},
    };
    for (const auto& [viewName, command] : kViews)
        if (name == viewName) return command;
    return 0;
}

bool SaveStatusViewPicture(CLinkSmithDlg& window, int command, const QString& file) {
    bool seen = false;
    bool saved = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        if (!qobject_cast<CStatusDialog*>(dialog)) {
            // A message in the way (the unit did not answer): dismissed, so an unattended run ends.
            dialog->reject();
            return;
        }
        // One more turn of the loop first, so the view is laid out and painted.
        if (!seen) {
            seen = true;
            return;
        }
        saved = dialog->grab().save(file);
        dialog->reject();
    });
    poll.start(20);
    window.RunCommand(command);
    return saved;
}

QTranslator* InstallQtTranslations(QCoreApplication& application, const QString& folder) {
    const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_ja"), from) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

int RunLinkSmith(int argc, char** argv) {
    QElapsedTimer sinceEntry;
    sinceEntry.start();
    QApplication application(argc, argv);
    QApplication::setApplicationName("LinkSmith");

    const QString screenshot = qEnvironmentVariable("LINKSMITH_SCREENSHOT");
    const QString viewName = qEnvironmentVariable("LINKSMITH_SCREENSHOT_VIEW");
    const int viewCommand = StatusViewCommand(viewName.toStdString());
    if (!screenshot.isEmpty() && !viewName.isEmpty() && viewCommand == 0) {
        std::fprintf(stderr,
                     "linksmith: no status view %s (datalink, network, errorstatus, node, history, sequence, "
                     "cycletime)\n",
                     qPrintable(viewName));
        return 1;
    }

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    // The start-up installs the translations of the language chosen (Japanese unless --lang, the
    // menu's stored choice or the locale says otherwise); without Qt's own installed, the standard
    // buttons stay in English.
    StartupOptions options;
    options.locale = LocaleVariables::FromEnvironment();
    CLinkSmithStartup startup(options);
    if (!startup.Start(args)) return 1;
    CLinkSmithDlg& window = *startup.Window();
    window.show();

    // For the documentation: the window (or one status view) as a picture, once it has settled.
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(1000, &window, [&window, screenshot, viewCommand] {
            // With --network, the network window is the picture.
            QWidget* shown = &window;
            if (window.Network() && window.Network()->isVisible()) shown = window.Network();
            const bool saved = viewCommand != 0 ? SaveStatusViewPicture(window, viewCommand, screenshot)
                                                : shown->grab().save(screenshot);
            if (!saved) std::fprintf(stderr, "linksmith: no picture saved in %s\n", qPrintable(screenshot));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    // For the start-up measurement: the first turn of the event loop after the window is shown.
    if (qEnvironmentVariableIsSet("LINKSMITH_STARTUP_REPORT")) {
        QTimer::singleShot(0, &window, [&sinceEntry] {
            std::printf("linksmith: main window shown %.1f ms after start\n",
                        static_cast<double>(sinceEntry.nsecsElapsed()) / 1e6);
            std::fflush(stdout);
            QApplication::quit();
        });
    }
    return application.exec();
}
