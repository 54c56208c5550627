// The main window's start-up and its two ends, run offscreen in a temporary
// home directory with the user's answers scripted.
#include "FileHelpers.h"
#include "ProgramHarness.h"
#include "app/ShowAssembly.h"
#include "browser/Browser.h"
#include "download/ConnectionMonitor.h"
#include "download/FetchPrimitives.h"
#include "platform/Dialogs.h"
#include "platform/Timing.h"
#include "run/DownloadCycle.h"
#include "run/Scheduler.h"
#include "run/Supervisor.h"
#include "settings/Connection.h"
#include "settings/LanguageChoice.h"
#include "settings/SettingsFile.h"
#include "shell/FormPicture.h"
#include "shell/WorkFolders.h"
#include "show/StatusBar.h"
#include "ui/ConfigurationPanel.h"
#include "ui/Diagnostics.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

namespace {

const QByteArray kFirstRunSettings("15\r\n8\r\nFull_Screen\r\n\r\n\r\n");
const QByteArray kFirstRunSelection("0\r\n1\r\n1\r\n2\r\n2\r\n3\r\n3\r\n4\r\n\r\n\r\n");

// A home directory of its own, and a browser that writes down what it opens.
struct Home : TemporaryHome {
    QString browserLog;

    Home() {
        browserLog = path() + QStringLiteral("/browser.log");
        const QString script = path() + QStringLiteral("/browser.sh");
        QFile file(script);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\n").arg(browserLog).toUtf8());
        }
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
        qputenv("BROWSER", script.toLocal8Bit());
        qputenv("SKYGLANCE_SITE", "http://127.0.0.1:9");
    }
    QStringList opened() const {
        QDeadlineTimer deadline(5000);
        while (!QFile::exists(browserLog) && !deadline.hasExpired()) {
            QTest::qWait(20);
        }
        QTest::qWait(50); // let the script finish its line
        return QString::fromUtf8(readFile(browserLog)).split('\n', Qt::SkipEmptyParts);
    }
};

struct Window {
    platform::ScriptedDialogs dialogs;
    std::unique_ptr<FormPicture> form;
    // The person at the screen answers the start-up's questions (English, a
    // direct connection) whenever the clock gets that far.
    QTimer person;
    explicit Window(const QString& commandLine = {}) {
        FormPicture::Options options;
        options.commandLine = commandLine;
        options.screenPixels = QSize(1920, 1080);
        options.dialogs = &dialogs;
        form = ShowAssembly::build(options);
        QObject::connect(&person, &QTimer::timeout, [this] {
            if (form->Frame_Select_Language->isVisible()) {
                form->languageChoice().English_01->click();
            } else if (form->Frame_Select_Connection->isVisible()) {
                form->connection().No_Proxy->click();
                form->connection().Connection_Selected->click();
            }
        });
        person.start(10);
    }
};

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesFoldersAndFiles();
    void startValuesAndTimers();
    void emptySelectionStartsAsFirstStart();
    void commandLineOptions();
    void unusableWorkFolderEndsTheStart();
    void immediateExitWritesAndShowsNothing();
    void orderlyQuitWaitsForTheSlideTick();
    void orderlyQuitWithoutLanguageShowsNoMessage();
    void helpAndVersionNeedNoDisplay();
    void secondProgramOnTheSameHomeEnds();
    void rootIsToldWhatTheBrowserSandboxNeeds();
    void realBoxThatOnlyInformsClosesItself();
    void oldLoopsTakeTheBuiltInPlaceholderWhenItsFileIsMissing();
};

void TestStartUp::firstStartCreatesFoldersAndFiles() {
    Home home;
    Window w;
    QVERIFY(w.form->Form_Load());
    for (const char* folder :
         {"Skyglance7_Work", "Skyglance_SlideShow", "Skyglance_PHP", "Skyglance_Collections"}) {
        QVERIFY2(QFileInfo(home.path() + '/' + folder).isDir(), folder);
    }
    QCOMPARE(readFile(home.work("Skyglance7_Config.dat")), kFirstRunSettings);
    QCOMPARE(readFile(home.work("Skyglance7_Picture_List.dat")), kFirstRunSelection);
    QCOMPARE(w.form->state.WORK_PATH_FILE_LIST, home.path() + "/Skyglance7_Work/");
    QCOMPARE(w.form->state.imgFileBase, home.path() + "/Skyglance7_Work/Skyglance7_Img");
    QCOMPARE(QDir::currentPath(), home.path() + "/Skyglance_Collections");
    QVERIFY(w.dialogs.shown().isEmpty());
}

