// The built skyglance-catalogue, started on a free loopback port and asked
// over HTTP as the slide show and a browser would ask it.
#include "ServerTestSupport.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <functional>
#include <memory>

namespace {

struct HttpResult {
    int status = 0;
    QByteArray body;
    QByteArray contentType;
};

HttpResult httpGet(QNetworkAccessManager& nam, const QUrl& url) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    std::unique_ptr<QNetworkReply> reply(nam.get(request));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    HttpResult result;
    if (reply->isFinished()) {
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.body = reply->readAll();
        result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    }
    return result;
}

// The status of a page that may never end: the client leaves after the status line.
int statusAndLeave(quint16 port, const QByteArray& target) {
    QTcpSocket socket;
    QByteArray answer;
    return sendRaw(socket, port, target) && readUntil(socket, answer, "\r\n") ? statusOf(answer)
                                                                              : -1;
}

// The src of the first <img> of a page, as written.
QString firstImageSource(const QByteArray& page) {
    return QRegularExpression("<img[^>]*src=\"([^\"]+)\"")
        .match(QString::fromUtf8(page))
        .captured(1);
}

// The items between consecutive "<P>" markers of a reply.
QStringList replyItems(const QByteArray& reply) {
    const QString text = QString::fromUtf8(reply);
    QStringList items;
    qsizetype open = text.indexOf("<P>", 0, Qt::CaseInsensitive);
    while (open >= 0) {
        const qsizetype close = text.indexOf("<P>", open + 3, Qt::CaseInsensitive);
        if (close < 0) {
            break;
        }
        items << text.mid(open + 3, close - open - 3);
        open = close;
    }
    return items;
}

// The picture addresses of a numbered series address "5ttp://base*suffix,start,step,count,width".
QStringList seriesUrls(const QString& address) {
    const QString rest = address.mid(7);
    const qsizetype star = rest.indexOf('*');
    const QStringList fields = rest.mid(star + 1).split(',');
    if (star < 0 || fields.size() != 5) {
        return {};
    }
    QStringList urls;
    int number = fields[1].toInt();
    for (int i = 0; i < fields[3].toInt(); ++i, number += fields[2].toInt()) {
        urls << "http://" + rest.left(star) +
                    QString::number(number).rightJustified(fields[4].toInt(), '0') + fields[0];
    }
    return urls;
}

QString withDefaultTownParameters(QString address) {
    const QStringList values = {"Courmayeur", "New+York", "ny",      "us",      "Naples",
                                "Italy",      "OPTION1",  "OPTION2", "OPTION3", "OPTION4",
                                "OPTION5",    "OPTION6",  "OPTION7", "OPTION8"};
    for (int i = 0; i < values.size(); ++i) {
        address.replace(QString("<p%1>").arg(i + 1, 2, 10, QChar('0')), values[i]);
    }
    return address;
}

bool decodesAsImage(const QByteArray& bytes, int* frames = nullptr) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    QImageReader reader(&buffer);
    if (frames) {
        *frames = reader.imageCount();
    }
    return !reader.read().isNull();
}

QByteArray expectedImageType(const QString& url) {
    if (url.endsWith(".png")) {
        return "image/png";
    }
    if (url.endsWith(".gif")) {
        return "image/gif";
    }
    return "image/jpeg";
}

} // namespace

class TestServerService : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void answersTheSixRequestKinds();
    void malformedQueriesGetErr();
    void unknownIdsKeepTheSlidePositions();
    void servesEveryPictureAndPageOfItsCatalogue();
    void servesVersionFileCollectionsHelpAndSponsorPages();
    void refusesPathsOutsideTheSite();
    void refusesSymbolicLinksLeadingOutOfTheSite();
    void holdsUnderConcurrentClients();
    void picturesGetNewerWithTheClock();
    void reimportsAnEditedCatalogue();
    void refusesABrokenCatalogueAtStart();
    void servesTheEdgeCasesOfEachPageKind();
    void holdsANeverEndingPageWithinBounds();
    void accessLogRecordsEachRequestInOrder();

