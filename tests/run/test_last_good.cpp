// The kept pictures on disk, the status page as a browser shows it and the
// reports to the fleet service.
#include "LoopbackPeers.h"
#include "PageScript.h"
#include "browser/Browser.h"
#include "platform/Timing.h"
#include "run/LastGood.h"
#include "show/Snapshots.h"
#include "watch/FleetReport.h"
#include "watch/RemoteWatch.h"

#include <QBuffer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QtTest>

namespace {

QByteArray pngOf(QColor colour, int w = 40, int h = 30) {
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

SlideToKeep still(const QString& line2, const QDateTime& fetched, QColor colour = Qt::red) {
    SlideToKeep k;
    k.slide.kind = 1;
    k.slide.statusLine1 = QStringLiteral("(c) maps\tsample");
    k.slide.statusLine2 = line2;
    k.slide.timingCode = QStringLiteral("99");
    k.slide.fetched = fetched;
    k.pictureBytes = pngOf(colour);
    return k;
}

} // namespace

class TestLastGood : public QObject {
    Q_OBJECT
private slots:
    void newestSlidesThatFitAreKept();
    void setSurvivesAnInterruptedWriteAndIsReplacedWhole();
    void damagedIndexPlaysNothingUnsafe();
    void linksInTheFoldersAreReplacedNeverFollowed();
    void statusPageShowsTheScreenInTheBrowser();
    void fleetReportCarriesTheStatus();
    void fleetReportsAreDroppedNeverQueued();
};

void TestLastGood::newestSlidesThatFitAreKept() {
    const QDateTime t0 = QDateTime::currentDateTime();
    const QList<QDateTime> times{t0, t0.addSecs(1), t0.addSecs(2), t0.addSecs(2)};
    // The newest first (the later slide on a tie), skipping what no longer
    // fits but taking older ones that still do; the show's order kept.
    QCOMPARE(SlidesWithinLimit({10, 10, 10, 10}, times, 25), (QList<int>{2, 3}));
    QCOMPARE(SlidesWithinLimit({5, 10, 30, 10}, times, 25), (QList<int>{0, 1, 3}));
    QCOMPARE(SlidesWithinLimit({-1, 1, 1, 1}, times, 1000), (QList<int>{1, 2, 3}));
    QVERIFY(SlidesWithinLimit({10}, {t0}, 5).isEmpty());
}

void TestLastGood::setSurvivesAnInterruptedWriteAndIsReplacedWhole() {
    QTemporaryDir work;
    const QDateTime t = QDateTime::fromString("2026-12-09T14:05:00Z", Qt::ISODate);
    const QString loop = work.filePath("_ANIGIF_1.gif");
    {
        QFile f(loop);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("GIF89a-loop");
    }
    SlideToKeep radar = still("radar", t, Qt::blue);
    radar.slide.kind = 4;
    radar.loopSource = loop;
    LastGoodSet set(work.path());
    QVERIFY(set.save({still("first", t), radar}));

    // A write cut short by a crash: the staging folder without its index.
    QDir().mkpath(work.filePath("LastGood.new"));
    QFile half(work.filePath("LastGood.new/slide-0000.png"));
    QVERIFY(half.open(QIODevice::WriteOnly));
    half.write("half");
    half.close();
    QList<StoredSlide> slides = set.load();
    QCOMPARE(slides.size(), 2);
    QCOMPARE(slides[0].statusLine1, QStringLiteral("(c) maps sample"));
    QCOMPARE(slides[0].statusLine2, QStringLiteral("first"));
    QCOMPARE(slides[0].timingCode, QStringLiteral("99"));
    QCOMPARE(slides[0].fetched, t);
    QCOMPARE(QImage(slides[0].pictureFile).pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(slides[1].kind, 4);
    QFile kept(slides[1].loopFile);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("GIF89a-loop"));

    // The next set replaces the old one whole, and nothing is left beside it.
    QVERIFY(LastGoodSet(work.path(), 1000000).save({still("second", t.addSecs(600), Qt::green)}));
    slides = set.load();
    QCOMPARE(slides.size(), 1);
    QCOMPARE(slides[0].statusLine2, QStringLiteral("second"));
    QCOMPARE(QDir(set.folder()).entryList(QDir::Files).size(), 2);
    QVERIFY(!QFile::exists(work.filePath("LastGood.new")));
    // A set with nothing that fits keeps the one before.
    QVERIFY(!LastGoodSet(work.path(), 10).save({still("third", t.addSecs(900))}));
    QCOMPARE(set.load().value(0).statusLine2, QStringLiteral("second"));
}

void TestLastGood::damagedIndexPlaysNothingUnsafe() {
    QTemporaryDir work;
    QDir().mkpath(work.filePath("LastGood"));
    QFile index(work.filePath("LastGood/slides.txt"));
    QVERIFY(index.open(QIODevice::WriteOnly));
    index.write("skyglance last good 1\n"
                "1\t../../etc/passwd\t\t\t2026-12-09T14:05:00Z\ta\tb\n"
                "4\tok.png\t/abs/loop.gif\t\t2026-12-09T14:05:00Z\ta\tb\n"
                "3\tok.png\t\t\t2026-12-09T14:05:00Z\ta\tb\n"
                "1\tok.png\t\t\tnot a time\ta\tb\n"
                "1\tok.png\t\t\t2026-12-09T14:05:00Z\ta\n"
                "1\tok.png\t\t95\t2026-12-09T14:05:00Z\tline 1\tline 2\n");
    index.close();
    const QList<StoredSlide> slides = LastGoodSet(work.path()).load();
    QCOMPARE(slides.size(), 1);
    QCOMPARE(slides[0].pictureFile, work.filePath("LastGood/ok.png"));
    QCOMPARE(LastGoodStatusText(1, slides[0].fetched.toLocalTime()).left(11),
             QStringLiteral("Picture of "));
}

void TestLastGood::linksInTheFoldersAreReplacedNeverFollowed() {
    QTemporaryDir work;
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath("victim.txt");
    QFile file(victim);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not yours");
    file.close();
    // The staging folder and the set itself are links to a folder elsewhere.
    QVERIFY(QFile::link(elsewhere.path(), work.filePath("LastGood.new")));
    QVERIFY(QFile::link(elsewhere.path(), work.filePath("LastGood")));
    const QDateTime t = QDateTime::fromString("2026-12-09T14:05:00Z", Qt::ISODate);
    LastGoodSet set(work.path());
    QVERIFY(set.save({still("first", t)}));
    QVERIFY(set.save({still("second", t.addSecs(600))}));
    QCOMPARE(set.load().value(0).statusLine2, QStringLiteral("second"));
    QVERIFY(!QFileInfo(set.folder()).isSymLink());
    QVERIFY(!QFileInfo::exists(work.filePath("LastGood.new")));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{"victim.txt"});