void TestStartUp::startValuesAndTimers() {
    Home home;
    Window w;
    FormPicture& f = *w.form;
    f.state.listURL[5] = "left over";
    Slide last = f.cycles().slides().at(1999);
    last.kind = 4;
    f.cycles().putSlide(last);
    QVERIFY(f.Form_Load());

    QVERIFY(f.generalClock.isActive());
    QVERIFY(!f.imgClock.isActive());
    QVERIFY(!f.utilityTmr.isActive());
    QVERIFY(!f.panControl.isActive());
    QVERIFY(!f.Timer4000.isActive());

    const RunState& s = f.state;
    const SlideList& slides = f.cycles().slides();
    for (int i = 0; i < 2000; ++i) {
        QVERIFY(s.listURL[i].isEmpty() && s.listData[i].isEmpty() &&
                s.listURLnameOnly[i].isEmpty() && s.listImageSELECTED[i].isEmpty() &&
                s.listOLDImageSELECTED[i].isEmpty());
        QVERIFY(slides.at(i).loaded && slides.at(i).kind == 0);
    }
    QCOMPARE(s.Lingua, int16_t(999));
    QCOMPARE(s.cntWaitCountdown, int16_t(10));
    QCOMPARE(slides.nextLoopNumber(), int16_t(1));
    QCOMPARE(s.aniGifPrefix, QStringLiteral("_ANIGIF_"));
    QVERIFY(f.fetch().replyArrived());
    QCOMPARE(s.flagSilent, kTrue);
    QCOMPARE(s.ExitToProgram, kFalse);
    QCOMPARE(s.WizardActive, kTrue);
    QCOMPARE(s.timerClockSave, int16_t(f.imgClock.interval()));
    QVERIFY(qAbs(s.Ratio_X_Y - 16.0F / 9.0F) < 1e-5F);
    QVERIFY(s.weAre.endsWith(" Ver. 7.8.12 "));
    QCOMPARE(f.statusBar().timerflag->property("BackColor").toUInt(), 255u);
    QCOMPARE(f.panel().SSTCfg->currentIndex(), 4);
    QCOMPARE(f.panel().SSTCfg_ExitProgram2->text(), QStringLiteral("Wait.."));
    QVERIFY(!f.panel().SSTCfg_cmdConferma->isEnabled() &&
            f.panel().SSTCfg_cmdConferma_BW->isEnabled());

    // The connection icon follows the system's state at the clock's ticks.
    QTRY_COMPARE(f.statusBar().connectStatus->property("connected").toBool(), connActive());

    // The panel sits left of the screen centre, the preview right of it.
    const QRect panel = platform::geometryTwips(f.panel().SSTCfg);
    QCOMPARE(panel.left(), 14400 - (7095 + 100));
    QCOMPARE(platform::geometryTwips(f.BrowserImgPreview).left(), 14400);
    QVERIFY(platform::geometryTwips(f.HelpCaller).left() > f.screenWidthTwips());
}

