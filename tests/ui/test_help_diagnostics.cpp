// Help pages, the document opener and remote assistance through a scripted
// shell; the own picture through scripted dialogs; the diagnostics windows
// against live run state.
#include "catalogue/OwnPictures.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "state/RunState.h"
#include "state/SlideList.h"
#include "ui/Diagnostics.h"
#include "ui/OnlineHelp.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {

// Records what the program asks the desktop to open or start.
class ScriptedShell : public platform::Shell {
public:
    QStringList opened;
    QStringList started;
    bool openWorks = true;
    bool startWorks = true;

    Result openUrl(const QString& address) override {
        opened << address;
        return {openWorks, openWorks ? QString() : QStringLiteral("no program opens it")};
    }
    Result startProgram(const QString& program, const QStringList&, const QString&) override {
        started << program;
        return {startWorks, startWorks ? QString() : QStringLiteral("permission denied")};
    }
};

const QString kRoot = QStringLiteral("http://vendor.test");

// The help pages under kRoot.
class VendorPages : public HelpPages {
public:
    QString helpPageAddress(const QString& path) const override { return kRoot + path; }
};
const VendorPages kPages{};

// The proxy the connection's controls hold, as the test sets it.
class ControlsProxy : public ProxySource {
public:
    platform::ProxySetting setting;
    platform::ProxySetting currentSetting() const override { return setting; }
};

class FlagsOfParts : public RunFlagSource {
public:
    RunFlags flags;
    RunFlags runFlags() const override { return flags; }
};

void makeProgram(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner));
}

QString cell(QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item != nullptr ? item->text() : QString();
}

// The value column of a name/value table.
QString valueOf(QTableWidget* table, const QString& name) {
    for (int r = 0; r < table->rowCount(); ++r) {
        if (cell(table, r, 0) == name) {
            return cell(table, r, 1);
        }
    }
    return QStringLiteral("<missing>");
}

} // namespace

class TestHelpDiagnostics : public QObject {
    Q_OBJECT
private slots:
    void helpPagesFollowSectionAndLanguage();
    void openerReportsErrorRecords();
    void remoteAssistanceFindsItsProgramOrSaysSo();
    void ownPictureSetCancelAndReset();
    void diagnosticsShowLiveValues();
};

void TestHelpDiagnostics::helpPagesFollowSectionAndLanguage() {
    RunState state;
    platform::ScriptedDialogs dialogs;
    ScriptedShell shell;
    OnlineHelp help(state, dialogs, shell, kPages);
    QLabel helpEsegui2, helpImg2, helpTime2, infoStatusBar2;
    help.attachHelpControls(nullptr, &helpEsegui2, nullptr, &helpImg2, nullptr, &helpTime2, nullptr,
                            &infoStatusBar2);

    const QStringList expected[4] = {
        {"/eng_help1.asp", "/eng_help3.asp", "/eng_help6.asp", "/eng_help1.asp"},
        {"/ita_help1.asp", "/ita_help3.asp", "/ita_help6.asp", "/ita_help1.asp"},
        {"/fra_help1.asp", "/fra_help3.asp", "/fra_help6.asp", "/fra_help1.asp"},
        {"/spa_help1.asp", "/spa_help1.asp", "/spa_help1.asp", "/spa_help1.asp"},
    };
    for (int lingua = 1; lingua <= 4; ++lingua) {
        state.Lingua = static_cast<int16_t>(lingua);
        shell.opened.clear();
        // The caption labels run their icons' handlers.
        for (QLabel* label : {&helpEsegui2, &helpImg2, &helpTime2, &infoStatusBar2}) {
            QTest::mouseClick(label, Qt::LeftButton);
        }
        QStringList want;
        for (const QString& path : expected[lingua - 1]) {
            want << kRoot + path;
        }
        QCOMPARE(shell.opened, want);
    }

    // No language chosen: nothing opens. The timer help still marks its boxes,
    // and a failing opener shows nothing.
    state.Lingua = kNoLanguage;
    shell.opened.clear();
    help.helpEsegui_Click();
    QVERIFY(shell.opened.isEmpty());
    QLineEdit txtDisplay, txtDisplay2, timeDwLoad, timeRefresh;
    help.setTimerBoxes({&txtDisplay, &txtDisplay2, &timeDwLoad, &timeRefresh});
    state.Lingua = 1;
    shell.openWorks = false;
    help.helpTime_Click();
    for (QLineEdit* box : {&txtDisplay, &txtDisplay2, &timeDwLoad, &timeRefresh}) {
        QCOMPARE(box->palette().color(QPalette::Base), QColor(125, 147, 230));
    }
    QVERIFY(dialogs.shown().isEmpty());
    QCOMPARE(help.opener().lastError().number, kShellErrorBase + 31);
}