    // A snapshot at a linked name replaces the link.
    QVERIFY(QDir().mkpath(work.filePath("shots")));
    QVERIFY(QFile::link(victim, work.filePath("shots/latest.png")));
    QImage shot(8, 8, QImage::Format_RGB32);
    shot.fill(Qt::green);
    QVERIFY(SnapshotWriter(work.filePath("shots")).write(shot));
    QCOMPARE(QImage(work.filePath("shots/latest.png")).pixelColor(0, 0), QColor(Qt::green));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("not yours"));
}

void TestLastGood::statusPageShowsTheScreenInTheBrowser() {
    QVERIFY(!ParseWatchAddress("host:port"));
    QCOMPARE(ParseWatchAddress("8099")->host, std::string("127.0.0.1"));
    QCOMPARE(ParseWatchAddress("[::1]:8099")->host, std::string("::1"));
    QString error;
    auto watch = RemoteWatch::start(QStringLiteral("127.0.0.1:0"), QString(), &error);
    QVERIFY2(watch, qPrintable(error));
    WatchStatus w;
    w.slidesShown = 12;
    w.slide = 2;
    w.kind = 4;
    w.address = QStringLiteral("http://x/radar.gif?a=1&b=<2>");
    w.statusLine1 = QStringLiteral("(c) radar");
    w.statusLine2 = QStringLiteral("Rain radar");
    w.lastGood = true;
    w.showingSince = QDateTime::currentDateTime();
    w.cycleStarted = QDateTime::currentDateTime();
    w.cycleDurationMs = 12500;
    w.picturesFetched = 3;
    w.failures = 1;
    w.service = QStringLiteral("waiting");
    w.screen = QImage(1920, 1080, QImage::Format_RGB32);
    w.screen.fill(Qt::darkCyan);
    watch->setWaiting(QStringLiteral("a message box waits for an answer: U ERR"));
    watch->publish(w); // a new slide keeps the reason

    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(watch->port());
    platform::BrowserView view;
    view.resize(1280, 900);
    view.show();
    view.navigate(base + "/");
    QVERIFY(view.waitForNavigation(20000));
    QVERIFY(view.navigationSucceeded());
    const auto text = [&](const char* id) {
        return evaluate(view, QStringLiteral("document.getElementById('%1').textContent")
                                  .arg(QLatin1String(id)))
            .toString();
    };
    QCOMPARE(text("slide"), QStringLiteral("3"));
    QCOMPARE(text("address"), w.address); // shown as text, not as markup
    QVERIFY(text("showing").startsWith("last good pictures"));
    QVERIFY(text("cycle").contains("12.5 s, 3 pictures fetched, 1 failed"));
    QCOMPARE(text("service"), QStringLiteral("waiting"));
    QCOMPARE(text("waiting"), QStringLiteral("a message box waits for an answer: U ERR"));
    QTRY_COMPARE_WITH_TIMEOUT(
        evaluate(view, "document.getElementById('screen').naturalWidth").toInt(), 960, 10000);

    QNetworkAccessManager net;
    std::unique_ptr<QNetworkReply> reply(net.get(QNetworkRequest(QUrl(base + "/status.json"))));
    QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 10000);
    const QJsonObject json = QJsonDocument::fromJson(reply->readAll()).object();
    QCOMPARE(json["showing"].toString(), QStringLiteral("last good"));
    QCOMPARE(json["slide"].toObject()["number"].toInt(), 2);
    QCOMPARE(json["lastCycle"].toObject()["failures"].toInt(), 1);
    QCOMPARE(json["waiting"].toString(),
             QStringLiteral("a message box waits for an answer: U ERR"));
    watch->setWaiting(QString());
    std::unique_ptr<QNetworkReply> again(net.get(QNetworkRequest(QUrl(base + "/status.json"))));
    QTRY_VERIFY_WITH_TIMEOUT(again->isFinished(), 10000);
    const QJsonObject after = QJsonDocument::fromJson(again->readAll()).object();
    QCOMPARE(after["waiting"].toString(), QString());
    QCOMPARE(after["slide"].toObject()["number"].toInt(), 2);

    // Of several reasons the newest still standing is told; one told again
    // keeps its place.
    WaitReasons reasons;
    QVERIFY(reasons.set("service", "Waiting for Internet connection"));
    QVERIFY(reasons.set("box", "a message box waits"));
    QVERIFY(!reasons.set("service", "Waiting for Internet connection"));
    QCOMPARE(reasons.current(), QStringLiteral("a message box waits"));
    QVERIFY(reasons.set("box", QString()));
    QCOMPARE(reasons.current(), QStringLiteral("Waiting for Internet connection"));
    // Read-only.
    std::unique_ptr<QNetworkReply> post(net.post(QNetworkRequest(QUrl(base + "/")), "x"));
    QTRY_VERIFY_WITH_TIMEOUT(post->isFinished(), 10000);
    QCOMPARE(post->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 405);
}

