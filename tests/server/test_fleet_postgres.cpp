// The fleet store on a real PostgreSQL, started by scripts/start-postgres.sh:
// its contract as two service instances sharing it see it, through a
// restart of the database. Then, when the service has the fleet, two real
// instances behind the real nginx front of deploy/ sharing one database.
#include "FileHelpers.h"
#include "FleetStore.h"
#include "NginxFront.h"
#include "PostgresCluster.h"
#include "ServerTestSupport.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>
#include <atomic>
#include <libpq-fe.h>
#include <thread>
#include <vector>

using skyglance::catalogue::FleetReport;
using skyglance::catalogue::FleetScreen;
using skyglance::catalogue::FleetStore;
using skyglance::catalogue::openPostgresFleetStore;
using Outcome = FleetStore::Outcome;

namespace {

// A column of the database as it stands, read past the store.
QString storedValue(const std::string& url, const char* sql) {
    PGconn* connection = PQconnectdb(url.c_str());
    PGresult* result = PQexec(connection, sql);
    const QString value =
        PQntuples(result) == 1 ? QString::fromUtf8(PQgetvalue(result, 0, 0)) : QString();
    PQclear(result);
    PQfinish(connection);
    return value;
}

QByteArray jpegOfScreen() {
    QImage image(480, 270, QImage::Format_RGB32);
    image.fill(QColor(20, 90, 160));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

FleetReport reportOf(const std::string& name, int slide) {
    FleetReport report;
    report.name = name;
    report.version = "7.8.12";
    report.lastGood = true;
    report.since = "2026-12-10T09:00:00Z";
    report.slide = slide;
    report.address = "http://example.org/radar?x=1&y='2'";
    report.cycleStarted = "2026-12-10T09:40:00Z";
    report.cycleMs = 31000;
    report.fetched = 27;
    report.failed = 1;
    report.network = "up";
    report.service = "reachable";
    report.thumbnailJpeg = jpegOfScreen().toStdString();
    return report;
}

// Both stores store the same report at the same moment from several
// threads: the one-statement check lets exactly one through.
int storedOfRace(FleetStore& a, FleetStore& b, const FleetReport& report, std::int64_t nowMs) {
    std::atomic<int> stored = 0;
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&, i] {
            FleetStore& store = i % 2 ? a : b;
            if (store.storeReport(report, nowMs, 10000) == Outcome::Stored) {
                ++stored;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return stored;
}

} // namespace

class TestFleetPostgres : public QObject {
    Q_OBJECT

private slots:
    void twoInstancesShareOneStoreThroughARestart();
    void twoServicesBehindNginxShareOneDatabase();
};

void TestFleetPostgres::twoInstancesShareOneStoreThroughARestart() {
    PostgresCluster pg;
    START_POSTGRES(pg);
    // Two instances starting at once both find (or make) the tables.
    std::unique_ptr<FleetStore> a;
    std::unique_ptr<FleetStore> b;
    std::string errorA;
    std::string errorB;
    std::thread opening([&] { a = openPostgresFleetStore(pg.url, errorA); });
    b = openPostgresFleetStore(pg.url, errorB);
    opening.join();
    QVERIFY2(a && b, (errorA + errorB).c_str());

    std::string error;
    const std::string stale = a->addScreen("lobby-1", error);
    const std::string token = a->addScreen("lobby-1", error);
    QVERIFY2(!token.empty() && token != stale, error.c_str());
    QVERIFY(!a->addScreen("bar-2", error).empty());
    QCOMPARE(b->screenForToken(token), std::optional<std::string>("lobby-1"));
    QCOMPARE(b->screenForToken(stale), std::nullopt);
    QCOMPARE(b->screenForToken(token + "x"), std::nullopt);
    QCOMPARE(b->screenForToken(""), std::nullopt);
    // Only the token's hash is kept.
    QCOMPARE(storedValue(pg.url, "SELECT token_hash FROM fleet_screens WHERE name = 'lobby-1'"),
             QString::fromLatin1(QCryptographicHash::hash(QByteArray::fromStdString(token),
                                                          QCryptographicHash::Sha256)
                                     .toHex()));

    const std::int64_t now = 1'765'000'000'000;
    const FleetReport first = reportOf("lobby-1", 3);
    QCOMPARE(storedOfRace(*a, *b, first, now), 1);
    QCOMPARE(b->storeReport(first, now + 9999, 10000), Outcome::TooSoon);
    FleetReport second = reportOf("lobby-1", 4);
    second.thumbnailJpeg.clear();
    QCOMPARE(a->storeReport(second, now + 10000, 10000), Outcome::Stored);
    QCOMPARE(a->storeReport(reportOf("ghost", 1), now, 10000), Outcome::Failed);

    std::vector<FleetScreen> screens = b->screens(now + 11000, 180000).value();
    QCOMPARE(screens.size(), 2u);
    QCOMPARE(screens[0].last.name, "bar-2");
    QVERIFY(screens[0].silent);
    QCOMPARE(screens[0].reportedAtMs, 0);
    const FleetScreen& lobby = screens[1];
    QVERIFY(!lobby.silent);
    QCOMPARE(lobby.reportedAtMs, now + 10000);
    QCOMPARE(lobby.last.slide, 4);
    QCOMPARE(lobby.last.address, first.address);
    QVERIFY(lobby.last.lastGood);
    QCOMPARE(lobby.last.cycleMs, 31000);
    QCOMPARE(lobby.last.fetched + lobby.last.failed, 28);
    QCOMPARE(lobby.last.since + lobby.last.cycleStarted + lobby.last.network + lobby.last.service,
             first.since + first.cycleStarted + first.network + first.service);
    QVERIFY(b->screens(now + 10000 + 180001, 180000).value()[1].silent);
    // A report without a thumbnail leaves the screen without one.
    QCOMPARE(b->thumbnail("lobby-1"), std::nullopt);
    QCOMPARE(b->thumbnail("bar-2"), std::nullopt);

    // The database goes away and comes back: calls meanwhile fail, and
    // then both stores work again, b on fresh connections in place of the
    // ones it kept open across the restart.
    QVERIFY2(pg.pause(), qPrintable(pg.output));
    QCOMPARE(a->storeReport(first, now + 20000, 10000), Outcome::Failed);
    QVERIFY(!a->screens(now + 20000, 180000)); // a failure, not an empty fleet
    QVERIFY2(pg.resume(), qPrintable(pg.output));
    QCOMPARE(b->screenForToken(token), std::optional<std::string>("lobby-1"));
    QCOMPARE(a->storeReport(first, now + 20000, 10000), Outcome::Stored);
    QCOMPARE(b->screens(now + 20000, 180000).value()[1].last.slide, 3);
    QCOMPARE(b->thumbnail("lobby-1"), std::optional<std::string>(first.thumbnailJpeg));
}

namespace {

QByteArray exchange(quint16 port, const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000)) {
        return {};
    }
    socket.write(request);
    QByteArray answer;
    while (socket.waitForReadyRead(10000)) {
        answer += socket.readAll();
    }
    return answer + socket.readAll();
}

QByteArray reportRequest(const QByteArray& token, const QByteArray& name) {
    const QByteArray body =
        QJsonDocument(QJsonObject{{"name", QString::fromUtf8(name)},
                                  {"version", "7.8.12"},
                                  {"lastGood", false},
                                  {"since", "2026-12-10T09:00:00Z"},
                                  {"slide", 3},
                                  {"address", "http://example.org/"},
                                  {"cycleStarted", "2026-12-10T09:40:00Z"},
                                  {"cycleMs", 31000},
                                  {"fetched", 27},
                                  {"failed", 1},
                                  {"network", "up"},
                                  {"service", "reachable"},
                                  {"thumbnail", QString::fromLatin1(jpegOfScreen().toBase64())}})
            .toJson(QJsonDocument::Compact);
    return "POST /fleet/report HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n"
           "Authorization: Bearer " +
           token + "\r\nContent-Type: application/json\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray pageRequest(const QByteArray& target) {
    return "GET " + target +
           " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\nAuthorization: Basic " +
           QByteArray("fleet:secret").toBase64() + "\r\n\r\n";
}

bool serviceHasTheFleet() {
    QProcess help;
    help.start(CatalogueServiceLauncher::program(), {"--help"});
    help.waitForFinished(10000);
    return (help.readAllStandardOutput() + help.readAllStandardError()).contains("--fleet-db");
}

QByteArray addScreen(const std::string& url, const QString& name) {
    QProcess add;
    add.start(CatalogueServiceLauncher::program(),
              {"--add-screen", name, "--fleet-db", QString::fromStdString(url)});
    add.waitForFinished(20000);
    return add.exitCode() == 0 ? add.readAllStandardOutput().trimmed() : QByteArray();
}

} // namespace

