// The town file and the parameter boxes: defaults, reading, short and broken
// files, and saving what was typed in the frame.
#include "FileHelpers.h"
#include "platform/Dialogs.h"
#include "settings/HomeTown.h"
#include "settings/SettingsFormat.h"
#include "state/RunState.h"

#include <QFrame>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kDefaultFile = "Courmayeur\r\nNew+York\r\nny\r\nus\r\nNaples\r\nItaly\r\n"
                                "OPTION1\r\nOPTION2\r\nOPTION3\r\nOPTION4\r\nOPTION5\r\n"
                                "OPTION6\r\nOPTION7\r\nOPTION8\r\nF\r\n \r\n \r\n \r\n";

QByteArray townLines(int count, const QByteArray& unit = {}) {
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        out += "town" + QByteArray::number(i) + "\r\n";
    }
    if (!unit.isNull()) {
        out += unit + "\r\n";
    }
    return out;
}

// The frame inside a window the size of a small screen, in a temporary work folder.
struct Fixture {
    QTemporaryDir dir;
    RunState state;
    platform::ScriptedDialogs dialogs;
    QWidget window;
    QFrame* frame = new QFrame(&window);
    std::unique_ptr<HomeTown> town;

    Fixture() {
        state.WORK_PATH_FILE_LIST = dir.path() + QLatin1Char('/');
        window.resize(1280, 720);
        frame->setObjectName(QStringLiteral("FormYourTown"));
        frame->hide();
        town = std::make_unique<HomeTown>(state, dialogs, frame);
    }
    QString path() const { return town->townFilePath(); }
    QStringList boxes() const {
        QStringList texts;
        for (int i = 0; i < kTownParamCount; ++i) {
            texts.append(town->param(i));
        }
        return texts;
    }
};

QStringList defaultBoxes() {
    const TownValues defaults = defaultTownValues();
    return QStringList(defaults.params.begin(), defaults.params.end());
}

} // namespace

class TestHomeTown : public QObject {
    Q_OBJECT
private slots:
    void missingFileIsWrittenWithDefaultsAndShown();
    void valuesAreTrimmedAndOnlyCapitalFIsFahrenheit();
    void shortFileIsCompletedFromTheDefaultsAndSaved();
    void hugeOrBinaryFileLeavesBoxesAlone();
    void okSavesWhatWasTypedInTheShownFrame();
};

void TestHomeTown::missingFileIsWrittenWithDefaultsAndShown() {
    Fixture f;
    f.town->PARAM[0]->setText(QStringLiteral("changed"));
    f.town->LoadTown();
    QCOMPARE(readFile(f.path()), kDefaultFile);
    QCOMPARE(f.boxes(), defaultBoxes());
    QVERIFY(f.town->Farenaith->isChecked());
    QVERIFY(!f.town->Centigradi->isChecked());
    QVERIFY(f.dialogs.shown().isEmpty());
    QCOMPARE(formatTownFile(defaultTownValues()), kDefaultFile);
}

void TestHomeTown::valuesAreTrimmedAndOnlyCapitalFIsFahrenheit() {
    Fixture f;
    QByteArray file = townLines(kTownParamCount, "f");
    file.replace("town0", "  Rome  ");
    file.replace("town5", "\tSan Remo ");
    writeFile(f.path(), file);
    f.town->LoadTown();
    QCOMPARE(f.town->param(0), QStringLiteral("Rome"));
    QCOMPARE(f.town->param(5), QStringLiteral("San Remo"));
    QCOMPARE(f.town->param(13), QStringLiteral("town13"));
    QVERIFY(f.town->Centigradi->isChecked());
    QVERIFY(!f.town->Farenaith->isChecked());

    writeFile(f.path(), townLines(kTownParamCount, "  F "));
    QVERIFY(f.town->ReadTownFile());
    QVERIFY(f.town->Farenaith->isChecked());
    QVERIFY(!f.town->Centigradi->isChecked());
    QVERIFY(f.dialogs.shown().isEmpty());
    QCOMPARE(readFile(f.path()), townLines(kTownParamCount, "  F ")); // reading leaves the file
}

