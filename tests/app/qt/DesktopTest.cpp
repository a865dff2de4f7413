// What the desktop expects of the program: files dropped on the window, the window's place kept,
// the manual behind F1, the scalable icon, and a layout that still reads at 150 % and 200 %.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "app/qt/LinkSmithDlg.h"
#include "model/Messages.h"
#include "tests/app/qt/StartupFixture.h"

namespace {

// Stands in for the user's browser: remembers the pages it was asked to show.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

class DesktopTest : public StartupFixture {
protected:
    CLinkSmithDlg* w = nullptr;

    void Open(const std::vector<std::string>& args = {}) {
        ASSERT_TRUE(Start(args));
        w = startup->Window();
    }
    std::string Copy(const char* example, const std::string& name) {
        const std::string path = Path(name);
        std::filesystem::copy_file(std::string(LINKSMITH_EXAMPLES_DIR) + "/" + example, path,
                                   std::filesystem::copy_options::overwrite_existing);
        return path;
    }
    // A drag of the files over target and, when it is taken, the drop: what a file manager does.
    bool Drop(QWidget* target, const QStringList& files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& f : files) urls.append(QUrl::fromLocalFile(f));
        data.setUrls(urls);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted();
    }
    void TypeIntoNodeName(const QString& text) {
        auto* check = w->findChild<QAbstractButton*>("nodeNameCheck");
        auto* edit = w->findChild<QLineEdit*>("nodeNameEdit");
        ASSERT_TRUE(check && edit);
        QTest::keyClicks(edit, text);
    }
};