private:
    HttpResult ask(const QString& query) { return httpGet(nam_, QUrl(server_.service + query)); }

    CatalogueServiceLauncher server_;
    QNetworkAccessManager nam_;
};

void TestServerService::initTestCase() {
    QVERIFY2(server_.start(), "the catalogue service did not start");
    QVERIFY(server_.service.endsWith("/service/catalogue?"));
    QCOMPARE(server_.service, server_.site + "/service/catalogue?");
    QVERIFY(server_.site.startsWith("http://127.0.0.1:"));
}

void TestServerService::cleanupTestCase() {
    QVERIFY(server_.stop());
}

void TestServerService::answersTheSixRequestKinds() {
    const HttpResult urls = ask("p=1&x00=x4444");
    QCOMPARE(urls.status, 200);
    QVERIFY(urls.contentType.startsWith("text/html"));
    const QStringList urlItems = replyItems(urls.body);
    QVERIFY(urlItems.size() >= 30);
    const QString hostPart = "ttp://" + QUrl(server_.site).authority() + "/";
    for (const QString& url : urlItems) {
        QVERIFY2(url.mid(1).startsWith(hostPart), qPrintable(url));
    }

    const QStringList ids = replyItems(ask("p=1&x00=x6666").body);
    const QStringList comments = replyItems(ask("p=1&x00=x7777").body);
    const QStringList copyrights = replyItems(ask("p=1&x00=x9999").body);
    QCOMPARE(ids.size(), urlItems.size());
    QCOMPARE(comments.size(), urlItems.size());
    QCOMPARE(copyrights.size(), urlItems.size());
    for (int i = 0; i < ids.size(); ++i) {
        bool number = false;
        const int id = ids[i].toInt(&number);
        QVERIFY(number && id >= -32768 && id <= 32767);
        QVERIFY(comments[i].split(' ', Qt::SkipEmptyParts).size() >= 2);
        QVERIFY(copyrights[i].count('-') <= 4);
    }

    const QStringList message = replyItems(ask("p=1&x00=x5555").body);
    QCOMPARE(message.size(), 1);
    QVERIFY(message[0].startsWith("outmsg"));
    QVERIFY(message[0].size() >= 8);

    // The ticked pictures, in the order asked, by their IDs.
    const QString list = QString("[_%1_%2_%3_]").arg(ids[2], ids[0], ids[2]);
    const QStringList selected = replyItems(ask("p=1&x00=y2222" + list).body);
    QCOMPARE(selected, (QStringList{urlItems[2], urlItems[0], urlItems[2]}));
    // Brackets sent percent-encoded mean the same.
    QCOMPARE(replyItems(ask("p=1&x00=y2222%5B_" + ids[1] + "_%5D").body), QStringList{urlItems[1]});
    QVERIFY(replyItems(ask("p=1&x00=y2222[_]").body).isEmpty());
}

void TestServerService::malformedQueriesGetErr() {
    QString tooMany = "[_";
    for (int i = 0; i < 2001; ++i) {
        tooMany += "1_";
    }
    for (const QString& query :
         {QString("p=1"), QString("p=1&x00=x1234"), QString("p=1&x00=x4444&x00=x6666"),
          QString("p=1&x00=y2222"), QString("p=1&x00=y2222[_1_b_]"),
          QString("p=1&x00=y2222[_70000_]"), QString("p=1&x00=y2222") + tooMany + "]",
          QString("x00=%00%ff%fe"), QString("&&&=")}) {
        const HttpResult result = ask(query);
        QCOMPARE(result.status, 200);
        const QStringList items = replyItems(result.body);
        QVERIFY2(!items.isEmpty() && items[0].startsWith("ERR"), qPrintable(query));
    }
    // Still answering afterwards.
    QVERIFY(replyItems(ask("p=1&x00=x6666").body).size() >= 30);
}

void TestServerService::unknownIdsKeepTheSlidePositions() {
    const QStringList urls = replyItems(ask("p=1&x00=x4444").body);
    const QStringList selected = replyItems(ask("p=1&x00=y2222[_1_31999_2_]").body);
    QCOMPARE(selected.size(), 3);
    QCOMPARE(selected[0], urls[0]);
    QCOMPARE(selected[2], urls[1]);
    QVERIFY(selected[1].startsWith("http://"));
    const HttpResult missing = httpGet(nam_, QUrl(selected[1]));
    QCOMPARE(missing.status, 404);
    QVERIFY(!decodesAsImage(missing.body));
}

