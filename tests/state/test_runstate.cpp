// The shared tables, the slide list's map, the splitting rule, the command-line
// options, the folder names and the panel placement.
#include "catalogue/VendorServices.h"
#include "platform/Environment.h"
#include "platform/Widgets.h"
#include "shell/StartUp.h"
#include "shell/WorkFolders.h"
#include "state/CommandLine.h"
#include "state/RunState.h"
#include "state/SlideList.h"

#include <QtTest>

class TestRunState : public QObject {
    Q_OBJECT
private slots:
    void tablesHoldIndexesZeroTo2000AndNothingElse();
    void slideMapResetAndAppend();
    void slideMapStopsWhenFull();
    void splittingFields_data();
    void splittingFields();
    void tooManyFieldsShowsTheMessageOncePerExtraDash();
    void commandLineOptionsAreWholeEntriesWithExactCase_data();
    void commandLineOptionsAreWholeEntriesWithExactCase();
    void environmentWalkStopsAtEmptyEntryAndNeedsAValue();
    void workFolderNamesJoinDriveAndPathWithoutSeparator();
    void programFilesBesideTheProgramBeforeTheSharedFolder();
    void panelPlacementExample();
    void roundingIsHalfToEven();
    void versionLineSpacesEveryCharacter();
};

void TestRunState::tablesHoldIndexesZeroTo2000AndNothingElse() {
    RunState state;
    state.listURL[2000] = QStringLiteral("last");
    state.listURL[2001] = QStringLiteral("past the end");
    state.listURL[-1] = QStringLiteral("before the start");
    SlideList slides;
    Slide far;
    far.position = 5000;
    far.catalogueRow = 6;
    slides.put(far);
    QCOMPARE(state.listURL[2000], QStringLiteral("last"));
    QVERIFY(state.listURL[2001].isEmpty());
    QVERIFY(state.listURL[-1].isEmpty());
    QCOMPARE(slides.at(5000).catalogueRow, -1);
    QCOMPARE(slides.at(5000).position, -1);

    // The slide resets clear their own fields of slides 0 to 1999 only.
    for (int s : {0, 2000}) {
        Slide loop = slides.at(s);
        loop.kind = 4;
        loop.loopFile = QStringLiteral("loop.gif");
        loop.picture = QImage(4, 4, QImage::Format_RGB32);
        loop.address = QStringLiteral("4ttp://a/b.gif");
        slides.put(loop);
    }
    slides.clearKinds();
    QCOMPARE(slides.at(0).kind, 0);
    QVERIFY(slides.at(0).loopFile.isEmpty());
    QVERIFY(!slides.at(0).picture.isNull());
    QCOMPARE(slides.at(2000).kind, 4);
    slides.clearPictures();
    QVERIFY(slides.at(0).picture.isNull());
    QVERIFY(!slides.at(2000).picture.isNull());
    QCOMPARE(slides.at(0).address, QStringLiteral("4ttp://a/b.gif"));
    slides.clearOrigins();
    QVERIFY(slides.at(2000).address.isEmpty());
    QCOMPARE(state.listURL[1999], QString());

    // The reset loops clear 0..1999 and leave entry 2000 alone.
    state.listURL[0] = QStringLiteral("a");
    state.listURL[1999] = QStringLiteral("b");
    state.listURL.clearForReset();
    QVERIFY(state.listURL[0].isEmpty());
    QVERIFY(state.listURL[1999].isEmpty());
    QCOMPARE(state.listURL[2000], QStringLiteral("last"));
}

void TestRunState::slideMapResetAndAppend() {
    RunState state;
    state.weAre = QStringLiteral("W ");
    state.Aggiornare = QStringLiteral("U");
    state.nowText = [] { return QStringLiteral("1/2/26 10:00"); };
    state.restartStatusLines();
    QCOMPARE(state.LastUpdate.toString(), QStringLiteral(" - RFRS:1/2/26 10:00"));
    QCOMPARE(state.statusLine1, QStringLiteral("W U - RFRS:1/2/26 10:00"));
    QCOMPARE(state.statusLine2, QStringLiteral(". . . "));

    SlideList slides;
    Slide tenth = slides.at(10);
    tenth.catalogueRow = 3;
    tenth.kind = 1;
    slides.put(tenth);
    slides.restartMap();
    // The slide keeps its caption's row until a cycle maps the new entries.
    QCOMPARE(slides.at(10).catalogueRow, 3);
    QCOMPARE(slides.at(10).kind, 1);

    slides.appendToMap(5);
    slides.appendToMap(1);
    slides.appendToMap(9);
    QCOMPARE(slides.mapAppendPosition(), 3);
    QCOMPARE(slides.catalogueRowOfEntry(0), 4);
    QCOMPARE(slides.catalogueRowOfEntry(1), 0);
    QCOMPARE(slides.catalogueRowOfEntry(2), 8);
    QCOMPARE(slides.catalogueRowOfEntry(3), -1);
    QCOMPARE(slides.at(0).catalogueRow, -1);

    // Without a restart the next append goes behind the last one.
    slides.appendToMap(12);
    QCOMPARE(slides.catalogueRowOfEntry(3), 11);
    // A slide takes an entry's row: a series behind entry 1 fills slides 1
    // to 3 with it, the entries keep their own.
    slides.mapToEntry(3, 1);
    QCOMPARE(slides.at(3).catalogueRow, 0);
    QCOMPARE(slides.entryId(3), int16_t(12));
}

