// The settings and selection files: formats, reading back, the interval
// checks, the ticks, the start-up check and the cleanup.
#include "FileHelpers.h"
#include "platform/Dialogs.h"
#include "settings/RemovedFolder.h"
#include "settings/SettingsFile.h"
#include "state/RunState.h"
#include "state/SlideList.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// A settings object over real controls in a temporary work folder.
struct Fixture {
    QTemporaryDir dir;
    RunState state;
    platform::ScriptedDialogs dialogs;
    QLineEdit download, slide, display, display2;
    QLabel ownPicture;
    QListWidget table;
    QTimer imgClock;
    std::unique_ptr<SettingsFile> settings;

    explicit Fixture(int rows = 30) {
        state.WORK_PATH_FILE_LIST = dir.path() + QLatin1Char('/');
        state.Lingua = 1;
        for (int r = 0; r < rows; ++r) {
            auto* item = new QListWidgetItem(QStringLiteral(" - row %1").arg(r), &table);
            item->setCheckState(Qt::Unchecked);
            state.listIdPicture[r] = static_cast<int16_t>(100 + r);
        }
        SettingsControls c;
        c.SSTCfg_timeDwLoad = &download;
        c.SSTCfg_timeRefresh = &slide;
        c.txtDisplay = &display;
        c.txtDisplay2 = &display2;
        c.SSTCfg_LblinserisciImg = &ownPicture;
        c.Tabella_Mappe_Selezionate = &table;
        c.imgClock = &imgClock;
        settings = std::make_unique<SettingsFile>(state, dialogs, c);
        settings->pause = [](int) {};
    }
    void setValues(const QString& dl, const QString& sl, const QString& mode,
                   const QString& own = {}) {
        download.setText(dl);
        slide.setText(sl);
        display.setText(mode);
        ownPicture.setText(own);
    }
    QByteArray settingsBytes() const { return readFile(settings->settingsFilePath()); }
    QByteArray selectionBytes() const { return readFile(settings->selectionFilePath()); }
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void settingsFileIsByteExactAndReadsBack();
    void ownPicturePathOutsideAsciiSurvives();
    void displayModeIsExactWord();
    void intervalChecks_data();
    void intervalChecks();
    void intervalMessagesFollowTheLanguage();
    void tickedRowsGoToFileAndSlideMap();
    void restoreTicksSkipsRowsTheTableLacks();
    void firstStartWritesDefaults();
    void emptySelectionStartsAsFirstRun();
    void failedWriteReportsAndKeepsTheFiles();
    void failedWriteLeavesThePreviousFiles();
    void writesReplaceLinksNotTheirTargets();
    void cleanupAsksAndRequestsTheQuit();
    void deletionsKeepTheNewestFiveRemovedFolders();
    void unreadableSettingsFileLeavesTheOthers();
};

void TestSettings::settingsFileIsByteExactAndReadsBack() {
    Fixture f;
    f.setValues("15", "8", "Full_Screen");
    QVERIFY(f.settings->WriteSettings());
    QCOMPARE(f.settingsBytes(), QByteArray("15\r\n8\r\nFull_Screen\r\n\r\n\r\n"));
    QVERIFY(f.dialogs.shown().isEmpty());

    f.setValues("20.5", "3", "Normal", "/pics/ad.jpg");
    QVERIFY(f.settings->WriteSettings());
    QCOMPARE(f.settingsBytes(), QByteArray("20.5\r\n3\r\nNormal\r\n/pics/ad.jpg\r\n\r\n\r\n"));

    f.setValues("", "", "");
    QVERIFY(f.settings->ReadSettings(false));
    QCOMPARE(f.download.text(), QStringLiteral("20.5"));
    QCOMPARE(f.slide.text(), QStringLiteral("3"));
    QCOMPARE(f.display.text(), QStringLiteral("Normal"));
    QVERIFY(!f.settings->fullScreen());
    QCOMPARE(f.ownPicture.text(), QStringLiteral("/pics/ad.jpg"));
    QCOMPARE(f.state.ownPicturePath, QStringLiteral("/pics/ad.jpg"));

    // No own picture: line 4 is the first empty line.
    f.setValues("15", "8", "Full_Screen");
    QVERIFY(f.settings->WriteSettings());
    QVERIFY(f.settings->ReadSettings(false));
    QVERIFY(f.ownPicture.text().isEmpty());
    QVERIFY(f.settings->fullScreen());
}

