// The status bar's layout and text, and the presenter's frames.
#include "run/DownloadCycle.h"
#include "run/Scheduler.h"
#include "show/Presenter.h"
#include "show/Snapshots.h"
#include "show/StatusBar.h"
#include "state/RunState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestDisplayLayout : public QObject {
    Q_OBJECT
private slots:
    void barOnAFullHdScreen();
    void barSquaresAreTwoAndAHalfPerCentOfTheWidth_data();
    void barSquaresAreTwoAndAHalfPerCentOfTheWidth();
    void statusLinesAreCutAt95Characters();
    void hidingAndShowingTheBarRestoresVisibility();
    void linesAboveTheBarReadOverAWhitePage();
    void fullScreenFitsLargePicturesKeepingProportions();
    void fullScreenGrowsSmallPicturesToTheNearerEdge();
    void fullScreenKeepsThinBannersInShape();
    void normalModeCentresAtNaturalSize();
    void slideTimingHoldsAnyAcceptedInterval();
    void snapshotsKeepTheNewestAndALatest();
};

void TestDisplayLayout::barOnAFullHdScreen() {
    const BarLayout bar = layOutBar(28800, 16200, 28800.0F / 16200.0F);
    QCOMPARE(qRound(bar.barH), 648);
    QVERIFY(qAbs(bar.k - 1.1111) < 1e-4);
    QCOMPARE(bar.btTermina.width(), 720);
    QCOMPARE(bar.btSetup.width(), 2115);
    QCOMPARE(bar.btLogo.width(), 4725);
    QCOMPARE(bar.connectStatus.width(), 720);
    QCOMPARE(bar.whoWeAre.width(), 20520);
    QCOMPARE(bar.btLogo.left(), 23355);
    QCOMPARE(bar.connectStatus.left(), 28080);
    QCOMPARE(bar.btTermina.left(), 2115);
    QCOMPARE(bar.whoWeAre.left(), 2835);
    QCOMPARE(bar.btAnimation.left(), 2835);
    for (const QRect& r : {bar.btSetup, bar.btTermina, bar.whoWeAre, bar.btLogo, bar.connectStatus,
                           bar.backWhoWeAre}) {
        QCOMPARE(r.top(), 16200 - 648);
        QCOMPARE(r.height(), 648);
    }
    QCOMPARE(bar.timerflagTop, 16200 - 2 * 648);
    QVERIFY(qAbs(bar.whoWeAreFontPoints - 0.3 * (518.4 / 20.0)) < 0.01);
}

void TestDisplayLayout::barSquaresAreTwoAndAHalfPerCentOfTheWidth_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("4:3") << 15360 << 11520;
    QTest::newRow("16:10") << 19200 << 12000;
    QTest::newRow("portrait") << 16200 << 28800;
}

void TestDisplayLayout::barSquaresAreTwoAndAHalfPerCentOfTheWidth() {
    QFETCH(int, w);
    QFETCH(int, h);
    const BarLayout bar = layOutBar(w, h, static_cast<float>(w) / static_cast<float>(h));
    QVERIFY(qAbs(bar.btTermina.width() - 0.025 * w) <= 1);
    // The elements fill the width exactly, whatever the rounding.
    QCOMPARE(bar.connectStatus.left() + bar.connectStatus.width(), w);
}

void TestDisplayLayout::statusLinesAreCutAt95Characters() {
    QWidget window;
    RunState state;
    StatusBar bar(&window, state);
    state.statusLine1 = QString(120, QLatin1Char('a'));
    state.statusLine2 = QStringLiteral("short");
    bar.ShowStatusText();
    QCOMPARE(state.statusLine1.size(), 95);
    QCOMPARE(bar.whoWeAre->text(), QString(95, QLatin1Char('a')) + QStringLiteral("\nshort"));
    QCOMPARE(cutStatusLine(QString(95, QLatin1Char('b'))).size(), 95);
}

void TestDisplayLayout::hidingAndShowingTheBarRestoresVisibility() {
    QWidget window;
    RunState state;
    StatusBar bar(&window, state);
    state.Ratio_X_Y = 16.0F / 9.0F;
    bar.Disegna_Barra2(28800, 16200);
    // The animation sign lies over the text's left end: the text starts beside it.
    QVERIFY(bar.BtAnimation->width() > 0 && bar.whoWeAre->indent() > bar.BtAnimation->width());
    window.show();
    bar.btWait->show();
    bar.btSetup->hide();
    bar.Nascondi_Barra();
    QVERIFY(!bar.btWait->isVisible() && !bar.whoWeAre->isVisible() && !bar.lCountDown->isVisible());
    bar.Esponi_Barra();
    QVERIFY(bar.btWait->isVisible());
    QVERIFY(!bar.btSetup->isVisible());
    QVERIFY(bar.whoWeAre->isVisible() && bar.connectStatus->isVisible());
    // A second hide before the show saves the hidden state.
    bar.Nascondi_Barra();
    bar.Nascondi_Barra();
    bar.Esponi_Barra();
    QVERIFY(!bar.whoWeAre->isVisible());
}

