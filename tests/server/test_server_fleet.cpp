// The fleet on the real service: screens' reports taken only with their
// token and within their bounds, kept in the fleet's database (shared by two
// service processes), and the fleet page as the real browser engine shows it.
#include "PageScript.h"
#include "ServerTestSupport.h"

#include <QApplication>
#include <QAuthenticator>
#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

const QByteArray kPassword = "horse battery staple";

QByteArray post(quint16 port, const QByteArray& token, const QByteArray& body,
                const QByteArray& extraHeaders = {}) {
    return askRaw(port,
                  "POST /fleet/report HTTP/1.1\r\nAuthorization: Bearer " + token +
                      "\r\nContent-Type: application/json\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n" + extraHeaders,
                  body);
}

QByteArray get(quint16 port, const QByteArray& target, const QByteArray& password = kPassword) {
    const QByteArray auth =
        password.isEmpty() ? QByteArray()
                           : "Authorization: Basic " + ("fleet:" + password).toBase64() + "\r\n";
    return askRaw(port, "GET " + target + " HTTP/1.1\r\n" + auth);
}

QByteArray headerOf(const QByteArray& answer, const QByteArray& name) {
    for (const QByteArray& line : answer.left(answer.indexOf("\r\n\r\n")).split('\n')) {
        if (line.toLower().startsWith(name.toLower() + ":")) {
            return line.mid(name.size() + 1).trimmed();
        }
    }
    return {};
}

QJsonArray fleetJson(quint16 port) {
    return QJsonDocument::fromJson(bodyOf(get(port, "/fleet.json"))).array();
}

QJsonObject screenNamed(quint16 port, const QString& name) {
    for (const QJsonValue& screen : fleetJson(port)) {
        if (screen.toObject()["name"].toString() == name) {
            return screen.toObject();
        }
    }
    return {};
}

