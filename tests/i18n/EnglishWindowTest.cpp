// The program in English as a user sees it, offscreen: the main window with every page, every
// status view over the simulated unit, the monitor and the network window. No text may be left in
// Japanese and none may be cut off by its control; the language menu keeps the user's choice for
// the next start.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>
#include <QDir>
#include <functional>

#include "app/qt/LinkSmithDlg.h"
#include "comm/ProfileFile.h"
#include "model/Messages.h"
#include "monitor/qt/MonitorDlg.h"
#include "network/qt/NetworkDlg.h"
#include "sim/SimServer.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

constexpr int kStatusViews[] = {32786, 32787, 32788, 32789, 32790, 32791, 33044};

// Japanese script: kana (full and half width), kanji and the full-width forms.
bool HasJapanese(const QString& text) {
    for (QChar c : text) {
        const ushort u = c.unicode();
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF)) return true;
    }
    return false;
}

QString Shown(QString text) {
    text.remove(QRegularExpression("&(?=[^&])"));
    return text;
}

QString Where(const QWidget* w) {
    return w->objectName().isEmpty() ? QString(w->metaObject()->className()) : w->objectName();
}

// Every text of a window that is in Japanese or does not fit its control. The user's own data
// (the settings file's comment and node name) is in the edit fields and the status bar, not here.
QStringList Faults(QWidget& top) {
    QStringList faults;
    auto check = [&](const QWidget* w, const QString& text, int need, int have) {
        if (text.isEmpty() || !w->isVisible()) return;
        if (HasJapanese(text)) faults << Where(w) + " not translated: " + text;
        if (need > have) faults << QString("%1 cut off (%2 > %3): %4").arg(Where(w)).arg(need).arg(have).arg(text);
    };
    if (HasJapanese(top.windowTitle())) faults << "title not translated: " + top.windowTitle();
    for (QLabel* label : top.findChildren<QLabel*>()) {
        if (label->objectName() == "statusPane" || label->wordWrap() || !label->pixmap().isNull()) continue;
        const QString text = Shown(label->text());
        check(label, text, label->fontMetrics().horizontalAdvance(text), label->contentsRect().width());
    }
    for (QAbstractButton* button : top.findChildren<QAbstractButton*>()) {
        if (qobject_cast<QTabBar*>(button->parentWidget())) continue;  // the tab bar's scroll arrows
        // The size the style asks for holds the text with the box, the indicator and the margins.
        check(button, Shown(button->text()), button->sizeHint().width(), button->width());
    }
    for (QGroupBox* group : top.findChildren<QGroupBox*>()) {
        const QString text = Shown(group->title());
        check(group, text, group->fontMetrics().horizontalAdvance(text) + 16, group->width());
    }
    for (QTabBar* tabs : top.findChildren<QTabBar*>()) {
        int need = 0;
        for (int i = 0; i < tabs->count(); ++i) {
            const QString text = Shown(tabs->tabText(i));
            need += tabs->tabRect(i).width();
            if (HasJapanese(text)) faults << "tab not translated: " + text;
            if (tabs->fontMetrics().horizontalAdvance(text) > tabs->tabRect(i).width())
                faults << "tab cut off: " + text;
        }
        if (tabs->isVisible() && need > tabs->parentWidget()->width())
            faults << QString("tabs cut off (%1 > %2)").arg(need).arg(tabs->parentWidget()->width());
    }
    return faults;
}

QStringList MenuFaults(QMenuBar& bar) {
    QStringList faults;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        if (HasJapanese(menu->title())) faults << "menu not translated: " + menu->title();
        for (QAction* action : menu->actions()) {
            // Each language is named in itself in the language menu.
            if (action->objectName().startsWith("language_")) continue;
            if (action->menu()) walk(action->menu());
            else if (HasJapanese(action->text())) faults << "menu item not translated: " + action->text();
        }
    };
    for (QAction* action : bar.actions())
        if (action->menu()) walk(action->menu());
    return faults;
}

class EnglishWindowTest : public StartupFixture {
protected:
    void TearDown() override {
        // The next test starts from Japanese, as the program does by default.
        startup.reset();
        SetMessageLanguage("ja");
    }
    CLinkSmithDlg& Window() { return *startup->Window(); }
    void StartEnglishOverTheScenario() {
        ASSERT_TRUE(CProfileFile(Path("profile.ini"))
                        .WriteString("VLCProject", "PLCConfig", "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;NET:HWSP;TMO:200;"));
        ASSERT_TRUE(Start({"--lang", "en", "--scenario", LINKSMITH_EXAMPLES_DIR "/scenario-faults.txt",
                           LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm"}));
        Window().show();
        QApplication::processEvents();
    }
};

// The main window on each of its pages (the extension page switched on), its menus, and every
// status view the status menu opens over the simulated unit.
TEST_F(EnglishWindowTest, MainWindowAndEveryStatusViewInEnglishWithNothingCutOff) {
    StartEnglishOverTheScenario();
    EXPECT_EQ(Window().Action(32771)->text(), "&New");
    EXPECT_TRUE(MenuFaults(*Window().menuBar()).isEmpty()) << MenuFaults(*Window().menuBar()).join("\n").toStdString();

    Window().RunCommand(32792);  // the extension settings tab
    QTabWidget* tabs = Window().Tabs();
    ASSERT_EQ(tabs->count(), 4);
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QApplication::processEvents();
        SCOPED_TRACE(tabs->tabText(i).toStdString());
        const QStringList faults = Faults(Window());
        EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
    }
    EXPECT_FALSE(HasJapanese(Window().windowTitle())) << Window().windowTitle().toStdString();

    for (int command : kStatusViews) {
        SCOPED_TRACE(command);
        QStringList faults;
        bool seen = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* view = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!view || !view->isVisible()) return;
            QApplication::processEvents();
            if (!seen) faults = Faults(*view);
            seen = true;
            view->reject();
        });
        poll.start(20);
        Window().RunCommand(command);
        poll.stop();
        EXPECT_TRUE(seen);
        EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
        for (const auto& e : prompter.shown) ADD_FAILURE() << "message " << e.id << " " << MessageText(e.id);
    }
}

