// The selection table: filling from the catalogue tables with the saved ticks,
// clearing, the preview address and description, and a live preview through
// the real browser engine against a loopback page.
#include "FileHelpers.h"
#include "LoopbackPeers.h"
#include "browser/Browser.h"
#include "catalogue/SelectionTable.h"
#include "platform/Dialogs.h"
#include "settings/HomeTown.h"
#include "settings/SettingsFile.h"
#include "state/RunState.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QtTest>

namespace {

// The selection tab with its controls, as the main window holds them.
struct Fixture {
    QTemporaryDir dir;
    RunState state;
    platform::ScriptedDialogs dialogs;
    QWidget window;
    QWidget* tab = new QWidget(&window);
    QListWidget* table = new QListWidget(tab);
    platform::BrowserView* browser = new platform::BrowserView(&window);
    QFrame* frame = new QFrame(&window);
    QPlainTextEdit* desc = new QPlainTextEdit(frame);
    QFrame* formWait = new QFrame(&window);
    // Never shown: only its parameter boxes are read.
    QFrame townFrame;
    HomeTown town{state, dialogs, &townFrame};
    std::unique_ptr<SettingsFile> settings;
    std::unique_ptr<SelectionTable> selection;

    Fixture() {
        state.WORK_PATH_FILE_LIST = dir.path() + QLatin1Char('/');
        state.Lingua = 1;
        window.resize(1200, 800);
        tab->setGeometry(0, 0, 500, 400);
        table->setGeometry(5, 5, 400, 200);
        browser->setGeometry(500, 0, 600, 400);
        frame->setGeometry(500, 420, 600, 200);
        SettingsControls sc;
        sc.Tabella_Mappe_Selezionate = table;
        settings = std::make_unique<SettingsFile>(state, dialogs, sc);
        SelectionControls c{table, browser, frame, desc, formWait};
        selection = std::make_unique<SelectionTable>(state, dialogs, *settings, town, c, tab);
        window.show();
    }
    void setRows(const QStringList& urls) {
        for (int i = 0; i < urls.size(); ++i) {
            state.listURL[i] = urls.at(i);
            state.listURLcomment[i] = QStringLiteral("Comment %1").arg(i);
            state.listCopyright[i] = QStringLiteral("Owner %1-Site-Note").arg(i);
        }
    }
    QList<int> ticked() const {
        QList<int> rows;
        for (int i = 0; i < table->count(); ++i) {
            if (table->item(i)->checkState() == Qt::Checked) {
                rows.append(i);
            }
        }
        return rows;
    }
    bool previewVisible() const {
        return browser->isVisible() && frame->isVisible() && desc->isVisible();
    }
    bool previewHidden() const {
        return !browser->isVisible() && !frame->isVisible() && !desc->isVisible();
    }
    // On the box itself: the check box has no caption to click.
    void clickPreViewEnabled() {
        QCheckBox* box = selection->PreViewEnabled;
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    void clickEntry(int row) {
        const QRect rect = table->visualItemRect(table->item(row));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    }
};

} // namespace

class TestSelectionTable : public QObject {
    Q_OBJECT
private slots:
    void fillMakesOneEntryPerRowAndRestoresTicks();
    void clearUnticksAndTellsInTheLanguage();
    void previewAddressFollowsTheSourceCode_data();
    void previewAddressFollowsTheSourceCode();
    void clickPreviewsTheEntryAndMarksAChange();
    void previewLoadsThePageLive();
};

void TestSelectionTable::fillMakesOneEntryPerRowAndRestoresTicks() {
    Fixture f;
    // Rows behind the first empty address do not count, whatever they hold.
    f.setRows({QStringLiteral("http://a/0.gif"), QStringLiteral("3ttp://a/1"),
               QStringLiteral("4ttp://a/2.gif")});
    f.state.listURLcomment[1].clear();
    f.state.listURLcomment[3] = QStringLiteral("left over");
    f.state.listURL[4] = QStringLiteral("http://a/4.gif");
    f.selection->FillSelectionTable();
    QCOMPARE(f.table->count(), 3);
    QCOMPARE(f.table->item(0)->text(), QStringLiteral(" - Comment 0"));
    QCOMPARE(f.table->item(1)->text(), QStringLiteral(" - "));
    QVERIFY(f.table->item(2)->flags().testFlag(Qt::ItemIsUserCheckable));
    QVERIFY(f.ticked().isEmpty()); // no selection file
    QVERIFY(f.formWait->isHidden());

    // The tick follows the row position; an index beyond the table is ignored
    // and a refill starts from an empty table.
    f.setRows({QStringLiteral("h0"), QStringLiteral("h1"), QStringLiteral("h2"),
               QStringLiteral("h3"), QStringLiteral("h4")});
    writeFile(f.settings->selectionFilePath(), "1\r\n500\r\n7\r\n501\r\n\r\n\r\n");
    f.table->item(0)->setCheckState(Qt::Checked);
    f.selection->FillSelectionTable();
    QCOMPARE(f.table->count(), 5);
    QCOMPARE(f.ticked(), QList<int>{1});
}

void TestSelectionTable::clearUnticksAndTellsInTheLanguage() {
    const QString english = QStringLiteral("List cleaned - please select min. 2 pictures or load "
                                           "collection");
    const QString italian = QStringLiteral(
        "Lista cancellata - prego selezionare minimo 2 immagini o caricare una collection");
    for (int lingua : {1, 2, 3, 4, 999}) {
        Fixture f;
        f.state.Lingua = static_cast<int16_t>(lingua);
        f.setRows({QStringLiteral("h0"), QStringLiteral("h1"), QStringLiteral("h2")});
        writeFile(f.settings->selectionFilePath(), "0\r\n1\r\n2\r\n3\r\n\r\n\r\n");
        f.selection->FillSelectionTable();
        QCOMPARE(f.ticked(), (QList<int>{0, 2}));
        // The user clicks the label.
        QTest::mouseClick(f.selection->Label11, Qt::LeftButton);
        QVERIFY(f.ticked().isEmpty());
        QCOMPARE(f.dialogs.shown().size(), 1);
        const platform::Dialogs::Box box = f.dialogs.shown().first();
        QCOMPARE(box.text, lingua == 2 ? italian : english);
        QVERIFY(box.title.isEmpty());
        QCOMPARE(box.buttons, platform::Dialogs::Buttons::Ok);
    }
}

void TestSelectionTable::previewAddressFollowsTheSourceCode_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "http://x/a.jpg"
                           << "http://x/a.jpg";
    QTest::newRow("page") << "2ttp://x/p.html"
                          << "http://x/p.html";
    QTest::newRow("town, no tags") << "3ttp://x/w?a=1"
                                   << "http://x/w?a=1";
    QTest::newRow("town") << "3ttp://x/w?c=<p01>&z=<p14>"
                          << "http://x/w?c=Bern%20BE&z=p13";
    QTest::newRow("gif") << "4ttp://x/a.gif"
                         << "http://x/a.gif";
    QTest::newRow("first image") << "6ttp://x/page"
                                 << "http://x/page";
    QTest::newRow("series") << "5ttp://x/r*.png,7,2,3,3"
                            << "http://x/r007.png";
    QTest::newRow("series, no pictures") << "5ttp://x/r*.png,7,2,0,3"
                                         << "http://x/r*.png,7,2,0,3";
    QTest::newRow("series, malformed") << "5ttp://x/r.png"
                                       << "http://x/r.png";
}