QByteArray jpegOf(QColor colour) {
    QImage picture(480, 270, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG");
    return bytes;
}

QByteArray reportBody(const QByteArray& thumbnail, int failed = 1, bool lastGood = false) {
    QJsonObject o{{"name", "whatever the body says"},
                  {"version", "7.8.12"},
                  {"lastGood", lastGood},
                  {"since", "2026-12-10T09:00:00Z"},
                  {"slide", 3},
                  {"address", "http://radar.example/a.gif?<b>"},
                  {"cycleStarted", "2026-12-10T09:40:00Z"},
                  {"cycleMs", 31000},
                  {"fetched", 27},
                  {"failed", failed},
                  {"network", "up"},
                  {"service", "reachable"},
                  {"thumbnail", QString::fromLatin1(thumbnail.toBase64())}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// A screen added as an administrator would, to the fleet database beside
// the service's catalogue database; its token.
QByteArray addScreen(const CatalogueServiceLauncher& service, const QString& name) {
    QProcess add;
    add.start(CatalogueServiceLauncher::program(),
              {"--db", service.tempPath("catalogue.sqlite"), "--add-screen", name});
    if (!add.waitForFinished(30000) || add.exitCode() != 0) {
        return {};
    }
    return add.readAllStandardOutput().trimmed();
}

QStringList fleetOptions(const CatalogueServiceLauncher& service, const QStringList& more) {
    QFile file(service.tempPath("password"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(kPassword + "\nthe second line is no part of it\n");
    }
    return QStringList{"--fleet", "--fleet-password-file", service.tempPath("password")} + more;
}

} // namespace

class TestServerFleet : public QObject {
    Q_OBJECT

private slots:
    void reportsNeedTheirTokenAndKeepTheirBounds();
    void fleetPageShowsTheScreensInTheBrowser();
};

void TestServerFleet::reportsNeedTheirTokenAndKeepTheirBounds() {
    CatalogueServiceLauncher service;
    const QByteArray token = addScreen(service, "lobby-1");
    const QByteArray racer = addScreen(service, "lobby-2");
    QVERIFY2(QRegularExpression("^[0-9a-f]{64}$").match(QString::fromLatin1(token)).hasMatch(),
             token.constData());
    QVERIFY2(service.start(
                 fleetOptions(service, {"--fleet-min-gap", "30", "--fleet-silent-after", "5"})),
             qPrintable(service.why()));
    const quint16 port = service.port;

    // The page and its data need the password.
    for (const QByteArray target : {"/fleet", "/fleet.json", "/fleet/thumb/lobby-1.jpg"}) {
        const QByteArray anonymous = get(port, target, {});
        QCOMPARE(statusOf(anonymous), 401);
        QCOMPARE(headerOf(anonymous, "WWW-Authenticate"), QByteArray("Basic realm=\"fleet\""));
        QCOMPARE(statusOf(get(port, target, "horse battery")), 401);
    }
    QCOMPARE(statusOf(get(port, "/fleet")), 200);

    // No report without the screen's token, and none read: a body announced
    // but never sent is not waited for.
    const QByteArray body = reportBody(jpegOf(Qt::darkCyan));
    QCOMPARE(
        statusOf(askRaw(port, "POST /fleet/report HTTP/1.1\r\nContent-Length: 10\r\n", {}, 3000)),
        401);
    const QByteArray stranger(64, 'a');
    QCOMPARE(statusOf(post(port, stranger, body)), 401);
    const QByteArray nearlyTheToken = token.left(63) + (token.endsWith('0') ? "1" : "0");
    QCOMPARE(statusOf(post(port, nearlyTheToken, body)), 401);
    // Nor beyond the bound, announced or sent; nor of an unknown length.
    const QByteArray announced = "POST /fleet/report HTTP/1.1\r\nAuthorization: Bearer " + token +
                                 "\r\nContent-Length: 300000\r\n";
    QCOMPARE(statusOf(askRaw(port, announced, {}, 3000)), 413);
    QCOMPARE(statusOf(post(port, token, QByteArray(300000, ' '))), 413);
    QCOMPARE(statusOf(askRaw(port,
                             "POST /fleet/report HTTP/1.1\r\nAuthorization: Bearer " + token +
                                 "\r\nTransfer-Encoding: chunked\r\n",
                             "5\r\n{}{}{\r\n0\r\n\r\n")),
             411);
    // A report refused for its head never leaves its body to be read as
    // the next request on the connection.
    const QByteArray smuggled = "GET /fleet/report HTTP/1.1\r\nHost: x\r\n\r\n";
    QTcpSocket kept;
    kept.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(kept.waitForConnected(5000));
    kept.write("POST /fleet/report HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " + token +
               "\r\nRange: pages=2\r\nContent-Length: " + QByteArray::number(smuggled.size()) +
               "\r\n\r\n" + smuggled);
    QByteArray keptAnswer;
    readUntil(kept, keptAnswer, "never", 3000);
    QCOMPARE(statusOf(keptAnswer), 416);
    QCOMPARE(keptAnswer.count("HTTP/1.1 "), 1);
    // Nor what is no report, or whose thumbnail is no JPEG.
    QCOMPARE(statusOf(post(port, token, "[1, 2]")), 400);
    QCOMPARE(statusOf(post(port, token, reportBody("GIF89a not a jpeg"))), 400);
    QJsonArray screens = fleetJson(port);
    QCOMPARE(screens.size(), 2);
    QCOMPARE(screens[0].toObject()["name"].toString(), QString("lobby-1"));
    QVERIFY(screens[0].toObject()["reportedAt"].isNull() &&
            screens[1].toObject()["reportedAt"].isNull());
    QCOMPARE(statusOf(get(port, "/fleet/thumb/lobby-1.jpg")), 404);

    // The token names the screen; the body's name is only informative.
    const QByteArray stored = post(port, token, body, "Expect: 100-continue\r\n");
    QVERIFY2(stored.contains("HTTP/1.1 204 No Content\r\n"), stored.constData());
    // The list is read at most once a second and shared by its readers; a
    // second after the report, the next read shows it.
    QTest::qWait(1100);
    screens = fleetJson(port);
    QCOMPARE(screens.size(), 2);
    const QJsonObject lobby = screens[1].toObject(); // lobby-2 has not reported: worst first
    QCOMPARE(lobby["name"].toString(), QString("lobby-1"));
    QCOMPARE(lobby["state"].toString(), QString("live"));
    QCOMPARE(lobby["failed"].toInt(), 1);
    QCOMPARE(lobby["cycleMs"].toInt(), 31000);
    QCOMPARE(lobby["service"].toString(), QString("reachable"));
    QVERIFY(lobby["reportedAt"].toString().endsWith('Z'));
    QVERIFY(!lobby.contains("thumbnail"));
    // Ranges are not answered: the list comes whole, even for one past its end.
    for (const QByteArray range : {"bytes=5-9", "bytes=5000000-"}) {
        const QByteArray ranged = askRaw(port, "GET /fleet.json HTTP/1.1\r\nRange: " + range +
                                                   "\r\nAuthorization: Basic " +
                                                   ("fleet:" + kPassword).toBase64() + "\r\n");
        QCOMPARE(statusOf(ranged), 200);
        QCOMPARE(QJsonDocument::fromJson(bodyOf(ranged)).array().size(), 2);
    }
    QCOMPARE(bodyOf(get(port, "/fleet/thumb/lobby-1.jpg")), jpegOf(Qt::darkCyan));

    // A second service process on the same database keeps the same gap.
    CatalogueServiceLauncher second;
    QVERIFY2(second.start(fleetOptions(second, {"--fleet-db", service.tempPath("fleet.sqlite"),
                                                "--fleet-min-gap", "30"})),
             qPrintable(second.why()));
    for (const quint16 onPort : {port, second.port}) {
        const QByteArray tooSoon = post(onPort, token, reportBody(jpegOf(Qt::red), 9));
        QCOMPARE(statusOf(tooSoon), 429);
        QCOMPARE(headerOf(tooSoon, "Retry-After"), QByteArray("30"));
    }
    QCOMPARE(screenNamed(second.port, "lobby-1")["failed"].toInt(), 1);
    // Reports of one screen at once on both take one: the check and the
    // write are one step.
    std::vector<std::unique_ptr<QTcpSocket>> racing;
    const QByteArray raceBody = reportBody(jpegOf(Qt::blue), 4);
    for (int i = 0; i < 8; ++i) {
        racing.push_back(std::make_unique<QTcpSocket>());
        racing.back()->connectToHost(QHostAddress::LocalHost, i % 2 ? port : second.port);
        QVERIFY(racing.back()->waitForConnected(5000));
    }
    for (auto& socket : racing) {
        socket->write("POST /fleet/report HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " + racer +
                      "\r\nContent-Length: " + QByteArray::number(raceBody.size()) +
                      "\r\nConnection: close\r\n\r\n" + raceBody);
        socket->flush();
    }
    QMap<int, int> outcomes;
    for (auto& socket : racing) {
        QByteArray answer;
        readUntil(*socket, answer, "\r\n\r\n");
        ++outcomes[statusOf(answer)];
    }
    QCOMPARE(outcomes, (QMap<int, int>{{204, 1}, {429, 7}}));

    // Without reports it turns silent.
    QVERIFY(eventually([&] {
        return screenNamed(port, "lobby-1")["state"] == "silent" &&
               screenNamed(port, "lobby-2")["state"] == "silent";
    }));

    // Without --fleet there is no fleet.
    QVERIFY2(service.start(), qPrintable(service.why()));
    QCOMPARE(statusOf(get(service.port, "/fleet")), 404);
    QCOMPARE(statusOf(get(service.port, "/fleet.json")), 404);
    QCOMPARE(statusOf(post(service.port, token, body)), 404);
}

void TestServerFleet::fleetPageShowsTheScreensInTheBrowser() {
    CatalogueServiceLauncher service;
    const QByteArray alpha = addScreen(service, "alpha-lobby");
    const QByteArray beta = addScreen(service, "beta <i>bar & co");
    QVERIFY(!addScreen(service, "gamma").isEmpty());
    QVERIFY2(service.start(fleetOptions(service, {"--fleet-min-gap", "0"})),
             qPrintable(service.why()));
    QCOMPARE(statusOf(post(service.port, alpha, reportBody(jpegOf(Qt::darkCyan), 1))), 204);
    QCOMPARE(statusOf(post(service.port, beta, reportBody(jpegOf(Qt::red), 0, true))), 204);

    // The person at the screen gives the password when the browser asks.
    QWebEngineView view;
    int asked = 0;
    connect(view.page(), &QWebEnginePage::authenticationRequired, this,
            [&asked](const QUrl&, QAuthenticator* authenticator) {
                ++asked;
                authenticator->setUser("fleet");
                authenticator->setPassword(QString::fromLatin1(kPassword));
            });
    view.resize(1280, 900);
    view.show();
    bool loaded = false;
    connect(&view, &QWebEngineView::loadFinished, this, [&loaded](bool ok) { loaded = ok; });
    view.load(QUrl(service.site + "/fleet"));
    QTRY_VERIFY_WITH_TIMEOUT(loaded, 20000);
    QCOMPARE(asked, 1);
    const auto shown = [&] {
        return evaluate(view, "document.getElementById('tiles').innerText").toString();
    };
    // Worst first: never reported (silent), last good, live; names as text.
    QTRY_VERIFY_WITH_TIMEOUT(shown().contains("alpha-lobby"), 10000);
    const QString tiles = shown();
    QVERIFY2(tiles.indexOf("gamma") < tiles.indexOf("beta <i>bar & co") &&
                 tiles.indexOf("beta <i>bar & co") < tiles.indexOf("alpha-lobby"),
             qPrintable(tiles));
    QVERIFY(tiles.contains("http://radar.example/a.gif?<b>"));
    QVERIFY(tiles.contains("1 failed"));
    QCOMPARE(evaluate(view, "document.querySelectorAll('#tiles i, #tiles b').length").toInt(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(
        evaluate(view, "document.querySelector('.tile.live img').naturalWidth").toInt(), 480,
        10000);
    QCOMPARE(evaluate(view, "document.querySelector('.tile.last-good img').naturalWidth").toInt(),
             480);

    // The filter hides the others, and keeps doing so as the page updates
    // itself with a new report, without a reload.
    evaluate(view, "window.notReloaded = true;"
                   "const f = document.getElementById('filter'); f.value = 'ALPHA';"
                   "f.dispatchEvent(new Event('input'));");
    QVERIFY(!shown().contains("gamma") && !shown().contains("beta"));
    QCOMPARE(statusOf(post(service.port, alpha, reportBody(jpegOf(Qt::darkCyan), 7))), 204);
    QTRY_VERIFY_WITH_TIMEOUT(shown().contains("7 failed"), 15000);
    QVERIFY(!shown().contains("gamma") && !shown().contains("beta"));
    QCOMPARE(evaluate(view, "window.notReloaded === true && "
                            "document.getElementById('filter').value === 'ALPHA'")
                 .toBool(),
             true);
}

QTEST_MAIN(TestServerFleet)
#include "test_server_fleet.moc"