void TestLastGood::fleetReportCarriesTheStatus() {
    FleetSettings who;
    who.name = QStringLiteral("lobby \"1\"\\\nHall \u00e9t\u00e9");
    who.version = QStringLiteral("7.8.12");
    WatchStatus w;
    w.slide = 2;
    w.address = QStringLiteral("http://x/radar.gif?a=1&b=<2>\"");
    w.showingSince = QDateTime(QDate(2026, 12, 10), QTime(9, 0), Qt::UTC);
    w.cycleDurationMs = 31000;
    w.picturesFetched = 27;
    w.failures = 1;
    w.networkUp = true;
    w.service = QStringLiteral("reachable");
    w.screen = QImage(1920, 1080, QImage::Format_RGB32);
    w.screen.fill(Qt::darkCyan);
    const QByteArray body = FleetReportJson(who, w);
    QJsonParseError parsed;
    const QJsonObject json = QJsonDocument::fromJson(body, &parsed).object();
    QCOMPARE(parsed.error, QJsonParseError::NoError);
    QCOMPARE(json["name"].toString(), who.name);
    QCOMPARE(json["version"].toString(), QStringLiteral("7.8.12"));
    QCOMPARE(json["lastGood"], QJsonValue(false));
    QCOMPARE(json["since"].toString(), QStringLiteral("2026-12-10T09:00:00Z"));
    QCOMPARE(json["slide"].toInt(), 2); // from 0, as status.json numbers it
    QCOMPARE(json["address"].toString(), w.address);
    QCOMPARE(json["cycleStarted"].toString(), QString()); // no cycle has ended yet
    QCOMPARE(json["cycleMs"].toInt(), 31000);
    QCOMPARE(json["fetched"].toInt(), 27);
    QCOMPARE(json["failed"].toInt(), 1);
    QCOMPARE(json["network"].toString(), QStringLiteral("up"));
    QCOMPARE(json["service"].toString(), QStringLiteral("reachable"));
    const auto thumbnail = [](const QJsonObject& report) {
        return QImage::fromData(QByteArray::fromBase64(report["thumbnail"].toString().toLatin1()),
                                "JPG");
    };
    QCOMPARE(thumbnail(json).size(), QSize(480, 270));
    const QColor middle = thumbnail(json).pixelColor(240, 135); // JPEG is near, not exact
    QVERIFY2(middle.red() < 8 && qAbs(middle.green() - 128) < 8 && qAbs(middle.blue() - 128) < 8,
             qPrintable(middle.name()));

    // A portrait screen of noise as coarse as the thumbnail's pixels, the
    // hardest picture for JPEG, still fits the service's bound, with its
    // picture.
    QImage noise(480, 853, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x) {
            line[x] = QRandomGenerator::global()->generate() | 0xff000000u;
        }
    }
    noise = noise.scaled(1080, 1920);
    w.screen = noise;
    const QByteArray busy = FleetReportJson(who, w);
    QVERIFY(busy.size() <= kFleetReportMaxBytes);
    QCOMPARE(thumbnail(QJsonDocument::fromJson(busy).object()).width(), 480);

    // Off unless asked for; an address the reports cannot go to, or a token
    // that would break its header line, is refused with a reason.
    QString error;
    qunsetenv("SKYGLANCE_FLEET");
    QVERIFY(!FleetSettingsFromEnvironment("7", &error) && error.isEmpty());
    qputenv("SKYGLANCE_FLEET", "ftp://fleet.example");
    QVERIFY(!FleetSettingsFromEnvironment("7", &error) && error.contains("SKYGLANCE_FLEET"));
    qputenv("SKYGLANCE_FLEET", "https://fleet.example/base/");
    qputenv("SKYGLANCE_FLEET_TOKEN", "abc\r\nX-Other: 1");
    error.clear();
    QVERIFY(!FleetSettingsFromEnvironment("7", &error) && error.contains("TOKEN"));
    qputenv("SKYGLANCE_FLEET_TOKEN", "abc123");
    qunsetenv("SKYGLANCE_SCREEN_NAME");
    const std::optional<FleetSettings> fleet = FleetSettingsFromEnvironment("7", &error);
    QVERIFY(fleet);
    QCOMPARE(fleet->name, QSysInfo::machineHostName());
    QCOMPARE(fleet->token, QByteArray("abc123"));
    QCOMPARE(fleet->intervalMs, platform::scaledMs(60000));
    QVERIFY(!FleetTokenInClear(*fleet));
    FleetSettings plain = *fleet;
    plain.service = QUrl(QStringLiteral("http://fleet.example"));
    QVERIFY(FleetTokenInClear(plain));
    plain.service = QUrl(QStringLiteral("http://127.0.0.1:8080"));
    QVERIFY(!FleetTokenInClear(plain));
    qunsetenv("SKYGLANCE_FLEET");
    qunsetenv("SKYGLANCE_FLEET_TOKEN");
}

