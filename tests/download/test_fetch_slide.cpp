// Every source code against the real catalogue service and the real browser
// engine: what each entry becomes, which work files it leaves, and how the
// failures end.
#include "CatalogueServiceLauncher.h"
#include "FileHelpers.h"
#include "LoopbackPeers.h"
#include "anigif/ucAniGIF.h"
#include "app/ShowAssembly.h"
#include "browser/Browser.h"
#include "download/FetchPrimitives.h"
#include "download/PageCapture.h"
#include "download/PictureLoading.h"
#include "download/PictureSeries.h"
#include "download/SourceCodes.h"
#include "platform/Dialogs.h"
#include "platform/Timing.h"
#include "run/DownloadCycle.h"
#include "run/Scheduler.h"
#include "settings/HomeTown.h"
#include "shell/FormPicture.h"
#include "show/PictureBox.h"
#include "show/Presenter.h"
#include "show/StatusBar.h"
#include "ui/ConfigurationPanel.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString evaluate(platform::BrowserView& view, const QString& script) {
    QString result;
    bool done = false;
    view.page()->runJavaScript(script, [&](const QVariant& v) {
        result = v.toString();
        done = true;
    });
    QDeadlineTimer deadline(10000);
    while (!done && !deadline.hasExpired()) {
        QTest::qWait(20);
    }
    return result;
}

QSize bmpSize(const QString& file) {
    QImageReader reader(file, "bmp");
    return reader.canRead() ? reader.size() : QSize();
}

struct ProcessLook {
    int parent = 0;
    char state = '?';
};

std::map<int, ProcessLook> lookAtProcesses() {
    std::map<int, ProcessLook> seen;
    for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const int pid = name.toInt(&isPid);
        const QByteArray stat = isPid ? readFile("/proc/" + name + "/stat") : QByteArray();
        // "pid (name) state parent ...", where the name may hold anything.
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && !fields[0].isEmpty()) {
            seen[pid] = {fields[1].toInt(), fields[0].at(0)};
        }
    }
    return seen;
}

bool startedByThisTest(int pid, const std::map<int, ProcessLook>& processes) {
    for (auto p = processes.find(pid); p != processes.end(); p = processes.find(p->second.parent)) {
        if (p->second.parent == QCoreApplication::applicationPid()) {
            return true;
        }
    }
    return false;
}

// The processes under this test (the engine's, the catalogue service) that
// stay runnable, on a core or waiting for one, at every look over a second:
// a renderer running a script that never ends.
QSet<int> spinningHelpers() {
    QSet<int> spinning;
    for (int look = 0; look < 10; ++look) {
        const std::map<int, ProcessLook> processes = lookAtProcesses();
        QSet<int> runnable;
        for (const auto& [pid, process] : processes) {
            if (process.state == 'R' && startedByThisTest(pid, processes)) {
                runnable.insert(pid);
            }
        }
        spinning = look == 0 ? runnable : spinning & runnable;
        QTest::qWait(100);
    }
    return spinning;
}

bool isColour(const QImage& picture, QRgb colour) {
    const QRgb centre = picture.pixel(picture.width() / 2, picture.height() / 2);
    return std::abs(qRed(centre) - qRed(colour)) < 16 &&
           std::abs(qGreen(centre) - qGreen(colour)) < 16 &&
           std::abs(qBlue(centre) - qBlue(colour)) < 16;
}

} // namespace

class TestFetchSlide : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void everySourceCodeBecomesSlides();
    void seriesTakeTheNextFreeSlides();
    void pageFailuresEndInTheErrorPicture();
    void animatedCopiesAreSmallGifWhateverTheAddress();
    void linksAtWorkFileNamesAreReplacedNeverWrittenThrough();
    void captureFillsTheScreenAndRestoresTheWindow();
    void hungPageIsEndedAndTheNextPageShows();

