// Clients that send their requests slowly, or not at all, hold no worker of
// the real service: others are answered meanwhile, and a request that has not
// come whole within about two seconds is cut off, however it trickles.
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

QTEST_GUILESS_MAIN(TestServerSlowClients)
#include "test_server_slow_clients.moc"