// The show offers a status after every slide; what finds a report still in
// flight is dropped, a service that is away costs nothing, and a service that
// never answers is given up on at the time limit.
void TestLastGood::fleetReportsAreDroppedNeverQueued() {
    WatchStatus w;
    w.slide = 0;
    w.screen = QImage(800, 600, QImage::Format_RGB32);
    w.screen.fill(Qt::white);
    FleetSettings away;
    away.service = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(nettest::deadPort()));
    away.intervalMs = 0;
    away.timeLimitMs = 60000;
    FleetReport report(away);
    QSignalSpy ended(&report, &FleetReport::reportEnded);
    WatchStatus beforeAnySlide = w;
    beforeAnySlide.slide = -1;
    QVERIFY(!report.offer(beforeAnySlide));
    QVERIFY(report.wantsScreen());
    QVERIFY(report.offer(w)); // returns at once, the report in flight
    QVERIFY(report.inFlight() && !report.wantsScreen());
    QVERIFY(!report.offer(w));
    QVERIFY(!report.offer(w));
    QCOMPARE(report.reportsDropped(), 2);
    // Refused at once, long before the time limit.
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 20000);
    const auto outcome = ended.at(0).at(0).value<FleetOutcome>();
    QCOMPARE(outcome.httpStatus, 0);
    QVERIFY(!outcome.timedOut);
    QVERIFY(!report.inFlight());
    QTest::qWait(200);
    QCOMPARE(ended.count(), 1); // the dropped ones never went
    QCOMPARE(report.reportsSent(), 1);
    QVERIFY(report.offer(w));
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 20000);

    // At most one per interval.
    FleetSettings minute = away;
    minute.intervalMs = 60000;
    FleetReport slow(minute);
    QVERIFY(slow.offer(w));
    QSignalSpy slowEnded(&slow, &FleetReport::reportEnded);
    QTRY_COMPARE_WITH_TIMEOUT(slowEnded.count(), 1, 20000);
    QVERIFY(!slow.wantsScreen());
    QVERIFY(!slow.offer(w));
    QCOMPARE(slow.reportsDropped(), 0);

    // A service that takes the connection and never answers.
    nettest::HttpPeer silent(nettest::HttpPeer::Mode::Silent);
    FleetSettings hung = away;
    hung.service = QUrl(silent.url());
    hung.timeLimitMs = 300;
    FleetReport waiting(hung);
    QSignalSpy waitingEnded(&waiting, &FleetReport::reportEnded);
    QVERIFY(waiting.offer(w));
    QTRY_COMPARE_WITH_TIMEOUT(waitingEnded.count(), 1, 20000);
    QVERIFY(waitingEnded.at(0).at(0).value<FleetOutcome>().timedOut);
    QCOMPARE(silent.requestsSeen(), 1);
}

QTEST_MAIN(TestLastGood)
#include "test_last_good.moc"