// The countdown over a captured page that is white to its edges: light
// words on a dark backing just behind them, the page untouched beyond.
void TestDisplayLayout::linesAboveTheBarReadOverAWhitePage() {
    QWidget window;
    window.resize(1280, 720);
    QPalette white = window.palette();
    white.setColor(QPalette::Window, Qt::white);
    window.setPalette(white);
    window.setAutoFillBackground(true);
    RunState state;
    state.Ratio_X_Y = 16.0F / 9.0F;
    StatusBar bar(&window, state);
    bar.Disegna_Barra2(19200, 10800);
    bar.placeLinesAboveBar(19200, 10800);
    QCOMPARE(bar.whoWeAre->font().pointSizeF(), 10.0);
    bar.lCountDown->setText(QStringLiteral("Loading Pictures from WEB... 3 of 12"));
    bar.lCountDown->show();
    window.show();
    const QImage shot = window.grab().toImage();
    const QRect line = bar.lCountDown->geometry();
    const int wordsEnd = bar.lCountDown->fontMetrics().horizontalAdvance(bar.lCountDown->text());
    int dark = 0;
    int light = 0;
    const int middle = line.center().y();
    // The words begin beside the run-state marker at the left end.
    const int from = line.left() + bar.lCountDown->indent();
    QVERIFY(from >= bar.timerflag->geometry().right());
    for (int x = from; x < from + wordsEnd; ++x) {
        for (int y = middle - 4; y <= middle + 4; ++y) {
            const int grey = qGray(shot.pixel(x, y));
            dark += grey < 80;
            light += grey > 200;
        }
    }
    const int area = wordsEnd * 9;
    QVERIFY2(dark > area / 2, qPrintable(QStringLiteral("%1 of %2").arg(dark).arg(area)));
    QVERIFY(light > area / 20);
    for (int x = from + wordsEnd + 40; x < line.right(); x += 7) {
        QCOMPARE(QColor(shot.pixel(x, middle)), QColor(Qt::white));
    }
}

void TestDisplayLayout::fullScreenFitsLargePicturesKeepingProportions() {
    // Wider only: the whole width, the height in proportion, centred.
    QCOMPARE(fullScreenFrame(80000, 20000, 40000, 30000), QRectF(0, 10000, 40000, 10000));
    // Taller only: the whole height, the width in proportion, centred.
    QCOMPARE(fullScreenFrame(20000, 60000, 40000, 30000), QRectF(15000, 0, 10000, 30000));
    // Larger both ways, wider than the area's shape.
    QCOMPARE(fullScreenFrame(160000, 60000, 40000, 30000), QRectF(0, 7500, 40000, 15000));
    // Larger both ways, taller than the area's shape.
    QCOMPARE(fullScreenFrame(60000, 90000, 40000, 30000), QRectF(10000, 0, 20000, 30000));
    // Never larger than the area, never distorted by more than rounding.
    for (const auto& [pw, ph] : {std::pair{50000.0, 31000.0}, std::pair{41000.0, 29000.0},
                                 std::pair{123457.0, 654.0}, std::pair{333.0, 99999.0}}) {
        const QRectF f = fullScreenFrame(pw, ph, 40000, 30000);
        QVERIFY(f.width() <= 40000 && f.height() <= 30000);
        QVERIFY(f.left() >= 0 && f.top() >= 0);
        QVERIFY(qAbs(f.width() / f.height() - pw / ph) / (pw / ph) < 0.01 || f.width() < 2 ||
                f.height() < 2);
    }
}