private:
    RunState& state() { return form_->state; }
    const Slide& slideAt(int s) { return form_->cycles().slides().at(s); }
    QString site(const QString& path) const { return service_->site + path; }
    // The address with its code in place of the "h".
    QString coded(char code, const QString& path) const {
        return QLatin1Char(code) + site(path).mid(1);
    }
    QString work(const QString& suffix) const {
        return home_->path() + QStringLiteral("/Skyglance7_Work/Skyglance7_Img") + suffix;
    }
    QString phpGif() const { return home_->path() + QStringLiteral("/Skyglance_PHP/PHP.gif"); }
    // Puts addresses on the work list and fetches them onto consecutive slides,
    // as the download cycle does; returns the slides filled.
    int fetchAll(const QStringList& entries);
    bool isErrorPicture(int slide) {
        return slideAt(slide).picture.cacheKey() == form_->ErrLoadPicture.cacheKey();
    }

    std::unique_ptr<CatalogueServiceLauncher> service_;
    std::unique_ptr<TemporaryHome> home_;
    platform::ScriptedDialogs dialogs_;
    std::unique_ptr<FormPicture> form_;
};

void TestFetchSlide::initTestCase() {
    service_ = std::make_unique<CatalogueServiceLauncher>();
    QVERIFY2(service_->start(), qPrintable(service_->why()));
}

void TestFetchSlide::init() {
    home_ = std::make_unique<TemporaryHome>();
    dialogs_.clear();
    FormPicture::Options options;
    // Empty: the screen's own size (1920 x 1080 under the Xvfb run).
    options.dialogs = &dialogs_;
    form_ = ShowAssembly::build(options);
    form_->show();
    QVERIFY(form_->Form_Load());
    form_->generalClock.stop();
    form_->homeTown().LoadTown();
}

void TestFetchSlide::cleanup() {
    form_.reset();
}

int TestFetchSlide::fetchAll(const QStringList& entries) {
    form_->cycles().restartSlideMap();
    for (int e = 0; e < entries.size(); ++e) {
        state().listImageSELECTED[e] = entries.at(e);
        form_->cycles().appendToSlideMap(static_cast<int16_t>(10 + e)); // catalogue row 9 + e
    }
    state().cntImagesToLoad = static_cast<int16_t>(entries.size());
    int slide = 0;
    for (int e = 0; e < entries.size(); ++e) {
        slide += form_->sourceCodes().FetchSlide(e, slide, form_->cycles());
    }
    return slide;
}

void TestFetchSlide::everySourceCodeBecomesSlides() {
    form_->homeTown().PARAM[0]->setText(QString::fromUtf8("São Paulo"));
    form_->homeTown().PARAM[5]->setText(QStringLiteral("Italy"));
    const QStringList entries = {
        site("/site/maps/europe_pressure.jpg"),
        coded('4', "/site/radar/alps.gif"),
        coded('2', "/site/forecast/today.html"),
        coded('6', "/site/pages/radar_news.html"),
        coded('6', "/site/pages/cloud_news.html"),
        coded('3', "/site/forecast/params.html?town=<p01>&country=<p06>"),
    };
    QSignalSpy statusShown(&form_->cycles(), &DownloadCycles::statusTextChanged);
    QCOMPARE(fetchAll(entries), 6);
    // The map's restart shows the status lines it set.
    QCOMPARE(statusShown.count(), 1);
    const QSize screen = form_->size();
    for (int s = 0; s < 6; ++s) {
        QVERIFY2(slideAt(s).loaded, qPrintable(entries.at(s)));
    }
    // A plain picture: its work file, kind 1.
    QCOMPARE(slideAt(0).kind, 1);
    QVERIFY(QFile::exists(work(".jpg")));
    QCOMPARE(slideAt(0).picture.size(), QSize(800, 600));
    // An animated GIF: kind 4 and the first copy of the cycle.
    QCOMPARE(slideAt(1).kind, 4);
    QVERIFY(readFile(work("_ANIGIF_1.gif")).startsWith("GIF8"));
    // Pages become screen-sized bitmaps.
    QCOMPARE(slideAt(2).kind, 2);
    QCOMPARE(slideAt(5).kind, 2);
    QCOMPARE(slideAt(5).picture.size(), screen);
    QCOMPARE(bmpSize(work("HTTP_IMG.bmp")), screen);
    // The page was asked with the town values, encoded where they must be.
    QCOMPARE(evaluate(*form_->webvis, "document.getElementById('raw').textContent"),
             QStringLiteral("town=S%C3%A3o%20Paulo&country=Italy"));
    // First images of pages: a GIF loop plays, a JPEG is a still picture;
    // the JPEG page names its image relative to itself.
    QCOMPARE(slideAt(3).kind, 4);
    QVERIFY(readFile(work("_ANIGIF_2.gif")).startsWith("GIF8"));
    QCOMPARE(slideAt(4).kind, 1);
    QCOMPARE(slideAt(4).picture.size(), QSize(800, 600));
    QVERIFY(readFile(phpGif()).startsWith("\xFF\xD8"));
    QVERIFY(!QFile::exists(work("_ANIGIF_3.gif")));
    // Every slide keeps its own catalogue row.
    for (int s = 0; s < 6; ++s) {
        QCOMPARE(slideAt(s).catalogueRow + 1, 10 + s);
    }
    QVERIFY(!form_->webvis->isVisible());
}