void TestSettings::ownPicturePathOutsideAsciiSurvives() {
    Fixture f;
    const QString path = QString::fromUtf8("/home/u/Картинки/Météo ñ/реклама.jpg");
    f.setValues("15", "8", "Normal", path);
    QVERIFY(f.settings->WriteSettings());
    f.ownPicture.clear();
    QVERIFY(f.settings->ReadSettings(false));
    QCOMPARE(f.ownPicture.text(), path);

    // An older file in a single-byte code page still reads.
    writeFile(f.settings->settingsFilePath(),
              QByteArray("15\r\n8\r\nNormal\r\nC:\\M\xe9t\xe9o\\a.jpg\r\n\r\n\r\n"));
    QVERIFY(f.settings->ReadSettings(false));
    QCOMPARE(f.ownPicture.text(), QString::fromUtf8("C:\\Météo\\a.jpg"));
}

void TestSettings::displayModeIsExactWord() {
    Fixture f;
    writeFile(f.settings->settingsFilePath(), "15\r\n8\r\nfull_screen\r\n\r\n\r\n");
    QVERIFY(f.settings->ReadSettings(false));
    QCOMPARE(f.display.text(), QStringLiteral("Normal"));
    QVERIFY(!f.settings->fullScreen());
    // Blanks around a value are removed when read.
    writeFile(f.settings->settingsFilePath(), "  30 \r\n 9\r\n Full_Screen \r\n\r\n\r\n");
    QVERIFY(f.settings->ReadSettings(false));
    QCOMPARE(f.download.text(), QStringLiteral("30"));
    QVERIFY(f.settings->fullScreen());
}

void TestSettings::intervalChecks_data() {
    QTest::addColumn<QString>("download");
    QTest::addColumn<QString>("slide");
    QTest::addColumn<QString>("savedDownload");
    QTest::addColumn<QString>("savedSlide");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("letters") << "abc"
                             << "8"
                             << "15"
                             << "8" << QStringList{"Invalid Download Time."};
    QTest::newRow("too short") << "10"
                               << "8"
                               << "15"
                               << "8" << QStringList{"Download Timer too small."};
    QTest::newRow("fine") << "15"
                          << "8"
                          << "15"
                          << "8" << QStringList{};
    QTest::newRow("slide zero") << "15"
                                << "0"
                                << "15"
                                << "8" << QStringList{"Slide Show Timer too small."};
    QTest::newRow("slide letter") << "15"
                                  << "x"
                                  << "15"
                                  << "8" << QStringList{"Slide Show Timer not valid."};
    QTest::newRow("both wrong") << ""
                                << "-2"
                                << "15"
                                << "8"
                                << QStringList{"Invalid Download Time.",
                                               "Slide Show Timer too small."};
}

void TestSettings::intervalChecks() {
    QFETCH(QString, download);
    QFETCH(QString, slide);
    QFETCH(QString, savedDownload);
    QFETCH(QString, savedSlide);
    QFETCH(QStringList, messages);
    Fixture f;
    f.setValues(download, slide, "Full_Screen");
    QVERIFY(f.settings->WriteSettings());
    QCOMPARE(f.download.text(), savedDownload);
    QCOMPARE(f.slide.text(), savedSlide);
    QCOMPARE(f.dialogs.shownTexts(), messages);
    for (const auto& box : f.dialogs.shown()) {
        QCOMPARE(box.title, QStringLiteral("Warning!"));
        QCOMPARE(box.icon, platform::Dialogs::Icon::Warning);
    }
    QVERIFY(f.settingsBytes().startsWith((savedDownload + "\r\n" + savedSlide + "\r\n").toUtf8()));
}

void TestSettings::intervalMessagesFollowTheLanguage() {
    Fixture f;
    f.state.Lingua = 2;
    f.setValues("1", "x", "Normal");
    f.settings->WriteSettings();
    QCOMPARE(f.dialogs.shownTexts(),
             (QStringList{"Tempo Download troppo corto.", "Timer Slide Show non valido."}));
    QCOMPARE(f.dialogs.shown().first().title, QStringLiteral("Attenzione!"));
}