void TestHelpDiagnostics::openerReportsErrorRecords() {
    QCOMPARE(ShellErrorFor(31, "Skyglance").number, -2147220425);
    QCOMPARE(ShellErrorFor(31, "Skyglance").description,
             QStringLiteral("No application is associated with this file type."));
    QCOMPARE(ShellErrorFor(31, "Skyglance").source, QStringLiteral("Skyglance.GShell"));
    QCOMPARE(ShellErrorFor(28, "x").number, 286);
    QCOMPARE(ShellErrorFor(28, "x").description,
             QStringLiteral("The file could not be opened due to time out.  Please try again in "
                            "a moment."));
    QCOMPARE(ShellErrorFor(0, "x").number, 7);
    QCOMPARE(ShellErrorFor(26, "x").number, 75);
    QCOMPARE(ShellErrorFor(15, "x").number, kShellErrorBase + 15);
    QCOMPARE(ShellErrorFor(15, "x").description,
             QStringLiteral("An error occurred occurred whilst trying to open or print the "
                            "selected file."));
    QVERIFY(ShellSucceeded(33) && ShellSucceeded(-1) && !ShellSucceeded(32) && !ShellSucceeded(0));

    // A document without parameters opens in a normal window whatever was
    // asked; a program given parameters runs hidden.
    QCOMPARE(ShellShowCommand("notes.txt", 3, {}, {}), kShowNormal);
    QCOMPARE(ShellShowCommand("c:\\tools\\setup.exe", 3, "-q", {}), kShowHidden);
    QCOMPARE(ShellShowCommand("notes.txt", 3, "-q", {}), 3);

    ScriptedShell shell;
    ShellOpener opener(shell, "Skyglance");
    QVERIFY(opener.ShellOpen(kRoot + "/eng_help1.asp", kShowDefault, {}, {}, "open"));
    shell.openWorks = false;
    QVERIFY(!opener.ShellOpen(kRoot + "/eng_help1.asp", kShowDefault, {}, {}, "open"));
    QCOMPARE(opener.lastError().number, -2147220425);
    QCOMPARE(opener.lastError().source, QStringLiteral("Skyglance.GShell"));

    QTemporaryDir dir;
    QVERIFY(!opener.ShellOpen(dir.filePath("missing.txt"), kShowDefault, {}, {}, "open"));
    QCOMPARE(opener.lastError().number, 53);
    QCOMPARE(opener.lastError().description, QStringLiteral("File not found"));
    QVERIFY(!opener.ShellOpen(dir.filePath("nowhere/missing.txt"), kShowDefault, {}, {}, "open"));
    QCOMPARE(opener.lastError().number, 76);

    const QString tool = dir.filePath("tool");
    makeProgram(tool);
    shell.started.clear();
    QVERIFY(opener.ShellOpen(tool, kShowDefault, "-a", dir.path(), "open"));
    QCOMPARE(shell.started, QStringList{tool});
}