void TestStartUp::emptySelectionStartsAsFirstStart() {
    Home home;
    QDir(home.path()).mkdir("Skyglance7_Work");
    QFile settings(home.work("Skyglance7_Config.dat"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("60\r\n20\r\nNormal\r\n\r\n\r\n");
    settings.close();
    QFile selection(home.work("Skyglance7_Picture_List.dat"));
    QVERIFY(selection.open(QIODevice::WriteOnly));
    selection.write("\r\n\r\n");
    selection.close();

    Window w;
    QVERIFY(w.form->Form_Load());
    QCOMPARE(readFile(home.work("Skyglance7_Config.dat")), kFirstRunSettings);
    QCOMPARE(readFile(home.work("Skyglance7_Picture_List.dat")), kFirstRunSelection);
    QCOMPARE(w.form->panel().SSTCfg_timeDwLoad->text(), QStringLiteral("15"));
}

void TestStartUp::commandLineOptions() {
    Home home;
    Window w(QStringLiteral("-LOCALHOST-NOSILENT-DEBUG_CODE-------X"));
    QVERIFY(w.form->Form_Load());
    QVERIFY(w.form->localhostOption());
    QCOMPARE(w.form->state.flagSilent, int16_t(0));
    QCOMPARE(w.form->state.flagDebugCode, int16_t(1));
    QVERIFY(w.form->diagnostics().isOpen());
    QCOMPARE(w.dialogs.shownTexts(),
             QStringList{"Errore. troppi parametri nella linea di comando file EXE"});
    // The flag rows show what the parts keep: the defaults' full screen, no
    // unsaved settings until a change is marked.
    const auto flagShown = [&w](const QString& name) {
        w.form->diagnostics().refresh();
        const QTableWidget* rows = w.form->diagnostics().flagRows();
        for (int r = 0; r < rows->rowCount(); ++r) {
            if (rows->item(r, 0)->text() == name) {
                return rows->item(r, 1)->text();
            }
        }
        return QString();
    };
    QCOMPARE(flagShown("flagFullScreen"), QStringLiteral("1"));
    QCOMPARE(flagShown("flagConfigChanged"), QStringLiteral("0"));
    w.form->settings().markUnsaved();
    QCOMPARE(flagShown("flagConfigChanged"), QStringLiteral("1"));
    w.form->btTermina_Click();
    QVERIFY(!w.form->diagnostics().isOpen());
}

void TestStartUp::unusableWorkFolderEndsTheStart() {
    Home home;
    QFile blocker(home.path() + "/Skyglance7_Work");
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    Window w;
    QSignalSpy ended(w.form.get(), &FormPicture::programEnded);
    QVERIFY(!w.form->Form_Load());
    QCOMPARE(ended.count(), 1);
    QCOMPARE(w.dialogs.shown().size(), 1);
    QVERIFY(w.dialogs.shown().first().text.contains("Skyglance7_Work"));
    QVERIFY(!w.form->generalClock.isActive());
}

void TestStartUp::immediateExitWritesAndShowsNothing() {
    Home home;
    Window w;
    QVERIFY(w.form->Form_Load());
    QFile::remove(home.work("Skyglance7_Config.dat"));
    QFile::remove(home.work("Skyglance7_Picture_List.dat"));
    w.form->show();
    QSignalSpy ended(w.form.get(), &FormPicture::programEnded);

    w.form->statusBar().btTermina->click();
    QCOMPARE(ended.count(), 1);
    QCOMPARE(w.form->state.ExitToProgram, kTrue);
    QVERIFY(!w.form->generalClock.isActive());
    QVERIFY(!w.form->isVisible());
    QVERIFY(w.dialogs.shown().isEmpty());
    QVERIFY(!QFile::exists(home.work("Skyglance7_Config.dat")));
    QVERIFY(!QFile::exists(home.work("Skyglance7_Picture_List.dat")));
    QTest::qWait(200);
    QVERIFY(!QFile::exists(home.browserLog));
}

void TestStartUp::orderlyQuitWaitsForTheSlideTick() {
    Home home;
    Window w;
    FormPicture& f = *w.form;
    QVERIFY(f.Form_Load());
    f.generalClock.stop();
    f.state.Lingua = 2;
    f.panel().SSTCfg_timeRefresh->setText("12");
    QFile::remove(home.work("Skyglance7_Config.dat"));
    QSignalSpy ended(&f, &FormPicture::programEnded);

    f.cycles().beginSlideTick();
    f.SSTCfg_ExitProgram_Click();
    QCOMPARE(f.supervisor().pending(), Command::Quit);
    f.panControl.start();
    QTest::qWait(10 * f.panControl.interval());
    QCOMPARE(ended.count(), 0);
    QVERIFY(!QFile::exists(home.work("Skyglance7_Config.dat")));

    f.cycles().endSlideTick();
    QTRY_COMPARE(ended.count(), 1);
    QVERIFY(!f.panControl.isActive());
    QCOMPARE(f.statusBar().timerflag->property("BackColor").toUInt(), 255u);
    QCOMPARE(readFile(home.work("Skyglance7_Config.dat")),
             QByteArray("15\r\n12\r\nFull_Screen\r\n\r\n\r\n"));
    QVERIFY(QFile::exists(home.work("Skyglance7_Picture_List.dat")));
    QCOMPARE(w.dialogs.shown().size(), 1);
    QCOMPARE(w.dialogs.shown().first().text,
             QString::fromUtf8("Programma Terminato\r\nSi aprirà la pagina degli sponsor."));
    QCOMPARE(w.dialogs.shown().first().title, QStringLiteral("Skyglance"));
    QCOMPARE(home.opened(), QStringList{"http://127.0.0.1:9/public/rovuradidiviz.html"});
}

void TestStartUp::orderlyQuitWithoutLanguageShowsNoMessage() {
    Home home;
    Window w;
    QVERIFY(w.form->Form_Load());
    QCOMPARE(w.form->state.Lingua, int16_t(999));
    w.form->QuitProgram();
    QVERIFY(w.dialogs.shown().isEmpty());
    QCOMPARE(home.opened(), QStringList{"http://127.0.0.1:9/public/rovuradidiviz.html"});
    QCOMPARE(readFile(home.work("Skyglance7_Config.dat")), kFirstRunSettings);
}

void TestStartUp::helpAndVersionNeedNoDisplay() {
    if (!QFileInfo::exists(ProgramHarness::program())) {
        QSKIP("the program is not built");
    }
    const auto run = [](const QString& flag) {
        ProgramHarness program;
        // A platform that does not exist: making the QApplication would fail.
        program.setEnv(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
        program.start({flag});
        return program.endsCleanly() ? QString::fromUtf8(program.out()) : QString();
    };
    static const QRegularExpression version(QStringLiteral("^skyglance \\d+\\.\\d+\\.\\d+\n$"));
    for (const QString& flag : {QStringLiteral("--version"), QStringLiteral("-V")}) {
        QVERIFY2(version.match(run(flag)).hasMatch(), qPrintable(flag));
    }
    for (const QString& flag : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const QString help = run(flag);
        for (const char* word :
             {"DEBUG_CODE", "LOCALHOST", "NOSILENT", "SKYGLANCE_SITE", "SKYGLANCE_TIME_SCALE",
              "SKYGLANCE_SNAPSHOT", "SKYGLANCE_PRINT_SLIDES", "Skyglance7_Work"}) {
            QVERIFY2(help.contains(QLatin1String(word)), word);
        }
    }
}

void TestStartUp::secondProgramOnTheSameHomeEnds() {
    if (!QFileInfo::exists(ProgramHarness::program())) {
        QSKIP("the program is not built");
    }
    Home home;
    struct Run {
        int exitCode;
        QString error;
    };
    const auto run = [] {
        ProgramHarness program;
        // A platform that does not exist: a program that gets past the work
        // folder stops at its display instead of showing anything.
        program.setEnv(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
        program.start();
        program.waitForEnd();
        return Run{program.process().exitCode(), QString::fromLocal8Bit(program.err())};
    };
    {
        // This process holds the folder as a running program does.
        WorkFolderLock first;
        QCOMPARE(first.acquire(WorkFolderOfThisHome()), WorkFolderLock::Outcome::Held);
        const Run second = run();
        QCOMPARE(second.exitCode, 3);
        QVERIFY2(second.error.contains(
                     QStringLiteral("skyglance: the work folder %1/Skyglance7_Work is in use by "
                                    "another Skyglance (process %2); this one ends")
                         .arg(home.path())
                         .arg(QCoreApplication::applicationPid())),
                 qPrintable(second.error));
    }
    // The lock file stays behind naming its last holder, as after a crash;
    // with nobody holding it, the next program takes the folder.
    QVERIFY(QFileInfo(home.work("Skyglance7.lock")).size() > 0);
    const Run next = run();
    QVERIFY2(next.exitCode != 3 && !next.error.contains(QStringLiteral("in use")),
             qPrintable(next.error));
}

// The program leaves the engine's sandbox alone: as root, without the
// variable, the engine ends it, and standard error has said why and what to do.
void TestStartUp::rootIsToldWhatTheBrowserSandboxNeeds() {
    if (!QFileInfo::exists(ProgramHarness::program()) || ::geteuid() != 0) {
        QSKIP("needs the program, run as root");
    }
    Home home;
    const auto run = [](bool sandboxOff, const QString& platform) {
        ProgramHarness program;
        program.unsetEnv(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        if (sandboxOff) {
            program.setEnv(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        }
        program.setEnv(QStringLiteral("QT_QPA_PLATFORM"), platform);
        program.start();
        const bool ended = program.waitForEnd();
        const QString error = QString::fromLocal8Bit(program.err());
        return ended && program.process().exitCode() != 0 ? error : QStringLiteral("still running");
    };
    const QString withSandbox = run(false, QStringLiteral("offscreen"));
    QVERIFY2(withSandbox.contains(QStringLiteral(
                 "skyglance: warning: running as root, where the browser engine cannot start its "
                 "sandbox and ends the program.")),
             qPrintable(withSandbox));
    QVERIFY(
        withSandbox.contains(QStringLiteral("start the program with "
                                            "QTWEBENGINE_DISABLE_SANDBOX=1 in its environment")));
    // A display that does not exist ends the program once it is past the warning.
    const QString without = run(true, QStringLiteral("no-such-platform"));
    QVERIFY2(without.contains(QStringLiteral("running as root, with the browser sandbox off")),
             qPrintable(without));
}

// On a screen nobody watches, a box that only informs closes itself after
// the scaled minute; a question waits for its answer however long it takes.
void TestStartUp::realBoxThatOnlyInformsClosesItself() {
    using platform::Dialogs;
    struct Watch : Dialogs::Watcher {
        QStringList log;
        void boxWaiting(const Dialogs::Box& box) override { log << "waiting: " + box.text; }
        void boxGone(const Dialogs::Box& box, bool closedItself) override {
            log << (closedItself ? "closed itself: " : "answered: ") + box.text;
        }
    } watch;
    platform::QtDialogs dialogs;
    dialogs.setWatcher(&watch);
    const int minute = platform::scaledMs(platform::kUnansweredBoxMs);
    QElapsedTimer shown;
    shown.start();
    QCOMPARE(dialogs.message("ERROR! \nFile MISSING", "Skyglance"), Dialogs::Answer::Ok);
    // Not before its time (a coarse timer may fire 5 % early).
    QVERIFY(shown.elapsed() >= minute * 9 / 10);
    QCOMPARE(watch.log, (QStringList{"waiting: ERROR! \nFile MISSING",
                                     "closed itself: ERROR! \nFile MISSING"}));
    QCOMPARE(Dialogs::oneLine({"ERROR! \r\nFile MISSING \n\nProgram Quit", {}}),
             QStringLiteral("ERROR! / File MISSING / Program Quit"));

    watch.log.clear();
    QTimer::singleShot(2 * minute, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->button(QMessageBox::No)->click();
        }
    });
    QCOMPARE(
        dialogs.message("Delete?", "Skyglance", Dialogs::Icon::Question, Dialogs::Buttons::YesNo),
        Dialogs::Answer::No);
    QCOMPARE(watch.log, (QStringList{"waiting: Delete?", "answered: Delete?"}));
}

// An installation without the placeholder file beside the program goes on
// with the program's own copy, rather than ending at the next download.
void TestStartUp::oldLoopsTakeTheBuiltInPlaceholderWhenItsFileIsMissing() {
    Home home;
    Window w;
    QVERIFY(w.form->Form_Load());
    QTemporaryDir emptyProgramFolder;
    w.form->state.appPath = emptyProgramFolder.path();
    const QString loop = w.form->state.imgFileBase + w.form->state.aniGifPrefix + "1.gif";
    QFile file(loop);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("GIF89a an old loop");
    file.close();
    QSignalSpy ended(w.form.get(), &FormPicture::programEnded);
    QVERIFY(w.form->scheduler().ResetAniGifFiles());
    QFile builtIn(":/pictures/pic_not_available.gif");
    QVERIFY(builtIn.open(QIODevice::ReadOnly));
    QCOMPARE(readFile(loop), builtIn.readAll());
    QVERIFY(QFileInfo(loop).isWritable());
    QCOMPARE(ended.count(), 0);
    QVERIFY(w.dialogs.shown().isEmpty());
}

QTEST_MAIN(TestStartUp)
#include "test_startup.moc"