void TestSettings::tickedRowsGoToFileAndSlideMap() {
    Fixture f;
    // The slide map as the window wires it.
    SlideList slides;
    QObject::connect(f.settings.get(), &SettingsFile::slideMapRestarted,
                     [&slides] { slides.restartMap(); });
    QObject::connect(f.settings.get(), &SettingsFile::slideMapEntryTicked,
                     [&slides](int16_t id) { slides.appendToMap(id); });
    f.setValues("15", "8", "Full_Screen");
    f.table.item(2)->setCheckState(Qt::Checked);
    f.table.item(7)->setCheckState(Qt::Checked);
    QVERIFY(f.settings->WriteSettings());
    QCOMPARE(f.selectionBytes(), QByteArray("2\r\n102\r\n7\r\n107\r\n\r\n\r\n"));
    QCOMPARE(slides.catalogueRowOfEntry(0), 2);
    QCOMPARE(slides.catalogueRowOfEntry(1), 7);
    QCOMPARE(slides.catalogueRowOfEntry(2), -1);

    for (int r = 0; r < f.table.count(); ++r) {
        f.table.item(r)->setCheckState(Qt::Unchecked);
    }
    QVERIFY(f.settings->WriteSettings());
    QCOMPARE(f.selectionBytes(), QByteArray("\r\n\r\n"));
}

void TestSettings::restoreTicksSkipsRowsTheTableLacks() {
    Fixture f(30);
    writeFile(f.settings->selectionFilePath(),
              "40\r\n140\r\n5\r\n105\r\nxx\r\n1\r\n29\r\n129\r\n\r\n3\r\n103\r\n");
    f.settings->RestoreTicks();
    QList<int> ticked;
    for (int r = 0; r < f.table.count(); ++r) {
        if (f.table.item(r)->checkState() == Qt::Checked) {
            ticked.append(r);
        }
    }
    // Row 40 is beyond the table; reading stops at the first empty line.
    QCOMPARE(ticked, (QList<int>{5, 29}));
}

void TestSettings::firstStartWritesDefaults() {
    Fixture f;
    f.imgClock.start(1000);
    f.settings->PrepareSettings();
    QCOMPARE(f.settingsBytes(), QByteArray("15\r\n8\r\nFull_Screen\r\n\r\n\r\n"));
    QCOMPARE(f.selectionBytes(), QByteArray("0\r\n1\r\n1\r\n2\r\n2\r\n3\r\n3\r\n4\r\n\r\n\r\n"));
    QVERIFY(!f.imgClock.isActive());
    QCOMPARE(f.download.text(), QStringLiteral("15"));
    QVERIFY(f.settings->fullScreen());
    QVERIFY(f.dialogs.shown().isEmpty());

    // The first-run state ends with that write: the next write takes the ticks.
    f.table.item(4)->setCheckState(Qt::Checked);
    QVERIFY(f.settings->WriteSettings());
    QCOMPARE(f.selectionBytes(), QByteArray("4\r\n104\r\n\r\n\r\n"));
}

void TestSettings::emptySelectionStartsAsFirstRun() {
    Fixture f;
    writeFile(f.settings->settingsFilePath(), "30\r\n12\r\nNormal\r\n\r\n\r\n");
    writeFile(f.settings->selectionFilePath(), "\r\n\r\n");
    writeFile(f.settings->languageFilePath(), " 2\r\n");
    f.settings->PrepareSettings();
    QCOMPARE(f.settingsBytes(), QByteArray("15\r\n8\r\nFull_Screen\r\n\r\n\r\n"));
    QCOMPARE(f.selectionBytes(), QByteArray("0\r\n1\r\n1\r\n2\r\n2\r\n3\r\n3\r\n4\r\n\r\n\r\n"));

    // A selection with ticks keeps the settings as they are.
    Fixture g;
    writeFile(g.settings->settingsFilePath(), "30\r\n12\r\nNormal\r\n\r\n\r\n");
    writeFile(g.settings->selectionFilePath(), "3\r\n4\r\n\r\n\r\n");
    g.settings->PrepareSettings();
    QCOMPARE(g.download.text(), QStringLiteral("30"));
    QCOMPARE(g.settingsBytes(), QByteArray("30\r\n12\r\nNormal\r\n\r\n\r\n"));
}