void TestDisplayLayout::fullScreenGrowsSmallPicturesToTheNearerEdge() {
    // Margins 30000 and 20000: the height is filled.
    QCOMPARE(fullScreenFrame(10000, 10000, 40000, 30000), QRectF(5000, 0, 30000, 30000));
    // A wide small picture fills the width.
    QCOMPARE(fullScreenFrame(30000, 10000, 40000, 30000),
             QRectF(0, 15000 - 13333 / 2.0, 40000, 13333));
    // The larger margin is on the height, yet the width is the tighter side.
    QCOMPARE(fullScreenFrame(35000, 26000, 40000, 30000), QRectF(0, 143, 40000, 29714));
    // A tall narrow picture fills the height.
    QCOMPARE(fullScreenFrame(1000, 20000, 40000, 30000), QRectF(19250, 0, 1500, 30000));
    // Same shape as the area, smaller, exact and larger: the whole area.
    for (const double scale : {0.5, 1.0, 3.0}) {
        QCOMPARE(fullScreenFrame(40000 * scale, 30000 * scale, 40000, 30000),
                 QRectF(0, 0, 40000, 30000));
    }
}

void TestDisplayLayout::fullScreenKeepsThinBannersInShape() {
    // A full HD screen above its status bar: 50800 x 27432 HiMetric.
    const double W = 50800;
    const double H = 27432;
    // 900 x 20 pixels, which the margin rule showed at 2.4:1.
    QCOMPARE(fullScreenFrame(23812, 529, W, H), QRectF(0, (H - 1129) / 2, W, 1129));
    // 880 x 4 pixels, which the per-cent correction gave a negative height.
    QCOMPARE(fullScreenFrame(23283, 106, W, H), QRectF(0, (H - 231) / 2, W, 231));
    // Halves round to the even neighbour; the thinnest side is one unit.
    QCOMPARE(fullScreenFrame(80000, 5, 40000, 30000).height(), 2.0);
    QCOMPARE(fullScreenFrame(80000, 7, 40000, 30000).height(), 4.0);
    QCOMPARE(fullScreenFrame(1000000, 1, 40000, 30000), QRectF(0, 14999.5, 40000, 1));
    QCOMPARE(fullScreenFrame(1, 1000000, 40000, 30000), QRectF(19999.5, 0, 1, 30000));
    QVERIFY(fullScreenFrame(0, 100, W, H).isEmpty());
}

void TestDisplayLayout::normalModeCentresAtNaturalSize() {
    QCOMPARE(normalFrame(10000, 6000, 40000, 30000), QRectF(15000, 12000, 10000, 6000));
    // Larger than the window: centred all the same, beyond the edges.
    const QRectF big = normalFrame(60000, 50000, 40000, 30000);
    QCOMPARE(big.center(), QPointF(20000, 15000));
    QCOMPARE(big.size(), QSizeF(60000, 50000));
}

void TestDisplayLayout::slideTimingHoldsAnyAcceptedInterval() {
    // An hour per slide and a week between downloads do not wrap.
    QCOMPARE(SlideIntervalMs("3600"), 3600000);
    QCOMPARE(SlideIntervalMs("8"), 8000);
    QCOMPARE(SlideIntervalMs("99999999999"), std::numeric_limits<int>::max());
    QCOMPARE(DownloadLimit("10000"), 300000LL);
    QCOMPARE(DownloadLimit("15"), 450LL);
    QCOMPARE(TimingCodeIntervalMs("200", 3600000), 14400000LL);
    QCOMPARE(TimingCodeIntervalMs("95", 8000), 100LL);
    QCOMPARE(TimingCodeIntervalMs("99", 8000), -1LL);
    QCOMPARE(TimingCodeIntervalMs("", 8000), 8000LL);
    QVERIFY(TimingCodeShowsAnimation("200") && !TimingCodeShowsAnimation("99"));
}

void TestDisplayLayout::snapshotsKeepTheNewestAndALatest() {
    QTemporaryDir dir;
    QImage shot(32, 18, QImage::Format_RGB32);
    {
        SnapshotWriter writer(dir.path());
        for (int i = 0; i < kSnapshotsKept + 5; ++i) {
            shot.fill(QColor(i % 256, 0, 0));
            QVERIFY(writer.write(shot));
        }
    }
    QDir folder(dir.path());
    const QStringList kept = folder.entryList({"slide-*.png"}, QDir::Files, QDir::Name);
    QCOMPARE(kept.size(), kSnapshotsKept);
    QCOMPARE(kept.front(), SnapshotFileName(6));
    QCOMPARE(QImage(folder.filePath("latest.png")).pixelColor(0, 0).red(),
             (kSnapshotsKept + 4) % 256);
    // A restarted program goes on counting.
    SnapshotWriter again(dir.path());
    QVERIFY(again.write(shot));
    QVERIFY(folder.exists(SnapshotFileName(kSnapshotsKept + 6)));
}

QTEST_MAIN(TestDisplayLayout)
#include "test_display_layout.moc"