void TestRunState::slideMapStopsWhenFull() {
    SlideList slides;
    slides.restartMap();
    for (int i = 0; i < 2001; ++i) {
        slides.appendToMap(static_cast<int16_t>(i % 30000 + 1));
    }
    QCOMPARE(slides.mapAppendPosition(), 2001);
    QCOMPARE(slides.catalogueRowOfEntry(2000), 2000);
    // More slides than entries are dropped, not written out of range.
    for (int i = 0; i < 50; ++i) {
        slides.appendToMap(77);
    }
    QCOMPARE(slides.mapAppendPosition(), 2001);
    QCOMPARE(slides.catalogueRowOfEntry(2000), 2000);
    // A restart clears entries 0 to 1999 only.
    slides.restartMap();
    QCOMPARE(slides.catalogueRowOfEntry(1999), -1);
    QCOMPARE(slides.entryId(2000), int16_t(2001));
}

void TestRunState::splittingFields_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("three fields") << "A-B-C" << QStringList{"A", "B", "C", "", ""};
    QTest::newRow("leading dash") << "-B" << QStringList{"", "B", "", "", ""};
    QTest::newRow("blanks stay") << " a b - c " << QStringList{" a b ", " c ", "", "", ""};
    QTest::newRow("empty") << "" << QStringList{"", "", "", "", ""};
    QTest::newRow("five fields") << "1-2-3-4-5" << QStringList{"1", "2", "3", "4", "5"};
}

void TestRunState::splittingFields() {
    QFETCH(QString, input);
    QFETCH(QStringList, fields);
    RunState state;
    state.copyrightFields[1] = QStringLiteral("stale");
    state.copyrightFields[5] = QStringLiteral("stale");
    int messages = 0;
    Splitta5(state, input, [&messages](const QString&) { ++messages; });
    QCOMPARE(messages, 0);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(state.copyrightFields[static_cast<std::size_t>(i)], fields.at(i));
    }
    QVERIFY(state.copyrightFields[5].isEmpty());
}

void TestRunState::tooManyFieldsShowsTheMessageOncePerExtraDash() {
    RunState state;
    QStringList shown;
    const auto show = [&shown](const QString& text) { shown.append(text); };

    Splitta10(state, QStringLiteral("----------X"), show);
    QCOMPARE(shown, QStringList{"Errore. troppi parametri nella linea di comando file EXE"});
    QCOMPARE(state.cmdParams[10], QStringLiteral("X"));

    shown.clear();
    Splitta10(state, QStringLiteral("---------"), show); // nine dashes: ten fields
    QVERIFY(shown.isEmpty());

    shown.clear();
    Splitta10(state, QStringLiteral("a------------b"), show); // twelve dashes
    QCOMPARE(shown.size(), 3);
    QVERIFY(state.cmdParams[10].isEmpty()); // "b" lies behind the 11th dash

    shown.clear();
    Splitta5(state, QStringLiteral("a-b-c-d-e-f"), show);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(state.copyrightFields[5], QStringLiteral("f"));
}

void TestRunState::commandLineOptionsAreWholeEntriesWithExactCase_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<int>("debug");
    QTest::addColumn<int>("silent");
    QTest::addColumn<bool>("localhost");
    QTest::newRow("dash first") << "-LOCALHOST-NOSILENT" << 0 << 0 << true;
    QTest::newRow("alone") << "DEBUG_CODE" << 1 << -1 << false;
    QTest::newRow("trailing blank") << "-DEBUG_CODE -NOSILENT" << 0 << 0 << false;
    QTest::newRow("no blank") << "-DEBUG_CODE-NOSILENT" << 1 << 0 << false;
    QTest::newRow("small letters") << "-debug_code-localhost" << 0 << -1 << false;
    QTest::newRow("unknown ignored") << "FOO-BAR" << 0 << -1 << false;
}

void TestRunState::commandLineOptionsAreWholeEntriesWithExactCase() {
    QFETCH(QString, commandLine);
    QFETCH(int, debug);
    QFETCH(int, silent);
    QFETCH(bool, localhost);
    RunState state;
    Splitta10(state, commandLine, [](const QString&) {});
    ApplyCommandLineOptions(state);
    QCOMPARE(CatalogueOnThisMachine(state.cmdParams), localhost);
    QCOMPARE(int(state.flagDebugCode), debug);
    QCOMPARE(int(state.flagSilent), silent);
}

