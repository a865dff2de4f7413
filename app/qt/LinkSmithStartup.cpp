#include "app/qt/LinkSmithStartup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>
#include <cstdio>

#include "app/qt/AppSettingsStore.h"
#include "app/qt/EntryEditorDlg.h"
#include "app/qt/LinkSmithDlg.h"
#include "app/qt/QtPrompter.h"
#include "comm/CommuProcess.h"
#include "comm/DeviceCatalog.h"
#include "sim/SimServer.h"
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
#include "sim/UnitSimulatorAdapter.h"
#endif

namespace {

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

CLinkSmithStartup::~CLinkSmithStartup() {
    // The window goes first: it writes the view state and shuts the middleware down.
    m_window.reset();
    m_splash.reset();
}

bool CLinkSmithStartup::Start(const std::vector<std::string>& arguments) {
    std::vector<std::string> args;
    for (const std::string& arg : arguments) {
        if (arg == "--simulate")
            m_simulated = true;
        else
            args.push_back(arg);
    }
    if (m_simulated) {
        m_simulator = std::make_unique<CSimServer>();
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
        m_simulator->AddPlc(0, 0, std::make_unique<CUnitSimulatorAdapter>());
#endif
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
    return m_window->Start();
}

int RunLinkSmith(int argc, char** argv) {
    QElapsedTimer sinceEntry;
    sinceEntry.start();
    QApplication application(argc, argv);
    QApplication::setApplicationName("LinkSmith");

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    CLinkSmithStartup startup;
    if (!startup.Start(args)) return 1;
    CLinkSmithDlg& window = *startup.Window();
    window.show();

    // For the documentation: the window as a picture, once it has settled.
    const QString screenshot = qEnvironmentVariable("LINKSMITH_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(1000, &window, [&window, screenshot] {
            window.grab().save(screenshot);
            QApplication::quit();
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
