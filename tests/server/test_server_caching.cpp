// Conditional requests against the real service: each kind of reply carries
// its tag and its Cache-Control, a matching If-None-Match costs a bodiless
// 304, and HEAD tells the same as GET without the body. Byte ranges never
// make a reply longer than the whole.
#include "ServerTestSupport.h"

#include <QTest>

namespace {

constexpr const char* kCatalogue = "/service/catalogue?p=1&x00=x4444";

// A GET or HEAD with extra header lines, on a connection of its own.
QByteArray ask(quint16 port, const QByteArray& target, const QByteArray& headers = {},
               const QByteArray& method = "GET") {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000)) {
        return {};
    }
    socket.write(method + " " + target + " HTTP/1.1\r\nHost: localhost\r\n" + headers +
                 "Connection: close\r\n\r\n");
    QByteArray answer;
    while (socket.waitForReadyRead(10000)) {
        answer += socket.readAll();
    }
    return answer + socket.readAll();
}

QByteArray header(const QByteArray& answer, const QByteArray& name) {
    for (const QByteArray& line : answer.left(answer.indexOf("\r\n\r\n")).split('\n')) {
        if (line.toLower().startsWith(name.toLower() + ":")) {
            return line.mid(name.size() + 1).trimmed();
        }
    }
    return {};
}

} // namespace

class TestServerCaching : public QObject {
    Q_OBJECT

private slots:
    // Pictures stay the same for the day, so that their tags do too.
    void initTestCase() { QVERIFY(server_.start({"--refresh", "86400"})); }
    void cleanupTestCase() { QVERIFY(server_.stop()); }
    void eachReplyKindIsTaggedAndRevalidated_data();
    void eachReplyKindIsTaggedAndRevalidated();
    void compressedRepliesHaveTheirOwnTag();
    void neverEndingAndErrorRepliesAreNeverStored();
    void rangesNeverAddUpToMoreThanTheWhole();

private:
    CatalogueServiceLauncher server_;
};

void TestServerCaching::eachReplyKindIsTaggedAndRevalidated_data() {
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("cacheControl"); // its start
    QTest::newRow("catalogue") << QByteArray(kCatalogue) << QByteArray("no-cache");
    QTest::newRow("version file") << QByteArray("/currentversion.html") << QByteArray("no-cache");
    QTest::newRow("picture") << QByteArray("/site/radar/alps.gif") << QByteArray("max-age=");
    QTest::newRow("page") << QByteArray("/eng_help1.asp") << QByteArray("max-age=");
    QTest::newRow("test page") << QByteArray("/site/test/alert.html") << QByteArray("no-store");
}

void TestServerCaching::eachReplyKindIsTaggedAndRevalidated() {
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, cacheControl);
    const QByteArray first = ask(server_.port, target);
    QCOMPARE(statusOf(first), 200);
    QVERIFY2(header(first, "Cache-Control").startsWith(cacheControl), first.left(400));
    const QByteArray head = ask(server_.port, target, {}, "HEAD");
    QCOMPARE(statusOf(head), 200);
    QCOMPARE(bodyOf(head), QByteArray());
    QCOMPARE(header(head, "Content-Length"), header(first, "Content-Length"));

    // Pages say when they were made, to the second: a tag may go stale
    // between two asks, so a page gets a few tries.
    bool revalidated = false;
    for (int attempt = 0; attempt < 5 && !revalidated; ++attempt) {
        const QByteArray fresh = ask(server_.port, target);
        const QByteArray etag = header(fresh, "ETag");
        QVERIFY(etag.startsWith('"') && etag.endsWith('"') && etag.size() > 2);
        revalidated = true;
        for (const QByteArray& condition : {etag, "\"other\", " + etag, QByteArray("*")}) {
            const QByteArray again =
                ask(server_.port, target, "If-None-Match: " + condition + "\r\n");
            if (statusOf(again) != 304) {
                revalidated = false;
                break;
            }
            QCOMPARE(bodyOf(again), QByteArray());
            QCOMPARE(header(again, "Content-Length"), header(fresh, "Content-Length"));
        }
    }
    QVERIFY(revalidated);
    const QByteArray changed = ask(server_.port, target, "If-None-Match: \"stale\"\r\n");
    QCOMPARE(statusOf(changed), 200);
    QCOMPARE(bodyOf(changed).size(), bodyOf(first).size());
}

void TestServerCaching::compressedRepliesHaveTheirOwnTag() {
    const QByteArray plain = ask(server_.port, kCatalogue);
    const QByteArray gzip = ask(server_.port, kCatalogue, "Accept-Encoding: gzip\r\n");
    QCOMPARE(header(gzip, "Content-Encoding"), QByteArray("gzip"));
    QCOMPARE(header(gzip, "Vary"), QByteArray("Accept-Encoding"));
    QVERIFY(header(gzip, "ETag") != header(plain, "ETag"));
    // Each tag revalidates its own representation only.
    QCOMPARE(
        statusOf(ask(server_.port, kCatalogue,
                     "Accept-Encoding: gzip\r\nIf-None-Match: " + header(gzip, "ETag") + "\r\n")),
        304);
    QCOMPARE(
        statusOf(ask(server_.port, kCatalogue,
                     "Accept-Encoding: gzip\r\nIf-None-Match: " + header(plain, "ETag") + "\r\n")),
        200);
}

void TestServerCaching::neverEndingAndErrorRepliesAreNeverStored() {
    QTcpSocket socket;
    QByteArray held;
    QVERIFY(sendRaw(socket, server_.port, "/site/test/never.html"));
    QVERIFY(readUntil(socket, held, "\r\n\r\n"));
    QCOMPARE(header(held, "Cache-Control"), QByteArray("no-store"));
    QVERIFY(header(held, "ETag").isEmpty());
    socket.abort();
    const QByteArray missing = ask(server_.port, "/site/missing/picture_9.jpg");
    QCOMPARE(statusOf(missing), 404);
    QCOMPARE(header(missing, "Cache-Control"), QByteArray("no-store"));
}

void TestServerCaching::rangesNeverAddUpToMoreThanTheWhole() {
    const QByteArray picture = "/site/maps/europe_pressure.jpg";
    const qsizetype size = bodyOf(ask(server_.port, picture)).size();
    QVERIFY(size > 1000);
    // 2,000 times the whole picture, asked for in 6 KB.
    QByteArray everyTime = "bytes=0-";
    for (int i = 1; i < 2000; ++i) {
        everyTime += ",0-";
    }
    struct Case {
        QByteArray ranges;
        int status;
        qsizetype bodyAtMost;
    };
    const QList<Case> cases = {
        {everyTime, 200, size},
        {"bytes=0-99,50-149", 200, size},  // overlapping
        {"bytes=200-299,0-99", 200, size}, // out of order
        {"bytes=0-9,20-29,40-49,60-69,80-89,100-109,120-129,140-149,160-169", 200, size},
        {"bytes=0-99,200-299", 206, 1000}, // a few parts, as asked
        {"bytes=-100", 206, 100}};
    for (const Case& c : cases) {
        const QByteArray answer = ask(server_.port, picture, "Range: " + c.ranges + "\r\n");
        QCOMPARE(statusOf(answer), c.status);
        QVERIFY2(bodyOf(answer).size() <= c.bodyAtMost, c.ranges.left(40).constData());
        if (c.status == 200) {
            QCOMPARE(bodyOf(answer).size(), size);
        }
    }
}

QTEST_GUILESS_MAIN(TestServerCaching)
#include "test_server_caching.moc"