void TestSettings::failedWriteReportsAndKeepsTheFiles() {
    Fixture f;
    f.setValues("15", "8", "Full_Screen");
    writeFile(f.settings->languageFilePath(), " 1\r\n");
    // A folder where the settings file should be makes the write fail.
    QVERIFY(QDir().mkpath(f.settings->settingsFilePath()));
    f.imgClock.start(1000);
    QVERIFY(!f.settings->WriteSettings());
    QCOMPARE(f.dialogs.shownTexts(), QStringList{"ERROR WRITING CONFIGURATION FILES!"});
    QCOMPARE(f.dialogs.shown().first().icon, platform::Dialogs::Icon::None);
    QVERIFY(!f.imgClock.isActive());
    QCOMPARE(readFile(f.settings->languageFilePath()), QByteArray(" 1\r\n"));
    QVERIFY(QFile::exists(f.settings->selectionFilePath()));
    // No temporary file is left behind in the work folder.
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files).size(), 2);
}

// A link planted at a settings file's name is replaced by the file; what
// it pointed to is left as it was.
void TestSettings::writesReplaceLinksNotTheirTargets() {
    Fixture f;
    QTemporaryDir outside;
    const QString precious = outside.filePath("precious.txt");
    writeFile(precious, "keep me");
    QVERIFY(QFile::link(precious, f.settings->settingsFilePath()));
    QVERIFY(QFile::link(precious, f.settings->selectionFilePath()));
    f.setValues("15", "8", "Full_Screen");
    QVERIFY(f.settings->WriteSettings());
    QCOMPARE(readFile(precious), QByteArray("keep me"));
    for (const QString& path : {f.settings->settingsFilePath(), f.settings->selectionFilePath()}) {
        QVERIFY2(!QFileInfo(path).isSymLink(), qPrintable(path));
    }
    QVERIFY(f.settingsBytes().startsWith("15\r\n8\r\nFull_Screen\r\n"));
}

void TestSettings::failedWriteLeavesThePreviousFiles() {
#ifdef Q_OS_UNIX
    Fixture f;
    f.setValues("15", "8", "Full_Screen");
    f.table.item(3)->setCheckState(Qt::Checked);
    QVERIFY(f.settings->WriteSettings());
    const QByteArray settingsBefore = f.settingsBytes();
    const QByteArray selectionBefore = f.selectionBytes();

    f.setValues("30", "12", "Normal");
    f.table.item(5)->setCheckState(Qt::Checked);
    // A file size limit of 0 fails every write as a full disk does (even for
    // root, which folder permissions would not stop).
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit full = saved;
    full.rlim_cur = 0;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &full), 0);
    const bool written = f.settings->WriteSettings();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QCOMPARE(f.dialogs.shownTexts(), QStringList{"ERROR WRITING CONFIGURATION FILES!"});
    QCOMPARE(f.settingsBytes(), settingsBefore);
    QCOMPARE(f.selectionBytes(), selectionBefore);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files).size(), 2);
#else
    QSKIP("needs a file size limit");
#endif
}

void TestSettings::cleanupAsksAndRequestsTheQuit() {
    Fixture f;
    f.setValues("15", "8", "Full_Screen");
    QVERIFY(f.settings->WriteSettings());
    writeFile(f.settings->proxyFilePath(), "x\r\n");
    QFile::setPermissions(f.settings->proxyFilePath(), QFileDevice::ReadOwner);

    QSignalSpy quit(&*f.settings, &SettingsFile::quitRequested);
    f.dialogs.queueAnswer(platform::Dialogs::Answer::No);
    f.settings->Cleanup_Click();
    QCOMPARE(quit.size(), 0);
    QVERIFY(QFile::exists(f.settings->settingsFilePath()));
    QCOMPARE(f.dialogs.shownTexts().last(), QStringLiteral("Restart Not executed"));

    f.dialogs.clear();
    f.dialogs.queueAnswer(platform::Dialogs::Answer::Yes);
    f.settings->Cleanup2_Click();
    const auto boxes = f.dialogs.shown();
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0].text, QStringLiteral("If you confirm, all configuration files will be "
                                           "deleted\n\nWARNING"));
    QCOMPARE(boxes[0].title, QStringLiteral("WARNING!"));
    QCOMPARE(boxes[0].buttons, platform::Dialogs::Buttons::YesNo);
    QCOMPARE(boxes[1].text, QStringLiteral("Configuration cleaned, please restart Skyglance"));
    QCOMPARE(boxes[1].icon, platform::Dialogs::Icon::Information);
    QCOMPARE(quit.size(), 1);
    QCOMPARE(f.state.FlagRestart, kTrue);
    for (const QString& path : {f.settings->settingsFilePath(), f.settings->selectionFilePath(),
                                f.settings->proxyFilePath()}) {
        QVERIFY2(!QFile::exists(path), qPrintable(path));
    }
    // Gone from the work folder, but kept whole beside it.
    const QStringList removed = removedFolders(f.dir.path());
    QCOMPARE(removed.size(), 1);
    QVERIFY(QRegularExpression("^Removed-\\d{8}-\\d{6}$").match(removed[0]).hasMatch());
    const QString aside = f.dir.filePath(removed[0]) + "/";
    QCOMPARE(readFile(aside + "Skyglance7_Config.dat"),
             QByteArray("15\r\n8\r\nFull_Screen\r\n\r\n\r\n"));
    QCOMPARE(readFile(aside + "Skyglance7_Picture_List.dat"), QByteArray("\r\n\r\n"));
    QCOMPARE(readFile(aside + "Skyglance7_Proxy.dat"), QByteArray("x\r\n"));
}