TEST_F(DesktopTest, AFileDroppedOnTheWindowOpensAsOpenDoes) {
    Open();
    const std::string lsm = Copy("plant-line1.lsm", "dropped.lsm");
    const std::string csv = Copy("plant-line1-old.csv", "older.csv");
    auto* field = w->findChild<QLineEdit*>("nodeNameEdit");
    ASSERT_NE(field, nullptr);

    // A changed document: the save prompt first; Cancel keeps everything as it was.
    TypeIntoNodeName("EDITED");
    prompter.answers = {PromptAnswer::Cancel};
    EXPECT_TRUE(Drop(field, {QString::fromStdString(lsm)}));
    ASSERT_EQ(ShownIds(), std::vector<int>{32899});
    EXPECT_EQ(w->Document(), CLinkSmithDlg::kNewDocument);
    EXPECT_EQ(field->text(), "EDITED") << "the path landed in the field as text";

    // No: the dropped file is open, as a settings file, and named in the title and recent list.
    prompter.shown.clear();
    prompter.answers = {PromptAnswer::No};
    EXPECT_TRUE(Drop(field, {QString::fromStdString(lsm)}));
    EXPECT_EQ(ShownIds(), std::vector<int>{32899});
    EXPECT_EQ(w->Document(), CLinkSmithDlg::kSettingsFile);
    EXPECT_TRUE(w->windowTitle().startsWith("dropped.lsm")) << w->windowTitle().toStdString();
    ASSERT_FALSE(w->Recent().Paths().empty());
    EXPECT_EQ(w->Recent().Paths().front(), lsm);
    EXPECT_NE(field->text().toStdString().find("dropped"), 0u);

    // A .csv, dropped on the tab control this time, is read as an older-version file: unchanged
    // document, so no question.
    prompter.shown.clear();
    EXPECT_TRUE(Drop(w->Tabs(), {QString::fromStdString(csv)}));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(w->Document(), CLinkSmithDlg::kOldVersionFile);
    EXPECT_TRUE(w->windowTitle().startsWith("older.csv"));

    // Anything else is not taken: another kind of file, two files at once, a web address.
    const std::string text = Path("notes.txt");
    std::ofstream(text) << "x";
    EXPECT_FALSE(Drop(field, {QString::fromStdString(text)}));
    EXPECT_FALSE(Drop(w, {QString::fromStdString(lsm), QString::fromStdString(csv)}));
    QMimeData web;
    web.setUrls({QUrl("https://example.com/a.lsm")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_EQ(w->Document(), CLinkSmithDlg::kOldVersionFile);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(DesktopTest, TheWindowComesBackWhereItWasAndAlwaysOnAScreen) {
    const QString iniPath = dir.filePath("QUORVEX/LinkSmith.ini");
    auto key = [&] { return QSettings(iniPath, QSettings::IniFormat).value("Recent File List/WINDOW_PLACEMENT"); };
    auto setKey = [&](const QString& value) {
        QSettings(iniPath, QSettings::IniFormat).setValue("Recent File List/WINDOW_PLACEMENT", value);
    };
    Open();
    const QSize firstStart = w->size();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed(available.x() + 30, available.y() + 20, 640, 480);
    w->setGeometry(placed);
    startup.reset();  // the program ends
    EXPECT_EQ(key().toString(), QString("%1 %2 640 480 0").arg(placed.x()).arg(placed.y()));
    EXPECT_TRUE(QSettings(iniPath, QSettings::IniFormat).contains("Recent File List/VIEW_STATUS"));

    Open();
    EXPECT_EQ(w->geometry(), placed);

    // Left on a screen that is gone, and larger than the screen there is: back whole on it.
    startup.reset();
    setKey(QString("%1 %2 %3 %4 0")
               .arg(available.right() + 4000)
               .arg(available.bottom() + 3000)
               .arg(available.width() + 500)
               .arg(available.height() + 400));
    Open();
    EXPECT_TRUE(available.contains(w->geometry())) << w->geometry().x() << "," << w->geometry().y() << " "
                                                   << w->geometry().width() << "x" << w->geometry().height();

    // Junk in the key leaves the window as a first start has it.
    startup.reset();
    setKey("12 x 400");
    Open();
    EXPECT_EQ(w->size(), firstStart);
}

TEST_F(DesktopTest, HelpAndF1OpenTheManualInTheLanguageOfTheWindow) {
    UrlRecorder browser;
    QDesktopServices::setUrlHandler("file", &browser, "Open");
    const QDir beside(QCoreApplication::applicationDirPath());
    QDir(beside.filePath("manual")).removeRecursively();
    Open();

    // No manual: the message that names where it was looked for, and no browser.
    w->RunCommand(32794);
    ASSERT_EQ(ShownIds(), std::vector<int>{33032});
    EXPECT_EQ(prompter.shown[0].icon, PromptIcon::Information);
    EXPECT_TRUE(QString::fromStdString(prompter.shown[0].inserts.at(0)).endsWith("manual/ja/index.html"));
    EXPECT_TRUE(browser.opened.isEmpty());

    // Beside the program: F1 anywhere in the window shows it in the language the window speaks;
    // a language without its manual gets the Japanese one.
    for (const char* lang : {"ja", "en"}) {
        beside.mkpath(QString("manual/%1").arg(lang));
        QFile page(beside.filePath(QString("manual/%1/index.html").arg(lang)));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html></html>");
    }
    prompter.shown.clear();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    w->findChild<QLineEdit*>("subnetMask1Edit")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    ASSERT_TRUE(SetMessageLanguage("en"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QFile::remove(beside.filePath("manual/en/index.html"));
    w->RunCommand(32794);
    SetMessageLanguage("ja");
    EXPECT_TRUE(prompter.shown.empty());
    ASSERT_EQ(browser.opened.size(), 3);
    const QString ja = QDir::cleanPath(beside.filePath("manual/ja/index.html"));
    EXPECT_EQ(browser.opened[0].toLocalFile(), ja);
    EXPECT_EQ(browser.opened[1].toLocalFile(), QDir::cleanPath(beside.filePath("manual/en/index.html")));
    EXPECT_EQ(browser.opened[2].toLocalFile(), ja);

    // Installed: under share/linksmith/manual beside the program's bin folder.
    QDir(beside.filePath("manual")).removeRecursively();
    beside.mkpath("../share/linksmith/manual/ja");
    QFile installed(beside.filePath("../share/linksmith/manual/ja/index.html"));
    ASSERT_TRUE(installed.open(QIODevice::WriteOnly));
    installed.close();
    w->RunCommand(32794);
    ASSERT_EQ(browser.opened.size(), 4);
    EXPECT_EQ(browser.opened[3].toLocalFile(), QDir::cleanPath(beside.filePath("../share/linksmith/manual/ja/index.html")));
    QDir(beside.filePath("../share")).removeRecursively();
    QDesktopServices::unsetUrlHandler("file");
}

TEST_F(DesktopTest, TheProgramIconIsSharpAtAnySize) {
    Open();
    // Drawn from the SVG: a large size is rendered, not the 64-pixel bitmap scaled up.
    const QPixmap large = w->windowIcon().pixmap(QSize(256, 256));
    EXPECT_EQ(large.size(), QSize(256, 256));
    const QImage image = large.toImage();
    EXPECT_NE(image.pixel(128, 128), image.pixel(0, 0)) << "an empty picture";
}

// Every text that labels something, with the width it has and the width it needs.
struct Cut {
    QString text;
    int has, needs;
};
std::vector<Cut> CutTexts(QWidget* top) {
    std::vector<Cut> cut;
    for (QLabel* label : top->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(top) || label->text().isEmpty() || label->wordWrap() || !label->pixmap().isNull())
            continue;
        const QFontMetrics metrics(label->font());
        int needs = 0;
        for (const QString& line : label->text().split('\n'))
            needs = std::max(needs, metrics.horizontalAdvance(QString(line).remove('&')));
        const int has = label->contentsRect().width();
        if (has < needs) cut.push_back({label->text(), has, needs});
    }
    for (QAbstractButton* button : top->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(top) || button->text().isEmpty()) continue;
        if (button->width() < button->minimumSizeHint().width())
            cut.push_back({button->text(), button->width(), button->minimumSizeHint().width()});
    }
    for (QLabel* label : top->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(top) || !label->wordWrap() || label->text().isEmpty()) continue;
        if (label->height() < label->heightForWidth(label->width()))
            cut.push_back({label->text(), label->height(), label->heightForWidth(label->width())});
    }
    return cut;
}

// Runs at whatever scale the process has: 100 % in the normal run, 150 % and 200 % when the test
// below runs this one again with QT_SCALE_FACTOR set.
TEST_F(DesktopTest, EveryLabelOfTheMainWindowShowsItsWholeText) {
    Open();
    w->RunCommand(32792);  // the extension tab too
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    // The window fits the screen, and nothing in it is squeezed.
    EXPECT_LE(w->geometry().width(), available.width()) << "needs " << w->minimumSizeHint().width();
    EXPECT_LE(w->geometry().height(), available.height()) << "needs " << w->minimumSizeHint().height();
    for (int tab = 0; tab < w->Tabs()->count(); ++tab) {
        w->Tabs()->setCurrentIndex(tab);
        ASSERT_EQ(w->CurrentTab(), tab);
        QCoreApplication::processEvents();
        for (const Cut& c : CutTexts(w))
            ADD_FAILURE() << "tab " << tab << " at scale " << qgetenv("QT_SCALE_FACTOR").constData() << ": \""
                          << c.text.toStdString() << "\" has " << c.has << " of " << c.needs;
    }
}

TEST(ScaledLayoutTest, TheMainWindowReadsAtOneAndAHalfAndTwiceTheScale) {
    // A full HD screen, as a laptop at these scales has.
    QTemporaryDir dir;
    QFile screens(dir.filePath("screens.json"));
    ASSERT_TRUE(screens.open(QIODevice::WriteOnly));
    screens.write(R"({"screens": [{"name": "hd", "x": 0, "y": 0, "width": 1920, "height": 1080,
                    "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    screens.close();
    for (const char* scale : {"1.5", "2"}) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_SCALE_FACTOR", scale);
        env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName());
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=DesktopTest.EveryLabelOfTheMainWindowShowsItsWholeText"});
        ASSERT_TRUE(child.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << "at " << scale << ":\n" << out.toStdString();
        EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
    }
}

}  // namespace

#include "DesktopTest.moc"
