// skyglance-catalogue --faults: each fault as a client meets it, the
// catalogue replies untouched by all but `dead`, and a bad SCHEDULE refused.
#include "ServerTestSupport.h"

#include <QProcess>
#include <QTest>

namespace {

constexpr const char* kPicture = "/site/radar/alps.gif";
constexpr const char* kPage = "/site/forecast/today.html";
constexpr const char* kCatalogue = "/service/catalogue?p=1&x00=x6666";

QByteArray headerOf(const QByteArray& answer, const QByteArray& name) {
    for (const QByteArray& line : answer.left(answer.indexOf("\r\n\r\n")).split('\n')) {
        if (line.toLower().startsWith(name.toLower() + ":")) {
            return line.mid(name.size() + 1).trimmed();
        }
    }
    return {};
}

qsizetype bodySize(const QByteArray& answer) {
    const qsizetype blank = answer.indexOf("\r\n\r\n");
    return blank < 0 ? -1 : answer.size() - blank - 4;
}

} // namespace

class TestServerFaults : public QObject {
    Q_OBJECT

private slots:
    void refusesABadSchedule();
    void spoilsPicturesAndPagesOnly_data();
    void spoilsPicturesAndPagesOnly();
    void deadRefusesThenComesBack();
    void stallSendsPartThenNothing();
};

void TestServerFaults::refusesABadSchedule() {
    QProcess process;
    process.start(CatalogueServiceLauncher::program(), {"--port", "0", "--faults", "slow@1+2"});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains("unknown fault 'slow'"));
}

void TestServerFaults::spoilsPicturesAndPagesOnly_data() {
    QTest::addColumn<QString>("fault");
    QTest::newRow("404") << "404";
    QTest::newRow("truncate") << "truncate";
    QTest::newRow("type") << "type";
    QTest::newRow("redirect") << "redirect";
    QTest::newRow("oversize") << "oversize";
}

void TestServerFaults::spoilsPicturesAndPagesOnly() {
    QFETCH(QString, fault);
    CatalogueServiceLauncher server;
    QVERIFY(server.start({"--faults", fault + "@0+600"}));
    const QByteArray picture = rawAnswer(server.port, kPicture);
    const QByteArray page = rawAnswer(server.port, kPage);
    if (fault == "404") {
        QCOMPARE(statusOf(picture), 404);
        QCOMPARE(statusOf(page), 404);
    } else if (fault == "truncate") {
        // The whole length announced, half of it sent, the connection closed.
        QCOMPARE(statusOf(picture), 200);
        const qsizetype announced = headerOf(picture, "Content-Length").toLongLong();
        QVERIFY(announced > 1000);
        QVERIFY(bodySize(picture) > 0 && bodySize(picture) < announced);
        QCOMPARE(statusOf(page), 200);
    } else if (fault == "type") {
        QCOMPARE(statusOf(picture), 200);
        QVERIFY(headerOf(picture, "Content-Type").startsWith("text/html"));
        QVERIFY(bodyOf(picture).contains("<html>"));
    } else if (fault == "redirect") {
        // Two addresses sending the client to each other.
        QCOMPARE(statusOf(picture), 302);
        const QUrl next(QString::fromUtf8(headerOf(picture, "Location")));
        QVERIFY2(next.path() == kPicture, next.toString().toUtf8());
        const QByteArray again =
            rawAnswer(server.port, next.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority));
        QCOMPARE(statusOf(again), 302);
        QCOMPARE(QUrl(QString::fromUtf8(headerOf(again, "Location"))).toEncoded(),
                 QUrl(server.site + kPicture).toEncoded());
        QCOMPARE(statusOf(page), 302);
    } else if (fault == "oversize") {
        QCOMPARE(statusOf(picture), 200);
        QCOMPARE(headerOf(picture, "Content-Length"), QByteArray("67108864"));
        QCOMPARE(bodySize(picture), 67108864);
        QVERIFY(bodyOf(picture).startsWith("GIF8"));
    }
    // The catalogue, the version file and the sponsor page's picture-free
    // neighbours are never spoilt.
    const QByteArray catalogue = rawAnswer(server.port, kCatalogue);
    QCOMPARE(statusOf(catalogue), 200);
    QVERIFY(bodyOf(catalogue).startsWith("<P>"));
    QCOMPARE(rawStatus(server.port, "/currentversion.html"), 200);
    QVERIFY(server.errorsContain("fault " + fault.toUtf8() + "@0+600 starts"));
}

void TestServerFaults::deadRefusesThenComesBack() {
    CatalogueServiceLauncher server;
    QVERIFY(server.start({"--faults", "dead@0+3"}));
    QVERIFY(eventually([&server] {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, server.port);
        return !socket.waitForConnected(2000) &&
               socket.error() == QAbstractSocket::ConnectionRefusedError;
    }));
    QVERIFY(server.errorsContain("fault dead@0+3 starts"));
    QVERIFY(eventually([&server] { return rawStatus(server.port, kCatalogue) == 200; }));
    QVERIFY(server.errorsContain("fault dead@0+3 ends"));
}

void TestServerFaults::stallSendsPartThenNothing() {
    CatalogueServiceLauncher server;
    QVERIFY(server.start({"--faults", "stall@0+600"}));
    QTcpSocket socket;
    QByteArray answer;
    QVERIFY(sendRaw(socket, server.port, kPicture));
    QVERIFY(readUntil(socket, answer, "\r\n\r\n"));
    QCOMPARE(statusOf(answer), 200);
    const qsizetype announced = headerOf(answer, "Content-Length").toLongLong();
    readUntil(socket, answer, "never comes", 2000);
    QVERIFY(bodySize(answer) > 0);
    QVERIFY(bodySize(answer) < announced);
    QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
    // Others are answered meanwhile.
    QCOMPARE(rawStatus(server.port, kCatalogue), 200);
    QVERIFY(server.stop());
    QVERIFY(server.errorsContain("fault stall@0+600 starts"));
}

QTEST_GUILESS_MAIN(TestServerFaults)
#include "test_server_faults.moc"