// Six deletions in a row (some in the same second) keep the newest five
// folders; emptying the oldest never follows a link out of it.
void TestSettings::deletionsKeepTheNewestFiveRemovedFolders() {
    Fixture f;
    QTemporaryDir outside;
    const QString precious = outside.filePath("precious.txt");
    writeFile(precious, "keep me");
    for (int n = 1; n <= 6; ++n) {
        writeFile(f.settings->languageFilePath(), QByteArray::number(n));
        if (n == 1) {
            QVERIFY(QFile::link(precious, f.settings->proxyFilePath()));
            QVERIFY(QFile::link(outside.path(), f.settings->settingsFilePath()));
        }
        f.settings->DeleteSettingsFiles();
    }
    const QStringList removed = removedFolders(f.dir.path());
    QCOMPARE(removed.size(), kRemovedFoldersKept);
    for (int i = 0; i < removed.size(); ++i) {
        QCOMPARE(readFile(f.dir.filePath(removed[i]) + "/Skyglance7_Language.dat"),
                 QByteArray::number(i + 2));
    }
    QCOMPARE(readFile(precious), QByteArray("keep me"));
    QVERIFY(!QFile::exists(f.settings->languageFilePath()));
}

// A settings file that cannot be read is named, and nothing else is deleted
// or rewritten: the show runs on the defaults.
void TestSettings::unreadableSettingsFileLeavesTheOthers() {
    Fixture f;
    const QByteArray selection = "3\r\n4\r\n\r\n\r\n";
    writeFile(f.settings->selectionFilePath(), selection);
    writeFile(f.settings->languageFilePath(), " 2\r\n");
    QVERIFY(QDir().mkpath(f.settings->settingsFilePath()));
    f.imgClock.start(1000);
    f.settings->PrepareSettings();
    QCOMPARE(f.selectionBytes(), selection);
    QCOMPARE(readFile(f.settings->languageFilePath()), QByteArray(" 2\r\n"));
    QVERIFY(removedFolders(f.dir.path()).isEmpty());
    QVERIFY(f.imgClock.isActive());
    QCOMPARE(f.download.text(), QStringLiteral("15"));
    QCOMPARE(f.slide.text(), QStringLiteral("8"));
    const QString told = QStringLiteral("Cannot read the file %1: it is a folder.\nThe other "
                                        "configuration files are kept.")
                             .arg(f.settings->settingsFilePath());
    QCOMPARE(f.dialogs.shownTexts(), QStringList{told});
    // Every pass reads the settings again: told once, the values on screen stand.
    QVERIFY(f.settings->ReadSettings(false));
    QCOMPARE(f.dialogs.shownTexts().size(), 1);

    // The same for a selection file that is a folder: the settings stay.
    Fixture g;
    writeFile(g.settings->settingsFilePath(), "30\r\n12\r\nNormal\r\n\r\n\r\n");
    QVERIFY(QDir().mkpath(g.settings->selectionFilePath()));
    g.state.Lingua = 3;
    g.settings->PrepareSettings();
    QCOMPARE(g.settingsBytes(), QByteArray("30\r\n12\r\nNormal\r\n\r\n\r\n"));
    QCOMPARE(g.download.text(), QStringLiteral("30"));
    QVERIFY(removedFolders(g.dir.path()).isEmpty());
    QCOMPARE(g.dialogs.shownTexts(),
             QStringList{QStringLiteral("Impossible de lire le fichier %1 : c'est un dossier.\nLes "
                                        "autres fichiers de configuration sont conservés.")
                             .arg(g.settings->selectionFilePath())});
}

QTEST_MAIN(TestSettings)
#include "test_settings.moc"