void TestHelpDiagnostics::remoteAssistanceFindsItsProgramOrSaysSo() {
    QTemporaryDir appDir;
    QTemporaryDir emptyPath;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", emptyPath.path().toLocal8Bit());
    auto restorePath = qScopeGuard([&] { qputenv("PATH", oldPath); });

    RunState state;
    state.appPath = appDir.path();
    platform::ScriptedDialogs dialogs;
    ScriptedShell shell;
    QStringList wizardTexts;
    OnlineHelp help(state, dialogs, shell, kPages);
    QObject::connect(&help, &OnlineHelp::remoteHelpHovered,
                     [&wizardTexts](const QString& text, const QIcon&) { wizardTexts << text; });

    // Nowhere to be found: one orderly message in the user's language.
    state.Lingua = 2;
    help.RunTeamViewer_Click();
    QVERIFY(shell.started.isEmpty());
    QCOMPARE(dialogs.shownTexts(), QStringList{OnlineHelp::teamViewerMissingText(2)});
    QVERIFY(OnlineHelp::teamViewerMissingText(2) != OnlineHelp::teamViewerMissingText(1));
    QCOMPARE(dialogs.shown().first().icon, platform::Dialogs::Icon::Warning);

    // French takes the English notice and program.
    makeProgram(appDir.filePath("TeamViewerEng"));
    dialogs.clear();
    state.Lingua = 3;
    help.RunTeamViewer_Click();
    QCOMPARE(shell.started, QStringList{appDir.filePath("TeamViewerEng")});
    QCOMPARE(dialogs.shownTexts().size(), 1);
    QVERIFY(dialogs.shownTexts().first().startsWith(
        "You are incoming to run TeamViewer, a Remote Control software.\r\nIt is freeware fon "
        "no profit use. \r\n"));

    // Italian looks for its own file; the PATH serves when it is missing.
    makeProgram(emptyPath.filePath("teamviewer"));
    shell.started.clear();
    dialogs.clear();
    state.Lingua = 2;
    shell.startWorks = false;
    help.RunTeamViewer_Click();
    QCOMPARE(shell.started, QStringList{emptyPath.filePath("teamviewer")});
    QVERIFY(dialogs.shownTexts().first().startsWith("Stai per lanciare il software"));
    QCOMPARE(dialogs.shownTexts().last(),
             OnlineHelp::teamViewerFailedText(2, QStringLiteral("permission denied")));

    // The icon's help text only while the panel's help is on.
    state.WizardActive = kFalse;
    help.RunTeamViewer_MouseMove();
    QVERIFY(wizardTexts.isEmpty());
    state.WizardActive = kTrue;
    help.RunTeamViewer_MouseMove();
    QCOMPARE(wizardTexts, QStringList{OnlineHelp::teamViewerHelpText(2)});
    QVERIFY(wizardTexts.first().endsWith("pagina dei contatti."));
}

void TestHelpDiagnostics::ownPictureSetCancelAndReset() {
    RunState state;
    state.Lingua = 2;
    state.Skyglance_Slide_Dir = QStringLiteral("/home/u/Skyglance_SlideShow");
    platform::ScriptedDialogs dialogs;
    QLabel label;
    QLabel fileUser2, resetUserImg2;
    OwnPictures own(state, dialogs, &label);
    own.attachControls(nullptr, &fileUser2, nullptr, &resetUserImg2);
    QSignalSpy changes(&own, &OwnPictures::ownPictureChanged);

    dialogs.queueFileName(QStringLiteral("/pics/advert.png"));
    QTest::mouseClick(&fileUser2, Qt::LeftButton);
    QCOMPARE(dialogs.shownTexts(),
             QStringList{QStringLiteral("Puoi aggiungere fino a 9 altre immagini personali "
                                        ".jpg\r\nCopiale nella cartella "
                                        "/home/u/Skyglance_SlideShow")});
    QCOMPARE(state.ownPicturePath, QStringLiteral("/pics/advert.png"));
    QCOMPARE(label.text(), state.ownPicturePath);
    QCOMPARE(changes.count(), 1);

    // Cancelling keeps the picture chosen before.
    own.SSTCfg_FileUser_Click();
    QCOMPARE(state.ownPicturePath, QStringLiteral("/pics/advert.png"));
    QCOMPARE(label.text(), state.ownPicturePath);
    QCOMPARE(changes.count(), 1);

    QTest::mouseClick(&resetUserImg2, Qt::LeftButton);
    QVERIFY(state.ownPicturePath.isEmpty());
    QVERIFY(label.text().isEmpty());
    QCOMPARE(changes.count(), 2);
}

