#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>
#include <memory>

#include "app/LinkSmithApp.h"
#include "app/qt/AppSettingsStore.h"
#include "app/qt/EntryEditorDlg.h"
#include "app/qt/LinkSmithDlg.h"
#include "app/qt/QtPrompter.h"
#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
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

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("LinkSmith");

    // "--simulate" is ours; every other argument is the command line the suite passes.
    bool simulate = false;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--simulate")
            simulate = true;
        else
            args.push_back(argv[i]);
    }

    CQtPrompter prompter;
    CSystemClock clock;
    CLinkMiddleware middleware(clock);
    std::unique_ptr<CSimServer> simulator;
    if (simulate) {
        simulator = std::make_unique<CSimServer>();
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
        simulator->AddPlc(0, 0, std::make_unique<CUnitSimulatorAdapter>());
#endif
        middleware.SetSimulatedPeer(simulator.get());
        middleware.SetSimulateAll(true);
    }
    middleware.SetEntryEditor([](const std::string& name, std::string* deviceString, std::string* comment) {
        return EditPlcEntry(QApplication::activeWindow(), name, deviceString, comment);
    });

    CLinkSmithApp app;
    auto writeValue = [&middleware](const std::string& deviceString, const std::string& section,
                                    const std::string& key, const std::string& value) {
        std::string edited = deviceString;
        middleware.WriteDeviceValue(&edited, section, key, value);
        return edited;
    };
    if (!app.Initialize(args, prompter, writeValue)) return 1;

    QSplashScreen splash(SplashPicture());
    splash.show();
    QTimer::singleShot(750, &splash, &QSplashScreen::close);

    CUnitSettings record;
    CAppSettingsStore store;
    CCommuProcess commu(record, prompter, middleware, [] {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        return true;
    });
    commu.SetLaunchConfiguration(app.launch.targetConfig, app.launch.relayConfig);
    CLinkSmithDlg window(app, record, commu, prompter, nullptr, store, simulate);
    prompter.SetParent(&window);
    if (!window.Start()) return 1;
    window.show();
    // For the documentation: LINKSMITH_SCREENSHOT=file.png saves the window once it is up, then quits.
    const QString screenshot = qEnvironmentVariable("LINKSMITH_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(1000, &window, [&window, screenshot] {
            window.grab().save(screenshot);
            QApplication::quit();
        });
    }
    return application.exec();
}