void TestServerService::servesEveryPictureAndPageOfItsCatalogue() {
    const QStringList urls = replyItems(ask("p=1&x00=x4444").body);
    QSet<QChar> codes;
    for (const QString& address : urls) {
        const QChar code = address[0];
        codes.insert(code);
        const QString real = "h" + address.mid(1);
        if (code == '5') {
            const QStringList frames = seriesUrls(address);
            QVERIFY2(frames.size() >= 3, qPrintable(address));
            for (const QString& frame : frames) {
                const HttpResult picture = httpGet(nam_, QUrl(frame));
                QVERIFY2(picture.status == 200, qPrintable(frame));
                QCOMPARE(picture.contentType, expectedImageType(frame));
                QVERIFY2(decodesAsImage(picture.body), qPrintable(frame));
            }
        } else if (code == '2' || code == '3' || code == '6') {
            const QString pageUrl = code == '3' ? withDefaultTownParameters(real) : real;
            const HttpResult page = httpGet(nam_, QUrl(pageUrl));
            QVERIFY2(page.status == 200, qPrintable(pageUrl));
            QVERIFY(page.contentType.startsWith("text/html"));
            QVERIFY(!page.body.contains("{{"));
            if (code == '3') {
                // A "+" in a query value stands for a blank.
                const QString value =
                    QUrlQuery(QUrl(pageUrl)).queryItems().first().second.replace('+', ' ');
                QVERIFY2(page.body.contains(value.toUtf8()), qPrintable(value));
            }
            // Every picture on the page loads; for code 6 the first one is the slide.
            const auto images = QRegularExpression("<img[^>]*src=\"([^\"]+)\"")
                                    .globalMatch(QString::fromUtf8(page.body));
            int count = 0;
            for (auto it = images; it.hasNext(); ++count) {
                // Relative sources count from the page, as in a browser.
                const QString src = QUrl(pageUrl).resolved(QUrl(it.next().captured(1))).toString();
                QVERIFY2(src.startsWith(server_.site), qPrintable(src));
                const HttpResult picture = httpGet(nam_, QUrl(src));
                QVERIFY2(picture.status == 200 && decodesAsImage(picture.body), qPrintable(src));
            }
            QVERIFY(count > 0 || code != '6');
        } else {
            const HttpResult picture = httpGet(nam_, QUrl(real));
            QVERIFY2(picture.status == 200, qPrintable(real));
            QCOMPARE(picture.contentType, expectedImageType(real));
            int frames = 0;
            QVERIFY2(decodesAsImage(picture.body, &frames), qPrintable(real));
            if (code == '4') {
                QVERIFY2(frames > 1, qPrintable(real));
                QVERIFY(picture.body.contains("NETSCAPE2.0"));
            }
        }
    }
    QCOMPARE(codes, (QSet<QChar>{'h', '2', '3', '4', '5', '6'}));
}