void TestFetchSlide::seriesTakeTheNextFreeSlides() {
    form_->statusBar().lCountDown->clear();
    const QStringList entries = {
        site("/site/maps/italy_wind.jpg"),
        coded('5', "/site/series/hour_*.png,1,1,3,2"),
        coded('5', "/site/series/none.png,1,1,3,2"),   // no "*": a message, no slide
        coded('5', "/site/series/hour_*.png,1,1,0,2"), // nothing to show
        site("/site/maps/france_rain.jpg"),
    };
    QCOMPARE(fetchAll(entries), 5);
    QCOMPARE(dialogs_.shownTexts().size(), 1);
    QVERIFY(dialogs_.shownTexts().front().startsWith("Proc ZizozEdezuvu Error "));
    QCOMPARE(form_->statusBar().lCountDown->text(), QStringLiteral("***"));
    // The series pictures were found under their padded numbers.
    for (int s = 1; s <= 3; ++s) {
        QVERIFY(slideAt(s).loaded);
        QCOMPARE(slideAt(s).picture.size(), QSize(640, 480));
        QCOMPARE(slideAt(s).catalogueRow + 1, 11);
    }
    // The picture behind the series is neither swallowed nor given its row.
    QVERIFY(slideAt(4).loaded);
    QCOMPARE(slideAt(4).catalogueRow + 1, 14);
    QCOMPARE(slideAt(4).picture.size(), QSize(800, 600));
    // Three pictures from one entry, and two entries that gave none.
    QCOMPARE(state().cntImagesToLoad, int16_t(5 + 2 - 1 - 1));
}

void TestFetchSlide::pageFailuresEndInTheErrorPicture() {
    // An old page image must never pass for a new one.
    QFile old(phpGif());
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(readFile(QStringLiteral(":/pictures/ErrLoadPicture.png")));
    old.close();

    const quint16 dead = nettest::deadPort();
    nettest::HttpPeer brokenImage(
        nettest::HttpPeer::Mode::Answer,
        nettest::HttpPeer::response(
            200,
            QStringLiteral("<html><body><img src=\"http://127.0.0.1:%1/map.gif\"></body></html>")
                .arg(dead)
                .toUtf8()));
    const QStringList entries = {
        coded('6', "/site/test/no_image.html"),
        QLatin1Char('6') + brokenImage.url("/page.html").mid(1),
        coded('2', "/site/test/never.html"),
        coded('2', "/site/test/alert.html"),
    };
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(fetchAll(entries), 4);
    for (int s : {0, 1}) {
        QVERIFY(!slideAt(s).loaded);
        QCOMPARE(slideAt(s).kind, 1);
        QVERIFY(isErrorPicture(s));
    }
    QVERIFY(!QFile::exists(phpGif()));
    // A page that never finishes is captured as it shows when the wait ends.
    QCOMPARE(slideAt(2).kind, 2);
    QVERIFY(slideAt(2).loaded);
    QVERIFY(clock.elapsed() < 60000);
    // Alerts and script errors stay silent: no box, the page is captured.
    QCOMPARE(slideAt(3).kind, 2);
    QVERIFY(dialogs_.shown().isEmpty());
    QVERIFY(form_->webvis->keptScriptMessages().join('\n').contains("alert:"));
}

