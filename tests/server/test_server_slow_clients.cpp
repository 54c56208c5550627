// Clients that send their requests slowly, or not at all, hold no worker of
// the real service: others are answered meanwhile, and a request that has not
// come whole within about two seconds is cut off, however it trickles. Nor do
// bodies the service never reads: they are refused on their head, also
// behind the shipped nginx front.
#include "FileHelpers.h"
#include "NginxFront.h"
#include "ServerTestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>
#include <memory>
#include <unistd.h>
#include <vector>

class TestServerSlowClients : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(server_.start()); }
    void cleanupTestCase() { QVERIFY(server_.stop()); }
    void othersAreAnsweredWhileManyTrickle();
    void aTricklingRequestIsCutOffInTotal();
    void bodiesAreRefusedBeforeAnyWorkerWaitsForThem();
    void smuggledRequestsDoNotPoisonTheNginxCache();
    void acceptingPausesAtTheDescriptorLimit();

private:
    CatalogueServiceLauncher server_;
};

void TestServerSlowClients::othersAreAnsweredWhileManyTrickle() {
    // Twice as many as there are workers, each with half a request head.
    std::vector<std::unique_ptr<QTcpSocket>> slow;
    for (int i = 0; i < 64; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, server_.port);
        QVERIFY(socket->waitForConnected(5000));
        socket->write("GET /currentversion.html HTTP/1.1\r\nHost: loc");
        QVERIFY(socket->waitForBytesWritten(5000));
        slow.push_back(std::move(socket));
    }
    QElapsedTimer waited;
    waited.start();
    const QByteArray answer = rawAnswer(server_.port, "/service/catalogue?p=1&x00=x6666");
    QCOMPARE(statusOf(answer), 200);
    // Well before the slow ones are cut off, so not thanks to that.
    QVERIFY2(waited.elapsed() < 1500, QByteArray::number(waited.elapsed()));
    for (const auto& socket : slow) {
        QCOMPARE(socket->state(), QAbstractSocket::ConnectedState);
    }
}

void TestServerSlowClients::aTricklingRequestIsCutOffInTotal() {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, server_.port);
    QVERIFY(socket.waitForConnected(5000));
    QElapsedTimer open;
    open.start();
    const QByteArray request =
        "GET /service/catalogue?p=1&x00=x6666 HTTP/1.1\r\nHost: localhost\r\nX-Slow: " +
        QByteArray(100, 'a') + "\r\n\r\n";
    QByteArray answer;
    // A byte every 200 ms: each read is prompt, the whole is not.
    for (qsizetype sent = 0; sent < request.size() && open.elapsed() < 10000; ++sent) {
        socket.write(request.mid(sent, 1));
        socket.waitForBytesWritten(1000);
        socket.waitForReadyRead(200);
        answer += socket.readAll();
        if (socket.state() != QAbstractSocket::ConnectedState || !answer.isEmpty()) {
            break;
        }
    }
    socket.waitForDisconnected(3000);
    answer += socket.readAll();
    QVERIFY2(open.elapsed() > 1000 && open.elapsed() < 5000, QByteArray::number(open.elapsed()));
    QCOMPARE(statusOf(answer), 408);
    QCOMPARE(socket.state(), QAbstractSocket::UnconnectedState);
}

