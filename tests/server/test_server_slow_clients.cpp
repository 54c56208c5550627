// Clients that send their requests slowly, or not at all, hold no worker of
// the real service: others are answered meanwhile, and a request that has not
// come whole within about two seconds is cut off, however it trickles. Nor do
// bodies the service never reads: they are refused on their head.
#include "ServerTestSupport.h"

#include <QElapsedTimer>
#include <QTest>
#include <memory>
#include <vector>

class TestServerSlowClients : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(server_.start()); }
    void cleanupTestCase() { QVERIFY(server_.stop()); }
    void othersAreAnsweredWhileManyTrickle();
    void aTricklingRequestIsCutOffInTotal();
    void bodiesAreRefusedBeforeAnyWorkerWaitsForThem();

private:
    ServerProcess server_;
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

    // Framing that the service never serves is refused with the connection
    // closed; a request after a refused one is never read.
    const QByteArray version = "/currentversion.html HTTP/1.1\r\nHost: localhost\r\n";
    const QList<QPair<QByteArray, int>> cases = {
        {"GET " + version + "Content-Length: 0\r\n\r\n", 200},
        {"GET " + version + "Content-Length: 5\r\n\r\nhello", 400},
        {"GET " + version + "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 400},
        {"GET " + version + "Content-Length: 0\r\nContent-Length: 0\r\n\r\n", 400},
        {"GET " + version + "Content-Length : 0\r\n\r\n", 400},
        {"GET /service/catalogue?p=1&x00=x6666 HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc", 400},
        {"GET " + version + "\r\nPUT " + version + "\r\n", 200}}; // then 405
    for (const auto& [request, status] : cases) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server_.port);
        QVERIFY(socket.waitForConnected(5000));
        socket.write(request + "GET " + version + "Connection: close\r\n\r\n");
        QByteArray answer;
        readUntil(socket, answer, "no more", 5000); // all until the service closes
        QCOMPARE(statusOf(answer), status);
        const int answers = int(answer.count("HTTP/1.1 "));
        QCOMPARE(answers, status == 200 ? 2 : 1);
        if (request.contains("PUT ")) {
            QVERIFY(answer.contains("HTTP/1.1 405 "));
        }
    }
}

QTEST_GUILESS_MAIN(TestServerSlowClients)
#include "test_server_slow_clients.moc"