void TestFetchSlide::animatedCopiesAreSmallGifWhateverTheAddress() {
    // The same loop under names the site would never use.
    QVERIFY(form_->fetch().DownloadFile(site("/site/radar/clouds.gif"), work(".src"), ".src"));
    nettest::HttpPeer loop(nettest::HttpPeer::Mode::Answer,
                           nettest::HttpPeer::response(200, readFile(work(".src")), "image/gif"));
    const QStringList entries = {
        QLatin1Char('4') + loop.url("/RADAR.GIF").mid(1),
        QLatin1Char('4') + loop.url("/radar.gif?t=1").mid(1),
        coded('4', "/site/maps/alps_snow.png"),
    };
    QCOMPARE(fetchAll(entries), 3);
    QCOMPARE(slideAt(0).kind, 4);
    QCOMPARE(slideAt(1).kind, 4);
    QVERIFY(QFile::exists(work("_ANIGIF_1.gif")));
    QVERIFY(QFile::exists(work("_ANIGIF_2.gif")));
    QCOMPARE(slideAt(2).kind, 1);
    QVERIFY(!QFile::exists(work("_ANIGIF_3.gif")));

    // Each slide plays its own copy; a copy that is gone shows the still
    // picture and marks the slide, never the loop before it.
    form_->panel().txtDisplay->setText(QStringLiteral("Full_Screen"));
    state().GLOBAL_IMAGE_CURRENT_POINTER = 0;
    form_->scheduler().showSlide(0);
    QVERIFY(form_->ucAniGIF1->isLoaded());
    QVERIFY(form_->ucAniGIF1->isVisible());
    QFile::remove(work("_ANIGIF_2.gif"));
    state().GLOBAL_IMAGE_CURRENT_POINTER = 1;
    form_->scheduler().showSlide(1);
    QVERIFY(!form_->ucAniGIF1->isLoaded());
    QVERIFY(!form_->ucAniGIF1->isVisible());
    QVERIFY(form_->fotoBrowser->isVisible());
    QVERIFY(!slideAt(1).loaded);
}

void TestFetchSlide::linksAtWorkFileNamesAreReplacedNeverWrittenThrough() {
    // Links planted at every name a cycle writes, to files elsewhere and to a
    // file that does not exist yet.
    QTemporaryDir elsewhere;
    const QStringList names = {work(".jpg"), work("_ANIGIF_1.gif"), work("HTTP_IMG.bmp"), phpGif(),
                               work(".gif")};
    for (int n = 0; n + 1 < names.size(); ++n) {
        QFile victim(elsewhere.filePath(QString::number(n)));
        QVERIFY(victim.open(QIODevice::WriteOnly));
        victim.write("not yours");
        victim.close();
        QVERIFY(QFile::link(victim.fileName(), names.at(n)));
    }
    QVERIFY(QFile::link(elsewhere.filePath("new"), names.back()));
    QCOMPARE(fetchAll({site("/site/maps/europe_pressure.jpg"), coded('4', "/site/radar/alps.gif"),
                       coded('2', "/site/forecast/today.html"),
                       coded('6', "/site/pages/cloud_news.html")}),
             4);
    for (int s = 0; s < 4; ++s) {
        QVERIFY(slideAt(s).loaded);
    }
    for (int n = 0; n + 1 < names.size(); ++n) {
        QCOMPARE(readFile(elsewhere.filePath(QString::number(n))), QByteArray("not yours"));
    }
    QVERIFY(!QFile::exists(elsewhere.filePath("new")));
    for (const QString& name : names) {
        QVERIFY2(!QFileInfo(name).isSymLink() && QFileInfo(name).size() > 0, qPrintable(name));
    }
}