void TestServerSlowClients::bodiesAreRefusedBeforeAnyWorkerWaitsForThem() {
    // Three times as many as there are workers, each announcing a body it
    // never sends.
    std::vector<std::unique_ptr<QTcpSocket>> holders;
    for (int i = 0; i < 96; ++i) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, server_.port);
        QVERIFY(socket->waitForConnected(5000));
        socket->write("POST /site/maps/europe_pressure.jpg HTTP/1.1\r\nHost: localhost\r\n"
                      "Content-Length: 60000\r\n\r\n");
        QVERIFY(socket->waitForBytesWritten(5000));
        holders.push_back(std::move(socket));
    }
    QElapsedTimer waited;
    waited.start();
    QCOMPARE(statusOf(rawAnswer(server_.port, "/site/maps/europe_pressure.jpg")), 200);
    // Workers waiting for the bodies would each be held for two seconds.
    QVERIFY2(waited.elapsed() < 2000, QByteArray::number(waited.elapsed()));
    for (const auto& socket : holders) {
        QByteArray answer;
        QVERIFY(readUntil(*socket, answer, "\r\n\r\n", 5000));
        QCOMPARE(statusOf(answer), 405);
    }

    // Framing that the service never serves, or that readers may take
    // differently, is refused with the connection closed; a request after a
    // refused one is never read, by the loops (catalogue) or the workers.
    const QByteArray version = "/currentversion.html HTTP/1.1\r\nHost: localhost\r\n";
    const QByteArray picture = "GET /site/maps/europe_pressure.jpg HTTP/1.1\r\n\r\n";
    const QList<QPair<QByteArray, QByteArray>> cases = {
        {"GET " + version + "Content-Length: 0\r\n\r\n", "200 200"},
        {"GET " + version + "Content-Length: 5\r\n\r\nhello", "400"},
        {"GET " + version + "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n", "400"},
        {"GET " + version + "Content-Length: 0\r\nContent-Length: 0\r\n\r\n", "400"},
        {"GET " + version + "Content-Length : 0\r\n\r\n", "400"},
        {"GET " + version + "X: a\n\nContent-Length: 5\r\n\r\nhello", "400"},
        {"GET " + version + "X: a\rContent-Length: 5\r\n\r\nhello", "400"},
        {"GET /currentversion.html\r\n\r\n", "400"},
        {"GET " + version + "X-Big: " + QByteArray(17 * 1024, 'a') + "\r\n\r\n", "431"},
        {"GET " + version + "X-Long: " + QByteArray(9000, 'a') + "\r\n\r\n", "400"},
        {"GET /currentversion.html?a?b HTTP/1.1\r\n\r\n", "400"},
        {"GET /" + QByteArray(9000, 'a') + " HTTP/1.1\r\n\r\n", "414 200"},
        {"GET /service/catalogue?p=1&x00=x6666 HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", "400"},
        {"GET " + version + "\r\nPUT " + version + "\r\n", "200 405"},
        {picture + "GET " + version + "Content-Length: 5\r\n\r\nhello", "200 400"}};
    for (const auto& [request, statuses] : cases) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server_.port);
        QVERIFY(socket.waitForConnected(5000));
        socket.write(request + "GET " + version + "Connection: close\r\n\r\n");
        QByteArray answer;
        readUntil(socket, answer, "no more", 5000); // all until the service closes
        QByteArrayList seen;
        for (qsizetype at = answer.indexOf("HTTP/1.1 "); at >= 0;
             at = answer.indexOf("HTTP/1.1 ", at + 1)) {
            seen << answer.mid(at + 9, 3);
        }
        QCOMPARE(seen.join(' '), statuses);
    }
}

namespace {

// The real nginx running deploy/nginx-cache.conf as shipped, with the
// service's address, a port and a cache folder of its own.
bool startShippedFront(NginxFront& front, quint16 servicePort) {
    QString servers = QString::fromUtf8(readFile(SKYGLANCE_NGINX_CONF));
    if (servers.isEmpty()) {
        return false;
    }
    servers.replace("127.0.0.1:8080", QString("127.0.0.1:%1").arg(servicePort))
        .replace("listen 80;", QString("listen 127.0.0.1:%1;").arg(front.port()))
        .replace("/var/cache/nginx/skyglance", front.folder() + "/cache");
    return front.start(servers) &&
           eventually([&] { return rawStatus(front.port(), "/currentversion.html") == 200; },
                      10000);
}

} // namespace

