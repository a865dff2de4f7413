#pragma once
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "app/Language.h"
#include "app/LinkSmithApp.h"
#include "comm/Clock.h"
#include "comm/LinkMiddleware.h"
#include "model/UnitSettings.h"

class CAppSettingsStore;
class CCommuProcess;
class CLinkSmithDlg;
class CQtPrompter;
class CSimServer;
class IPrompter;
class ISettingsFileDialogs;
class QCoreApplication;
class QSplashScreen;
class QTranslator;

// What the start-up takes from outside; the program leaves every part empty, tests script them.
struct StartupOptions {
    IPrompter* prompter = nullptr;            // null: message boxes over the main window
    ISettingsFileDialogs* dialogs = nullptr;  // null: the window's own file and comment dialogs
    std::string configDir;                    // view state and recent files; empty: the user's config folder
    std::string profileFile;                  // the connection entries; empty: their usual place
    CLinkMiddleware::EntryEditor entryEditor;  // null: the entry editor dialog
    int splashMilliseconds = 750;             // 0: no splash at all
    LocaleVariables locale;                   // the user's locale; empty: Japanese unless chosen
};

// Everything the program builds before its event loop, in the order it is built: the command
// line and the launch file, the splash, the communication object and the started main window.
// The program and the tests start LinkSmith through this one class.
class CLinkSmithStartup {
public:
    explicit CLinkSmithStartup(StartupOptions options = {});
    ~CLinkSmithStartup();
    CLinkSmithStartup(const CLinkSmithStartup&) = delete;
    CLinkSmithStartup& operator=(const CLinkSmithStartup&) = delete;

    // args: the arguments after the program name; "--simulate", "--scenario FILE" (ours, the
    // latter implies the former) and "--lang ja|en" may stand anywhere. FILE is a simulator state file loaded
    // into the simulated unit and never written back.
    // False: the program ends (the reason has been shown, on stderr for our own options); the
    // window may then be null.
    bool Start(const std::vector<std::string>& args);

    bool Simulated() const { return m_simulated; }
    CLinkSmithApp& App() { return m_app; }
    CUnitSettings& Record() { return m_record; }
    CCommuProcess& Commu() { return *m_commu; }
    CLinkMiddleware& Middleware() { return m_middleware; }
    CLinkSmithDlg* Window() { return m_window.get(); }
    // The simulated unit's server (faults, counters); null without --simulate.
    CSimServer* Simulator() { return m_simulator.get(); }
    QSplashScreen* Splash() { return m_splash.get(); }

private:
    // The simulated unit, in the state of the scenario file when one is given; false: the
    // file could not be loaded (said on stderr).
    bool AddSimulatedUnit(const std::string& scenario);

    StartupOptions m_options;
    std::unique_ptr<CQtPrompter> m_ownPrompter;
    IPrompter& m_prompter;
    bool m_simulated = false;
    // The simulated unit outlives the middleware that points at it.
    std::unique_ptr<CSimServer> m_simulator;
    CSystemClock m_clock;
    CLinkMiddleware m_middleware{m_clock};
    CLinkSmithApp m_app;
    CUnitSettings m_record;
    std::unique_ptr<CAppSettingsStore> m_store;
    std::unique_ptr<CCommuProcess> m_commu;
    std::unique_ptr<QSplashScreen> m_splash;
    std::unique_ptr<CLinkSmithDlg> m_window;
};

// The status menu command of a view named for the screenshot ("datalink", "network",
// "errorstatus", "node", "history", "sequence", "cycletime"); 0 for any other name.
int StatusViewCommand(const std::string& name);
// Runs the status menu command and, once its view shows, saves a picture of it into file and
// closes it. False when the view did not show (the unit did not answer) or the save failed.
bool SaveStatusViewPicture(CLinkSmithDlg& window, int command, const QString& file);

// Qt's own Japanese texts (standard buttons, file dialogs) from folder, Qt's translations folder
// when empty. Null when they are not there; the texts then stay in English.
QTranslator* InstallQtTranslations(QCoreApplication& application, const QString& folder = QString());

// The whole program: QApplication, the start-up above, the window shown, the event loop.
// Returns the process exit code. LINKSMITH_SCREENSHOT=file.png saves the window once it is up
// and quits (with LINKSMITH_SCREENSHOT_VIEW=name, the status view of that name instead);
// LINKSMITH_STARTUP_REPORT=1 prints the time from entry to the window shown and quits.
int RunLinkSmith(int argc, char** argv);