void TestFetchSlide::captureFillsTheScreenAndRestoresTheWindow() {
    PageCapture& capture = form_->pageCapture();
    // The end of a document outside a capture means nothing.
    form_->pageCapture().webvis_DocumentDone();
    QCOMPARE(state().WebPageToImgEnd, kFalse);

    state().listImageSELECTED[0] = coded('2', "/site/forecast/week.html");
    QCOMPARE(form_->sourceCodes().FetchSlide(0, 0, form_->cycles()), 1);
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QCOMPARE(bmpSize(work("HTTP_IMG.bmp")), screen);
    const QString expected = qEnvironmentVariable("SKYGLANCE_EXPECT_SCREEN");
    if (!expected.isEmpty()) {
        QCOMPARE(QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height()), expected);
    }
    // The page is really in the picture: not a blank bitmap.
    const QImage shot = capture.Picture_HTTP();
    QVERIFY(shot.pixel(0, 0) != shot.pixel(screen.width() / 2, screen.height() / 2) ||
            shot.pixel(10, 10) != shot.pixel(screen.width() - 10, screen.height() - 10));
    QVERIFY(capture.lastPageFinished());
    QCOMPARE(state().IsWebPage, kTrue);
    QCOMPARE(state().Http2BmpRunning, kFalse);
    QVERIFY(!capture.isTopmost());
    QVERIFY(!(form_->windowHandle()->flags() & Qt::WindowStaysOnTopHint));
    QVERIFY(form_->statusBar().whoWeAre->isVisible());
    QVERIFY(form_->DownloadPreview->isVisible());
    QVERIFY(form_->fotoBrowser->isVisible());
    QVERIFY(!form_->webvis->isVisible());
}

void TestFetchSlide::hungPageIsEndedAndTheNextPageShows() {
    // Script loops while a page loads and once it has loaded, captured and
    // asked for its first image, each followed by a good page of the site.
    const auto page = [](const QByteArray& body) {
        return nettest::HttpPeer::response(200, "<html><body style=\"margin:0;" + body +
                                                    "</body></html>");
    };
    nettest::HttpPeer loopWhileLoading(nettest::HttpPeer::Mode::Answer,
                                       page("background:#f00\"><script>for(;;){}</script>"));
    nettest::HttpPeer loopWhenLoaded(
        nettest::HttpPeer::Mode::Answer,
        page("background:#f00\" onload=\"setTimeout(function(){for(;;){}},0)\">"));
    nettest::HttpPeer green(nettest::HttpPeer::Mode::Answer, page("background:#0f0\">"));
    nettest::HttpPeer blue(nettest::HttpPeer::Mode::Answer, page("background:#00f\">"));
    const QList<std::pair<char, nettest::HttpPeer*>> entries = {{'2', &loopWhileLoading},
                                                                {'2', &green},
                                                                {'2', &loopWhenLoaded},
                                                                {'6', &loopWhileLoading},
                                                                {'2', &blue}};
    const int captureLimit =
        platform::scaledMs(kCaptureFirstWaitMs + kPageLoadLimitMs + kCaptureSettleWaitMs +
                           kCaptureTopmostWaitMs + kRendererAnswerLimitMs);
    const int firstImageLimit = 2 * platform::scaledMs(kPageLoadLimitMs);
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(50);
    form_->cycles().restartSlideMap();
    for (int s = 0; s < entries.size(); ++s) {
        const auto [code, peer] = entries.at(s);
        state().listImageSELECTED[s] = QLatin1Char(code) + peer->url("/page.html").mid(1);
        QElapsedTimer clock;
        clock.start();
        ticks = 0;
        QCOMPARE(form_->sourceCodes().FetchSlide(s, s, form_->cycles()), 1);
        QVERIFY(clock.elapsed() < (code == '2' ? captureLimit : firstImageLimit) + 2000);
        // The wait kept the thread serving its timers.
        QVERIFY(ticks > clock.elapsed() / 200);
    }
    for (int s : {0, 2, 3}) {
        QVERIFY(!slideAt(s).loaded);
        QVERIFY(isErrorPicture(s));
    }
    QVERIFY(isColour(slideAt(1).picture, qRgb(0, 255, 0)));
    QVERIFY(isColour(slideAt(4).picture, qRgb(0, 0, 255)));
    QVERIFY(spinningHelpers().isEmpty());
}

QTEST_MAIN(TestFetchSlide)
#include "test_fetch_slide.moc"