void TestRunState::environmentWalkStopsAtEmptyEntryAndNeedsAValue() {
    const auto byName = [](const QString& name) {
        return name == QLatin1String("HOMEPATH") ? QStringLiteral("\\Users\\u1") : QString();
    };
    const QStringList entries = {"PATH=/bin", "homepath=wrong", "HOMEPATH=\\Users\\u1", "",
                                 "HOMEDRIVE=C:"};
    QCOMPARE(platform::findEnvironmentValue(entries, "HOMEPATH", byName),
             std::optional<QString>(QStringLiteral("\\Users\\u1")));
    // Behind an empty entry nothing is found.
    QCOMPARE(platform::findEnvironmentValue(entries, "HOMEDRIVE", byName), std::nullopt);
    // A name whose variable reads empty has no value even where an entry is.
    QCOMPARE(platform::findEnvironmentValue({"X=1"}, "X", byName), std::nullopt);
    // The name must be followed by "=": HOME does not match HOMEPATH=.
    QCOMPARE(platform::findEnvironmentValue({"HOMEPATH=a"}, "HOME",
                                            [](const QString&) { return QStringLiteral("a"); }),
             std::nullopt);
}

void TestRunState::workFolderNamesJoinDriveAndPathWithoutSeparator() {
    const WorkFolderNames windows =
        formWorkFolderNames(QStringLiteral("C:"), QStringLiteral("\\Users\\u1"), QLatin1Char('\\'));
    QCOMPARE(windows.work, QStringLiteral("C:\\Users\\u1\\Skyglance7_Work"));
    QCOMPARE(windows.slide, QStringLiteral("C:\\Users\\u1\\Skyglance_SlideShow"));
    QCOMPARE(windows.php, QStringLiteral("C:\\Users\\u1\\Skyglance_PHP"));
    QCOMPARE(windows.collections, QStringLiteral("C:\\Users\\u1\\Skyglance_Collections"));
    // Without HOMEDRIVE the drive defaults to C:\, doubling the backslash.
    QCOMPARE(formWorkFolderNames(QStringLiteral("C:\\"), QStringLiteral("\\Users\\u1"),
                                 QLatin1Char('\\'))
                 .work,
             QStringLiteral("C:\\\\Users\\u1\\Skyglance7_Work"));
    QCOMPARE(formWorkFolderNames({}, QStringLiteral("/home/u"), QLatin1Char('/')).work,
             QStringLiteral("/home/u/Skyglance7_Work"));
}

void TestRunState::programFilesBesideTheProgramBeforeTheSharedFolder() {
    QTemporaryDir prefix;
    QVERIFY(QDir(prefix.path()).mkpath("bin") && QDir(prefix.path()).mkpath("share/skyglance"));
    const QString bin = prefix.filePath("bin");
    const QString shared = prefix.filePath("share/skyglance/pic_not_available.gif");
    const QString beside = bin + "/pic_not_available.gif";
    const auto touch = [](const QString& path) { return QFile(path).open(QIODevice::WriteOnly); };

    QCOMPARE(platform::programDataFile(bin, "pic_not_available.gif"), beside);
    QVERIFY(touch(shared));
    QCOMPARE(platform::programDataFile(bin, "pic_not_available.gif"), shared);
    QVERIFY(touch(beside));
    QCOMPARE(platform::programDataFile(bin, "pic_not_available.gif"), beside);
}

void TestRunState::panelPlacementExample() {
    PanelSizes sizes;
    sizes.screenWidth = 19200;
    sizes.screenHeight = 10800;
    sizes.panelWidth = 6000;
    sizes.panelHeight = 5055;
    sizes.versionWidth = 4000;
    sizes.versionHeight = 300;
    sizes.wizardHeight = 2400;
    const PanelPlacement p = placePanel(sizes);
    QCOMPARE(p.panelLeft, 3500);
    QCOMPARE(p.previewLeft, 9600);
    QCOMPARE(p.wizardLeft, 3500);
    // R(3600) - R(2527.5) = 3600 - 2528
    QCOMPARE(p.panelTop, 1072);
    QCOMPARE(p.previewTop, p.panelTop);
    QCOMPARE(p.previewWidth, 6000);
    QCOMPARE(p.wizardTop, 1072 + 5055 + 200);
    QCOMPARE(p.descFrameTop, p.wizardTop);
    QCOMPARE(p.descFrameLeft, 9600);
    QCOMPARE(p.versionLeft, 3500 + 3000 - 2000);
    QCOMPARE(p.versionTop, (1072 - 300) - 150);
}

void TestRunState::roundingIsHalfToEven() {
    QCOMPARE(platform::roundHalfEvenToInt(2527.5), 2528);
    QCOMPARE(platform::roundHalfEvenToInt(2526.5), 2526);
    QCOMPARE(platform::roundHalfEvenToInt(-0.5), 0);
    QCOMPARE(platform::roundHalfEvenToInt(7.4999), 7);
}

void TestRunState::versionLineSpacesEveryCharacter() {
    QCOMPARE(versionLine(QStringLiteral("ab.c")), QStringLiteral("a b . c  Ver. 7.8.12 "));
}

QTEST_APPLESS_MAIN(TestRunState)
#include "test_runstate.moc"