void TestServerService::servesVersionFileCollectionsHelpAndSponsorPages() {
    const HttpResult version = httpGet(nam_, QUrl(server_.site + "/currentversion.html"));
    QCOMPARE(version.status, 200);
    const QStringList fields = QString::fromUtf8(version.body).split(',');
    QCOMPARE(fields.size(), 2);
    QCOMPARE(fields[0], QString("Skyglance_7.8.12"));

    const HttpResult package = httpGet(nam_, QUrl(server_.site + "/collections.exe"));
    QCOMPARE(package.status, 200);
    QVERIFY(package.body.startsWith("PK\x03\x04"));
    const QString unzip = QStandardPaths::findExecutable("unzip");
    if (!unzip.isEmpty()) {
        QTemporaryDir dir;
        QFile file(dir.filePath("collections.exe"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(package.body);
        file.close();
        QProcess extract;
        extract.setWorkingDirectory(dir.path());
        extract.start(unzip, {"-q", "collections.exe"});
        QVERIFY(extract.waitForFinished(10000));
        QCOMPARE(extract.exitCode(), 0);
        QFile mark(dir.filePath("LocalCollection.dat"));
        QVERIFY(mark.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(mark.readAll()),
                 fields[1]); // the package brings the set it names
        const QStringList collections = QDir(dir.path()).entryList({"*.xml"});
        QVERIFY(collections.size() >= 3);
        const QStringList codes = replyItems(ask("p=1&x00=x7777").body);
        for (const QString& name : collections) {
            QVERIFY(QFile::exists(dir.filePath(QString(name).replace(".xml", ".dat"))));
            QFile xml(dir.filePath(name));
            QVERIFY(xml.open(QIODevice::ReadOnly));
            const auto picked =
                QRegularExpression("<CodePic>([^<]*)</CodePic>").globalMatch(xml.readAll());
            for (auto it = picked; it.hasNext();) {
                const QString code = it.next().captured(1);
                const bool known =
                    std::any_of(codes.begin(), codes.end(),
                                [&code](const QString& c) { return c.section(' ', 1, 1) == code; });
                QVERIFY2(known, qPrintable(code));
            }
        }
    }

    for (const char* page : {"/eng_help1.asp", "/eng_help3.asp", "/eng_help6.asp", "/ita_help1.asp",
                             "/ita_help3.asp", "/ita_help6.asp", "/fra_help1.asp", "/fra_help3.asp",
                             "/fra_help6.asp", "/spa_help1.asp", "/public/rovuradidiviz.html"}) {
        const HttpResult result = httpGet(nam_, QUrl(server_.site + page));
        QVERIFY2(result.status == 200, page);
        QVERIFY(result.contentType.startsWith("text/html"));
        QVERIFY(result.body.contains("<html"));
    }
}

void TestServerService::refusesPathsOutsideTheSite() {
    // The catalogue and the database lie one folder above the site.
    QCOMPARE(rawStatus(server_.port, "/site/index.html"), 200);
    for (const QByteArray& target :
         {QByteArray("/../catalogue.tsv"), QByteArray("/site/../../catalogue.tsv"),
          QByteArray("/%2e%2e/catalogue.tsv"), QByteArray("/site/%2E%2E/%2e%2e/catalogue.sqlite"),
          QByteArray("/site/..%2f..%2fcatalogue.tsv"), QByteArray("/site/%252e%252e/x"),
          QByteArray("/..%5ccatalogue.tsv"), QByteArray("//etc/passwd"),
          QByteArray("/%2fetc/passwd"), QByteArray("/site/%00.html"), QByteArray("/.hidden"),
          QByteArray("/site/maps/")}) {
        const int status = rawStatus(server_.port, target);
        QVERIFY2(status == 404 || status == 400, target.constData());
    }
}

void TestServerService::refusesSymbolicLinksLeadingOutOfTheSite() {
    QTemporaryDir outside;
    QTemporaryDir site;
    QFile secret(outside.filePath("secret.html"));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("secret");
    secret.close();
    QFile page(site.filePath("inside.html"));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html>{{site}}</html>");
    page.close();
    QVERIFY(QFile::link(outside.filePath("secret.html"), site.filePath("link.html")));
    QVERIFY(QFile::link(outside.path(), site.filePath("dir")));

    CatalogueServiceLauncher other;
    QVERIFY(other.start({"--site", site.path()}));
    QNetworkAccessManager nam;
    const HttpResult inside = httpGet(nam, QUrl(other.site + "/inside.html"));
    QCOMPARE(inside.status, 200);
    QCOMPARE(inside.body, "<html>" + other.site.toUtf8() + "</html>");
    QCOMPARE(httpGet(nam, QUrl(other.site + "/link.html")).status, 404);
    QCOMPARE(httpGet(nam, QUrl(other.site + "/dir/secret.html")).status, 404);
    QVERIFY(other.stop());
}

void TestServerService::holdsUnderConcurrentClients() {
    const QStringList urls = replyItems(ask("p=1&x00=x4444").body);
    const QByteArray expectedIds = ask("p=1&x00=x6666").body;
    // Idle connections that send nothing must not stop the others.
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 4; ++i) {
        idle.push_back(std::make_unique<QTcpSocket>());
        idle.back()->connectToHost(QHostAddress::LocalHost, server_.port);
        QVERIFY(idle.back()->waitForConnected(5000));
    }
    constexpr int kClients = 8;
    constexpr int kPerClient = 12;
    std::vector<std::unique_ptr<QNetworkAccessManager>> clients;
    std::vector<QNetworkReply*> replies;
    for (int c = 0; c < kClients; ++c) {
        clients.push_back(std::make_unique<QNetworkAccessManager>());
        for (int r = 0; r < kPerClient; ++r) {
            const int k = c * kPerClient + r;
            const QUrl url = k % 3 == 0   ? QUrl(server_.service + "p=1&x00=x6666")
                             : k % 3 == 1 ? QUrl(server_.service + "p=1&x00=y2222[_1_2_]")
                                          : QUrl(server_.site + "/site/maps/europe_pressure.jpg");
            replies.push_back(clients.back()->get(QNetworkRequest(url)));
        }
    }
    int finished = 0;
    for (QNetworkReply* reply : replies) {
        QObject::connect(reply, &QNetworkReply::finished, [&finished] { ++finished; });
    }
    QTRY_COMPARE_WITH_TIMEOUT(finished, kClients * kPerClient, 60000);
    for (std::size_t k = 0; k < replies.size(); ++k) {
        QNetworkReply* reply = replies[k];
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        const QByteArray body = reply->readAll();
        if (k % 3 == 0) {
            QCOMPARE(body, expectedIds);
        } else if (k % 3 == 1) {
            QCOMPARE(replyItems(body), (QStringList{urls[0], urls[1]}));
        } else {
            QVERIFY(decodesAsImage(body));
        }
        reply->deleteLater();
    }
}

void TestServerService::picturesGetNewerWithTheClock() {
    CatalogueServiceLauncher fast;
    QVERIFY(fast.start({"--refresh", "1"}));
    QNetworkAccessManager nam;
    const QUrl url(fast.site + "/site/radar/alps.gif");
    const HttpResult first = httpGet(nam, url);
    QCOMPARE(first.status, 200);
    QTest::qWait(1200);
    const HttpResult second = httpGet(nam, url);
    QCOMPARE(second.status, 200);
    QVERIFY(decodesAsImage(second.body));
    QVERIFY(first.body != second.body);
    QVERIFY(fast.stop());
}

void TestServerService::reimportsAnEditedCatalogue() {
    CatalogueServiceLauncher own;
    const QString tsv = own.tempPath("own.tsv");
    auto writeCatalogue = [&tsv](const QByteArray& comment) {
        QFile file(tsv);
        if (!file.open(QIODevice::WriteOnly)) {
            return false;
        }
        file.write("http://{HOST}/site/maps/alps_snow.png\t5\t" + comment + "\tA-B--C-\n");
        return true;
    };
    QVERIFY(writeCatalogue("Alps FIRST version one"));
    QVERIFY(own.start({"--catalogue", tsv}));
    QNetworkAccessManager nam;
    auto comments = [&] {
        return replyItems(httpGet(nam, QUrl(own.service + "p=1&x00=x7777")).body);
    };
    QCOMPARE(comments(), QStringList{"Alps FIRST version one"});
    QCOMPARE(replyItems(httpGet(nam, QUrl(own.service + "p=1&x00=x4444")).body),
             QStringList{own.site + "/site/maps/alps_snow.png"});

    QTest::qWait(1100); // a new modification time
    QVERIFY(writeCatalogue("Alps SECOND version two, longer"));
    QTRY_COMPARE_WITH_TIMEOUT(comments(), QStringList{"Alps SECOND version two, longer"}, 15000);
    // A broken edit keeps serving the last good catalogue.
    QVERIFY(writeCatalogue("x"));
    QTest::qWait(3000);
    QCOMPARE(comments(), QStringList{"Alps SECOND version two, longer"});
    QVERIFY(own.stop());
}

void TestServerService::refusesABrokenCatalogueAtStart() {
    QTemporaryDir dir;
    QFile file(dir.filePath("bad.tsv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("http://{HOST}/a.jpg\t1\tBad <P> comment\tA\n");
    file.close();
    QProcess process;
    process.start(CatalogueServiceLauncher::program(),
                  {"--port", "0", "--catalogue", dir.filePath("bad.tsv"), "--db",
                   dir.filePath("bad.sqlite")});
    QVERIFY(process.waitForFinished(30000));
    QVERIFY(process.exitCode() != 0);
    QVERIFY(process.readAllStandardError().contains("line 1"));
    QVERIFY(!process.readAllStandardOutput().contains("service: "));

    QProcess usage;
    usage.start(CatalogueServiceLauncher::program(), {"--port", "http"});
    QVERIFY(usage.waitForFinished(30000));
    QCOMPARE(usage.exitCode(), 2);

    QProcess version;
    version.start(CatalogueServiceLauncher::program(), {"--version"});
    QVERIFY(version.waitForFinished(30000));
    QCOMPARE(version.exitCode(), 0);
    QCOMPARE(version.readAllStandardOutput(),
             QByteArray("skyglance-catalogue " SKYGLANCE_PROJECT_VERSION "\n"));
}

void TestServerService::servesTheEdgeCasesOfEachPageKind() {
    // Every parameter comes back, in order and escaped, and the query as sent.
    const QByteArray query = "town=New+York&x=%3Cb%3E%26&flag&p14=%C3%A9";
    const QByteArray params = rawAnswer(server_.port, "/site/forecast/params.html?" + query);
    QCOMPARE(statusOf(params), 200);
    const QString expected[][2] = {
        {"town", "New York"}, {"x", "&lt;b&gt;&amp;"}, {"flag", ""}, {"p14", "\u00e9"}};
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        const QString row = "<td id=\"name-" + n + "\" class=\"name\">" + expected[i][0] +
                            "</td><td id=\"value-" + n + "\" class=\"value\">" + expected[i][1] +
                            "</td>";
        QVERIFY2(QString::fromUtf8(params).contains(row), qPrintable(row));
    }
    QVERIFY(params.contains("<span id=\"count\">4</span>"));
    QVERIFY(
        params.contains("<code id=\"raw\">" + QByteArray(query).replace("&", "&amp;") + "</code>"));
    QVERIFY(!params.contains("<b>"));

    // A relative first picture counts from the page; from the site root it is missing.
    for (const auto& [page, type] : {std::pair{"/site/pages/cloud_news.html", "image/jpeg"},
                                     std::pair{"/site/pages/alps_radar.html", "image/gif"}}) {
        const QUrl pageUrl(server_.site + page);
        const QString src = firstImageSource(httpGet(nam_, pageUrl).body);
        QVERIFY2(src.startsWith("../"), page);
        const HttpResult picture = httpGet(nam_, pageUrl.resolved(QUrl(src)));
        QCOMPARE(picture.status, 200);
        QCOMPARE(picture.contentType, QByteArray(type));
        int frames = 0;
        QVERIFY(decodesAsImage(picture.body, &frames));
        QVERIFY(frames > 1 || picture.contentType != "image/gif");
        QCOMPARE(httpGet(nam_, QUrl(server_.site + "/").resolved(QUrl(src))).status, 404);
    }

    const HttpResult noImage = httpGet(nam_, QUrl(server_.site + "/site/test/no_image.html"));
    QCOMPARE(noImage.status, 200);
    QVERIFY(!noImage.body.contains("<img"));
    const HttpResult alert = httpGet(nam_, QUrl(server_.site + "/site/test/alert.html"));
    QCOMPARE(alert.status, 200);
    QVERIFY(alert.body.contains("alert(") && alert.body.contains("id=\"after\""));

    // Test pages stay out of the slide show.
    for (const QString& address : replyItems(ask("p=1&x00=x4444").body)) {
        QVERIFY2(!address.contains("/site/test/"), qPrintable(address));
    }
}

void TestServerService::holdsANeverEndingPageWithinBounds() {
    CatalogueServiceLauncher held;
    QVERIFY(held.start({"--threads", "4"})); // room for one held page
    const QByteArray never = "/site/test/never.html";

    QTcpSocket first;
    QByteArray answer;
    QVERIFY(sendRaw(first, held.port, never));
    QVERIFY(readUntil(first, answer, "id=\"shown\""));
    QCOMPARE(statusOf(answer), 200);
    const qsizetype headSize = answer.size();
    QVERIFY(!readUntil(first, answer, "</html>", 2500));
    QVERIFY(answer.size() > headSize); // the page keeps coming
    QCOMPARE(first.state(), QAbstractSocket::ConnectedState);

    // The one slot is taken; the other workers still answer.
    QCOMPARE(statusAndLeave(held.port, never), 503);
    QCOMPARE(rawStatus(held.port, "/site/index.html"), 200);
    // A client that leaves frees its slot.
    first.abort();
    QVERIFY(eventually([&] { return statusAndLeave(held.port, never) == 200; }));

    // Stopping the service ends a held page at once, complete.
    QTcpSocket last;
    QByteArray lastAnswer;
    const auto holdLast = [&] {
        last.abort();
        lastAnswer.clear();
        return sendRaw(last, held.port, never) && readUntil(last, lastAnswer, "id=\"shown\"", 2000);
    };
    QVERIFY(eventually(holdLast));
    QVERIFY(held.stop());
    readUntil(last, lastAnswer, "</html>");
    QVERIFY(lastAnswer.contains("id=\"end\""));
    const auto length =
        QRegularExpression("Content-Length: (\\d+)").match(QString::fromUtf8(lastAnswer));
    QCOMPARE(bodyOf(lastAnswer).size(), length.captured(1).toLongLong());
}

void TestServerService::accessLogRecordsEachRequestInOrder() {
    CatalogueServiceLauncher own;
    const QString logPath = own.tempPath("access.log");
    QVERIFY(own.start({"--access-log", logPath}));
    const QString longQuery = "p=1&x00=x4444&pad=" + QString(2500, 'a');
    const QList<QPair<QString, int>> asked = {{"/service/catalogue?p=1&x00=x6666", 200},
                                              {"/currentversion.html", 200},
                                              {"/site/no_such_page.html", 404},
                                              {"/service/catalogue?" + longQuery, 200}};
    QList<int> bodySizes; // asked uncompressed, so the body is what was sent
    for (const auto& [target, status] : asked) {
        const QByteArray answer = rawAnswer(own.port, target.toLatin1());
        QCOMPARE(statusOf(answer), status);
        bodySizes << int(bodyOf(answer).size());
    }
    // Each line is flushed as its reply goes out, while the service runs.
    QList<QByteArray> lines;
    QVERIFY(eventually([&] {
        QFile file(logPath);
        lines = file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>{};
        return lines.size() == asked.size() + 1;
    }));
    const QRegularExpression time(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$)");
    for (int i = 0; i < asked.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split(' ');
        QCOMPARE(fields.size(), 7);
        QVERIFY2(time.match(QString::fromLatin1(fields[0])).hasMatch(), fields[0].constData());
        QCOMPARE(fields[1], QByteArray("127.0.0.1"));
        QCOMPARE(fields[2], QByteArray("GET"));
        const QByteArray target = asked[i].first.toLatin1().left(2000);
        QCOMPARE(fields[3], target);
        QCOMPARE(fields[4].toInt(), asked[i].second);
        QCOMPARE(fields[5].toInt(), bodySizes[i]);
        QVERIFY(fields[6].toInt() >= 0);
    }
    QVERIFY(own.stop());

    // A log that cannot be opened stops the start.
    QProcess refused;
    refused.start(CatalogueServiceLauncher::program(),
                  {"--port", "0", "--db", own.tempPath("catalogue.sqlite"), "--access-log",
                   own.tempPath("no/such/folder/access.log")});
    QVERIFY(refused.waitForFinished(30000));
    QCOMPARE(refused.exitCode(), 1);
    QVERIFY(refused.readAllStandardError().contains("access log"));
}

QTEST_MAIN(TestServerService)
#include "test_server_service.moc"