// A GET whose body is a second request would be answered twice on nginx's
// kept-alive connection: the second reply, coming late (a picture drawn on
// demand), would go to the next screen's request and into the cache under
// its address, and every screen would be shown the attacker's picture.
void TestServerSlowClients::smuggledRequestsDoNotPoisonTheNginxCache() {
    if (QStandardPaths::findExecutable("nginx").isEmpty()) {
        QSKIP("nginx is not installed");
    }
    CatalogueServiceLauncher own;
    const QString logPath = own.tempPath("access.log");
    QVERIFY(own.start({"--access-log", logPath}));
    NginxFront front;
    QVERIFY(startShippedFront(front, own.port));

    const QByteArray shown = "/site/maps/europe_pressure.jpg";
    const QByteArray planted = "GET /site/radar/north_italy.gif HTTP/1.1\r\nHost: x\r\n\r\n";
    const QByteArray head = "GET " + shown + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n";
    const QList<QByteArray> attacks = {
        head + "Content-Length: " + QByteArray::number(planted.size()) + "\r\n\r\n" + planted,
        head + "Content-Length: 4\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n" + planted,
        head + "Transfer-Encoding : chunked\r\n\r\n" + QByteArray::number(planted.size(), 16) +
            "\r\n" + planted + "\r\n0\r\n\r\n"};
    int screen = 0;
    for (int round = 0; round < 3; ++round) {
        for (const QByteArray& attack : attacks) {
            QTcpSocket attacker;
            attacker.connectToHost(QHostAddress::LocalHost, front.port());
            QVERIFY(attacker.waitForConnected(5000));
            attacker.write(attack);
            QVERIFY(attacker.waitForBytesWritten(5000));
            // Screens asking meanwhile get the picture they asked for.
            for (int i = 0; i < 3; ++i) {
                const QByteArray answer =
                    rawAnswer(front.port(), "/site/maps/alps_temperature.png?screen=" +
                                                QByteArray::number(++screen));
                QCOMPARE(statusOf(answer), 200);
                QVERIFY2(answer.contains("Content-Type: image/png"), answer.left(300).constData());
            }
            QByteArray answer;
            readUntil(attacker, answer, "never comes", 5000);
            QCOMPARE(statusOf(answer), 400); // from the service or from nginx itself
            QCOMPARE(int(answer.count("HTTP/1.1 ")), 1);
        }
    }
    const QByteArray answer = rawAnswer(front.port(), shown);
    QCOMPARE(statusOf(answer), 200);
    QVERIFY(answer.contains("Content-Type: image/jpeg"));
    QVERIFY(bodyOf(answer).startsWith("\xff\xd8"));
    // The service never took a body for a request.
    QVERIFY(eventually([&] {
        QFile log(logPath);
        return log.open(QIODevice::ReadOnly) && log.readAll().contains(" GET " + shown + " 200 ");
    }));
    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QVERIFY2(!log.readAll().contains("north_italy"), "a body was read as a request");
}

namespace {

// CPU seconds the process has used, user and system.
double cpuSeconds(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray text = stat.readAll();
    // The fields after the command name, which is in brackets: state is the
    // first, utime and stime the 12th and 13th.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / ::sysconf(_SC_CLK_TCK);
}

} // namespace

// Connections beyond what the descriptor limit leaves room for wait in the
// backlog: the service must not spin on them, must still open the files its
// open connections ask for, and accepts the others once some close.
void TestServerSlowClients::acceptingPausesAtTheDescriptorLimit() {
    CatalogueServiceLauncher own;
    QVERIFY(own.start({"--threads", "4"}, 0, {"sh", "-c", "ulimit -n 64 && exec \"$0\" \"$@\""}));
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < 120; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->connectToHost(QHostAddress::LocalHost, own.port);
        QVERIFY(clients.back()->waitForConnected(5000));
    }
    QTcpSocket& first = *clients.front();
    first.write("GET /site/maps/europe_pressure.jpg HTTP/1.1\r\nHost: x\r\n\r\n");
    QVERIFY(first.waitForReadyRead(5000));
    QVERIFY2(first.readLine().startsWith("HTTP/1.1 200"), "no picture at the limit");
    // Within the 2 s the first ones are given to send their requests.
    const double before = cpuSeconds(own.pid());
    QTest::qWait(1500);
    const double used = cpuSeconds(own.pid()) - before;
    QVERIFY2(before >= 0 && used < 0.3, QByteArray::number(used));
    QVERIFY(own.errorsContain("cannot accept: "));
    clients.clear();
    QVERIFY(eventually([&] { return rawStatus(own.port, "/currentversion.html") == 200; }, 10000));
    QVERIFY(own.stop());
}

QTEST_GUILESS_MAIN(TestServerSlowClients)
#include "test_server_slow_clients.moc"
