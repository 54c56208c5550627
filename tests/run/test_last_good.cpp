// The kept pictures on disk and the status page as a browser shows it.
#include "browser/Browser.h"
#include "run/LastGood.h"
#include "show/Snapshots.h"
#include "watch/RemoteWatch.h"

#include <QBuffer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
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

QVariant evaluate(platform::BrowserView& view, const QString& script) {
    QVariant result;
    bool arrived = false;
    view.page()->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        arrived = true;
    });
    QDeadlineTimer deadline(10000);
    while (!arrived && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return result;
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

QTEST_MAIN(TestLastGood)
#include "test_last_good.moc"