void TestHomeTown::shortFileIsCompletedFromTheDefaultsAndSaved() {
    Fixture f;
    f.town->Centigradi->setChecked(true);
    writeFile(f.path(), townLines(10));
    QVERIFY(f.town->ReadTownFile());
    QVERIFY(f.dialogs.shown().isEmpty()); // nothing to ask at every start
    QStringList expected = defaultBoxes();
    for (int i = 0; i < 10; ++i) {
        expected[i] = QStringLiteral("town%1").arg(i);
    }
    QCOMPARE(f.boxes(), expected);
    QVERIFY(f.town->Farenaith->isChecked()); // the default unit
    QByteArray saved = townLines(10);
    for (int i = 10; i < kTownParamCount; ++i) {
        saved += defaultBoxes().at(i).toUtf8() + "\r\n";
    }
    QCOMPARE(readFile(f.path()), saved + "F\r\n \r\n \r\n \r\n");

    // Fourteen values without the unit line are short as well; an empty
    // file is all defaults.
    writeFile(f.path(), townLines(kTownParamCount));
    f.town->LoadTown();
    QCOMPARE(readFile(f.path()), townLines(kTownParamCount, "F") + " \r\n \r\n \r\n");
    writeFile(f.path(), QByteArray());
    f.town->LoadTown();
    QCOMPARE(readFile(f.path()), kDefaultFile);
    QCOMPARE(f.boxes(), defaultBoxes());
    QVERIFY(f.dialogs.shown().isEmpty());
}

void TestHomeTown::hugeOrBinaryFileLeavesBoxesAlone() {
    QByteArray huge(static_cast<qsizetype>(kMaxSettingsFileBytes) + 1, 'x');
    for (qsizetype i = 100; i < huge.size(); i += 100) {
        huge[i] = '\n';
    }
    QByteArray binary = townLines(kTownParamCount, "F");
    binary[3] = '\0';
    for (const QByteArray& bytes : {huge, binary}) {
        Fixture f;
        writeFile(f.path(), bytes);
        f.town->LoadTown();
        QCOMPARE(f.dialogs.shownTexts(),
                 QStringList{QStringLiteral("Error FileTown - Cleanup Please")});
        QCOMPARE(f.boxes(), defaultBoxes());
        QCOMPARE(readFile(f.path()).size(), bytes.size()); // not overwritten behind the user
    }
}

void TestHomeTown::okSavesWhatWasTypedInTheShownFrame() {
    Fixture f;
    f.town->LoadTown();
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    f.town->ShowTownFrame();
    QVERIFY(f.frame->isVisible());
    QVERIFY(f.window.rect().contains(f.frame->geometry()));
    const QSize needed = f.frame->layout()->minimumSize();
    QVERIFY(needed.width() <= f.frame->width() && needed.height() <= f.frame->height());

    QVERIFY(f.town->PARAM[0]->hasFocus());
    QTest::keyClicks(f.town->PARAM[0], QStringLiteral("Aosta"));
    f.town->PARAM[1]->setText(QStringLiteral("San+Francisco"));
    QTest::mouseClick(f.town->Centigradi, Qt::LeftButton);
    QTest::mouseClick(f.town->OkYourTown, Qt::LeftButton);

    QVERIFY(!f.frame->isVisible());
    QByteArray expected = kDefaultFile;
    expected.replace("Courmayeur", "Aosta").replace("New+York", "San+Francisco");
    expected.replace("F\r\n", "C\r\n");
    QCOMPARE(readFile(f.path()), expected);
    QCOMPARE(f.town->param(1), QStringLiteral("San+Francisco"));
    QVERIFY(f.town->param(-1).isEmpty() && f.town->param(kTownParamCount).isEmpty());
    QVERIFY(f.dialogs.shown().isEmpty());
}

QTEST_MAIN(TestHomeTown)
#include "test_hometown.moc"