void TestHelpDiagnostics::diagnosticsShowLiveValues() {
    RunState state;
    state.listURL[0] = QStringLiteral("1ttp://a/x.jpg");
    state.listIdPicture[0] = 17;
    state.listCopyright[7] = QStringLiteral("Vendor-2024");
    state.listImageSELECTED[0] = QStringLiteral("http://a/x.jpg");
    SlideList slideList;
    Slide first = slideList.at(0);
    first.catalogueRow = 0;
    first.kind = 1;
    slideList.put(first);
    Slide fourth = slideList.at(3);
    fourth.picture = QImage(40, 30, QImage::Format_RGB32);
    slideList.put(fourth);

    QTimer imgClock;
    QTimer panControl;
    panControl.setInterval(1000);
    ControlsProxy controls;
    platform::ProxySetting& proxy = controls.setting;
    proxy = {true, QStringLiteral("proxy.lan:3128"), {}, "joe", "secret"};
    FlagsOfParts parts;
    parts.flags.slideTickRunning = true;
    Diagnostics diagnostics(
        state, slideList, {{"imgClock", &imgClock}, {"panControl", &panControl}}, controls, parts);
    diagnostics.showCommand(Command::PanelShown);
    diagnostics.open();
    QVERIFY(diagnostics.isOpen());
    // In front of the full-screen show.
    QStringList onTop;
    for (const QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            onTop << top->objectName();
        }
    }
    onTop.sort();
    QCOMPARE(onTop, (QStringList{"frmDebug", "frmDebugProxy", "frmDebugTimers"}));

    // Only rows in use, every column.
    QTableWidget* catalogue = diagnostics.catalogueRows();
    QCOMPARE(catalogue->rowCount(), 2);
    QCOMPARE(cell(catalogue, 0, 1), QStringLiteral("1ttp://a/x.jpg"));
    QCOMPARE(cell(catalogue, 0, 5), QStringLiteral("17"));
    QCOMPARE(cell(catalogue, 1, 0), QStringLiteral("7"));
    QCOMPARE(cell(catalogue, 1, 4), QStringLiteral("Vendor-2024"));
    QTableWidget* slides = diagnostics.slideRows();
    QCOMPARE(slides->rowCount(), 2);
    QCOMPARE(cell(slides, 0, 3), QStringLiteral("http://a/x.jpg"));
    QCOMPARE(cell(slides, 1, 0), QStringLiteral("3"));
    QCOMPARE(cell(slides, 1, 7), QStringLiteral("40x30"));

    QCOMPARE(valueOf(diagnostics.flagRows(), "flagCmdButton"), QStringLiteral("3"));
    QCOMPARE(valueOf(diagnostics.flagRows(), "clockStatus"), QStringLiteral("1"));
    QCOMPARE(valueOf(diagnostics.flagRows(), "flagConfigChanged"), QStringLiteral("0"));
    QCOMPARE(valueOf(diagnostics.proxyRows(), "password"), QStringLiteral("******"));
    QCOMPARE(valueOf(diagnostics.proxyRows(), "port used"), QStringLiteral("3128"));

    // Live: ticks are counted and a refresh shows the new values.
    imgClock.start(1);
    QTRY_VERIFY(diagnostics.ticks("imgClock") >= 3);
    imgClock.stop();
    diagnostics.showCommand(Command::None);
    parts.flags.settingsUnsaved = true;
    fourth.picture = QImage();
    slideList.put(fourth);
    proxy.password = QStringLiteral("pw");
    diagnostics.refresh();
    QTableWidget* timers = diagnostics.timerRows();
    QCOMPARE(cell(timers, 0, 0), QStringLiteral("imgClock"));
    QCOMPARE(cell(timers, 0, 3), QString::number(diagnostics.ticks("imgClock")));
    QCOMPARE(cell(timers, 1, 1), QStringLiteral("no"));
    QCOMPARE(cell(timers, 1, 2), QStringLiteral("1000"));
    QCOMPARE(valueOf(diagnostics.flagRows(), "flagCmdButton"), QStringLiteral("0"));
    QCOMPARE(valueOf(diagnostics.flagRows(), "flagConfigChanged"), QStringLiteral("1"));
    QCOMPARE(diagnostics.slideRows()->rowCount(), 1);
    QCOMPARE(valueOf(diagnostics.proxyRows(), "password"), QStringLiteral("**"));

    // The slide interval set here reaches the next slide tick.
    diagnostics.setSlideInterval(2500);
    QCOMPARE(state.timerClockSave, int16_t{2500});
    QCOMPARE(state.clockFromDebugSet, int16_t{1});

    // The windows close themselves once the program quits.
    state.ExitToProgram = kTrue;
    diagnostics.refresh();
    QVERIFY(!diagnostics.isOpen());
    QVERIFY(diagnostics.catalogueRows() == nullptr);

    // The bar's tuning scroll bar sets the aspect ratio and lays the bar out.
    QWidget window;
    int layouts = 0;
    state.Ratio_X_Y = 1.6F;
    BarTuning tuning(state, &window);
    QObject::connect(&tuning, &BarTuning::ratioChanged, [&layouts] { ++layouts; });
    QCOMPARE(tuning.PotBar->value(), 16);
    tuning.PotBar->setValue(20);
    QCOMPARE(state.Ratio_X_Y, 2.0F);
    QCOMPARE(layouts, 1);
    tuning.afterLayout(576, 25, 28800, 14400);
    QVERIFY(tuning.PotBar->isHidden() && tuning.DebugBarra->isHidden());
    QVERIFY(tuning.DebugBarra->text().contains("Ratio_X_Y 2"));
}

QTEST_MAIN(TestHelpDiagnostics)
#include "test_help_diagnostics.moc"