// Reports and pages go through nginx to either instance; the rate limit
// holds across them, and the page still answers when one instance is gone.
void TestFleetPostgres::twoServicesBehindNginxShareOneDatabase() {
    if (!serviceHasTheFleet() || QStandardPaths::findExecutable("nginx").isEmpty()) {
        QSKIP("the service has no fleet, or nginx is not installed");
    }
    PostgresCluster pg;
    START_POSTGRES(pg);
    const QByteArray token = addScreen(pg.url, "lobby-1");
    QVERIFY(!token.isEmpty());

    CatalogueServiceLauncher one;
    CatalogueServiceLauncher two;
    const QString passwordFile = one.tempPath("fleet-password");
    writeFile(passwordFile, "secret\n");
    const QStringList fleet{"--fleet",
                            "--fleet-db",
                            QString::fromStdString(pg.url),
                            "--fleet-password-file",
                            passwordFile,
                            "--fleet-min-gap",
                            "2"};
    QVERIFY2(one.start(fleet), qPrintable(one.why()));
    QVERIFY2(two.start(fleet), qPrintable(two.why()));
    NginxFront front;
    QString servers = QString::fromUtf8(readFile(SKYGLANCE_NGINX_FLEET_CONF));
    servers.replace("127.0.0.1:8081", QString("127.0.0.1:%1").arg(one.port))
        .replace("127.0.0.1:8082", QString("127.0.0.1:%1").arg(two.port))
        .replace("listen 80;", QString("listen 127.0.0.1:%1;").arg(front.port()));
    QVERIFY(front.start(servers));

    // nginx takes turns: the second report reaches the other instance,
    // which still knows it came too soon.
    QCOMPARE(statusOf(exchange(front.port(), reportRequest(token, "lobby-1"))), 204);
    const QByteArray tooSoon = exchange(front.port(), reportRequest(token, "lobby-1"));
    QCOMPARE(statusOf(tooSoon), 429);
    QVERIFY(tooSoon.contains("Retry-After"));
    QCOMPARE(statusOf(exchange(front.port(), reportRequest("wrong", "lobby-1"))), 401);
    QTest::qWait(2100);
    QCOMPARE(statusOf(exchange(front.port(), reportRequest(token, "lobby-1"))), 204);

    one.kill();
    const QByteArray page = exchange(front.port(), pageRequest("/fleet.json"));
    QCOMPARE(statusOf(page), 200);
    const QJsonArray screens = QJsonDocument::fromJson(bodyOf(page)).array();
    QCOMPARE(screens.size(), 1);
    QCOMPARE(screens[0]["name"].toString(), "lobby-1");
    QCOMPARE(screens[0]["state"].toString(), "live");
    QCOMPARE(bodyOf(exchange(front.port(), pageRequest("/fleet/thumb/lobby-1.jpg"))),
             jpegOfScreen());
}

QTEST_GUILESS_MAIN(TestFleetPostgres)
#include "test_fleet_postgres.moc"