TEST_F(EnglishWindowTest, MonitorAndNetworkWindowsInEnglishWithNothingCutOff) {
    StartEnglishOverTheScenario();
    Window().OpenMonitor();
    ASSERT_NE(Window().Monitor(), nullptr);
    QTest::qWait(300);
    QStringList faults = Faults(*Window().Monitor());
    EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();

    Window().OpenNetwork(LINKSMITH_EXAMPLES_DIR "/network-line1/line1.toml");
    ASSERT_NE(Window().Network(), nullptr);
    QApplication::processEvents();
    faults = Faults(*Window().Network());
    EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
}

// The English window needs no more room than the Japanese one, so it fits the screens the
// Japanese one fits (every page laid out, the extension page too).
TEST_F(EnglishWindowTest, EnglishWindowFitsWhereTheJapaneseOneFits) {
    QSize needed[2];
    for (int l = 0; l < 2; ++l) {
        ASSERT_TRUE(Start({"--lang", l == 0 ? "ja" : "en", LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm"}));
        if (Window().Tabs()->count() == 3) Window().RunCommand(32792);
        ASSERT_EQ(Window().Tabs()->count(), 4);
        Window().show();
        QApplication::processEvents();
        needed[l] = Window().minimumSizeHint();
    }
    EXPECT_LE(needed[1].width(), needed[0].width());
    EXPECT_LE(needed[1].height(), needed[0].height());
}

// View > Language: the choice is kept beside the view state and the next start comes up in it;
// --lang still goes before it, and the locale counts only while nothing was chosen.
TEST_F(EnglishWindowTest, LanguageMenuChoiceHoldsFromTheNextStart) {
    ASSERT_TRUE(Start({}));
    EXPECT_EQ(Window().Action(32771)->text(), QString::fromUtf8("新規作成(&N)"));
    QAction* english = Window().findChild<QAction*>("language_en");
    QAction* japanese = Window().findChild<QAction*>("language_ja");
    ASSERT_NE(english, nullptr);
    ASSERT_NE(japanese, nullptr);
    EXPECT_EQ(english->text(), "English");
    EXPECT_EQ(japanese->text(), QString::fromUtf8("日本語"));
    EXPECT_TRUE(japanese->isChecked());
    english->trigger();
    ASSERT_EQ(ShownIds(), std::vector<int>{Msg::kLanguageAtNextStart});
    EXPECT_TRUE(english->isChecked());
    startup.reset();
    QSettings ini(dir.filePath("QUORVEX/LinkSmith.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Recent File List/LANGUAGE").toString(), "en");
    EXPECT_TRUE(ini.contains("Recent File List/VIEW_STATUS"));

    ASSERT_TRUE(Start({}));
    EXPECT_EQ(Window().Action(32771)->text(), "&New");
    EXPECT_TRUE(Window().findChild<QAction*>("language_en")->isChecked());
    EXPECT_EQ(Window().Tabs()->tabText(0), "System");

    ASSERT_TRUE(Start({"--lang", "ja"}));
    EXPECT_EQ(Window().Action(32771)->text(), QString::fromUtf8("新規作成(&N)"));

    // Back to Japanese from the menu; then the locale does not overrule that choice.
    prompter.shown.clear();
    Window().findChild<QAction*>("language_ja")->trigger();
    EXPECT_TRUE(prompter.shown.empty()) << "already the language in use: nothing to say";
    startup.reset();
    StartupOptions options = Options();
    options.locale.lang = "en_US.UTF-8";
    startup = std::make_unique<CLinkSmithStartup>(options);
    ASSERT_TRUE(startup->Start({}));
    EXPECT_EQ(Window().Action(32771)->text(), QString::fromUtf8("新規作成(&N)"));

    EXPECT_FALSE(Start({"--lang", "fr"})) << "a language the program lacks is refused";
}

// The Qt layer's translation files: every entry translated and none left over from a text the
// code no longer has; a mnemonic and the inserted values survive the translation.
TEST(TranslationFilesTest, EveryTsEntryIsFinishedAndKeepsItsMnemonicAndInserts) {
    const QDir folder(LINKSMITH_SOURCE_DIR "/translations");
    const QStringList files = folder.entryList({"linksmith_*.ts"});
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        int messages = 0;
        QString source;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            if (xml.name() == u"source") {
                source = xml.readElementText();
            } else if (xml.name() == u"translation") {
                const QString type = xml.attributes().value("type").toString();
                const QString text = xml.readElementText();
                ++messages;
                EXPECT_TRUE(type.isEmpty()) << type.toStdString() << ": " << source.toStdString();
                EXPECT_FALSE(text.isEmpty()) << "untranslated: " << source.toStdString();
                EXPECT_FALSE(HasJapanese(text) && !name.endsWith("_ja.ts")) << text.toStdString();
                EXPECT_EQ(source.contains(QRegularExpression("&[^&]")), text.contains(QRegularExpression("&[^&]")))
                    << "mnemonic: " << source.toStdString() << " -> " << text.toStdString();
                for (const char* insert : {"%1", "%2", "%3", "\t"})
                    EXPECT_EQ(source.count(insert), text.count(insert)) << source.toStdString() << " -> "
                                                                         << text.toStdString();
            }
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_GT(messages, 100);
    }
}

}  // namespace