void TestSelectionTable::previewAddressFollowsTheSourceCode() {
    QFETCH(QString, address);
    QFETCH(QString, expected);
    const auto param = [](int index) {
        return index == 0 ? QStringLiteral("Bern BE") : QStringLiteral("p%1").arg(index);
    };
    QCOMPARE(PreviewAddress(address, param), expected);
}

void TestSelectionTable::clickPreviewsTheEntryAndMarksAChange() {
    Fixture f;
    f.setRows({QStringLiteral("http://127.0.0.1:9/a.gif"), QStringLiteral("http://127.0.0.1:9/b"),
               QStringLiteral("3ttp://127.0.0.1:9/c?t=<p02>")});
    for (int i = 0; i < kTownParamCount; ++i) {
        f.town.PARAM[i]->setText(QStringLiteral("v%1").arg(i));
    }
    f.selection->FillSelectionTable();
    f.selection->HidePreview();
    QVERIFY(!f.settings->unsaved());

    f.clickEntry(2);
    QVERIFY(f.settings->unsaved());
    QVERIFY(f.previewVisible());
    QCOMPARE(f.browser->page()->requestedUrl(), QUrl(QStringLiteral("http://127.0.0.1:9/c?t=v1")));
    QCOMPARE(PreviewDescription(QStringLiteral("Comment 2"), QStringLiteral("Owner 2-Site-Note")),
             QStringLiteral("Comment 2\r\n\n\rOwner 2-Site-Note"));
    QVERIFY(f.desc->toPlainText().startsWith(QStringLiteral("Comment 2")));
    QVERIFY(f.desc->toPlainText().endsWith(QStringLiteral("Owner 2-Site-Note")));

    // The check box hides the preview whatever its new value.
    f.clickPreViewEnabled();
    QVERIFY(!f.selection->PreViewEnabled->isChecked());
    QVERIFY(f.previewHidden());
    f.clickPreViewEnabled();
    QVERIFY(f.selection->PreViewEnabled->isChecked());
    QVERIFY(f.previewHidden());
    // No current entry: the preview shows and stays where it was.
    f.selection->PreviewEntry(-1);
    QVERIFY(f.previewVisible());
    QCOMPARE(f.browser->page()->requestedUrl(), QUrl(QStringLiteral("http://127.0.0.1:9/c?t=v1")));
}

void TestSelectionTable::previewLoadsThePageLive() {
    nettest::HttpPeer peer(
        nettest::HttpPeer::Mode::Answer,
        nettest::HttpPeer::response(200, "<html><head><title>Radar live</title></head></html>"));
    Fixture f;
    f.setRows({QStringLiteral("2") + peer.url(QStringLiteral("/radar.html")).mid(1)});
    f.selection->FillSelectionTable();
    f.clickEntry(0);
    QVERIFY(f.browser->waitForNavigation(30000));
    QVERIFY(f.browser->navigationSucceeded());
    QVERIFY(peer.requestsSeen() >= 1);
    QTRY_COMPARE_WITH_TIMEOUT(f.browser->title(), QStringLiteral("Radar live"), 10000);
}

int main(int argc, char** argv) {
    platform::prepareBrowserEngine();
    QApplication app(argc, argv);
    TestSelectionTable test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_selection_table.moc"
