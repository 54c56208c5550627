// Transfers against real loopback peers: the text request of the catalogue
// client, the picture download and the page-image fetch, with their limits,
// and the proxy with a user name and password (the real tinyproxy).

#include "FileHelpers.h"
#include "LoopbackPeers.h"
#include "catalogue/CatalogueService.h"
#include "download/FetchPrimitives.h"
#include "platform/Timing.h"
#include "state/RunState.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using nettest::HttpPeer;
using platform::TransferOutcome;

namespace {

QByteArray pngBytes(QColor colour) {
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Everything below a folder, to prove that nothing was written elsewhere.
QStringList treeOf(const QString& folder) {
    QStringList names;
    QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        names << entry.fileName();
        if (entry.isDir()) {
            const QStringList inner = treeOf(entry.filePath());
            for (const QString& name : inner) {
                names << entry.fileName() + "/" + name;
            }
        }
    }
    names.sort();
    return names;
}

std::shared_ptr<const TextRequestTicket> waitFor(std::shared_ptr<const TextRequestTicket> ticket) {
    while (!ticket->finished) {
        platform::pauseLettingEventsRun(10);
    }
    return ticket;
}

} // namespace

class NetworkTransfersTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void textReplyIsCutAtTheLimit();
    void textReplyCharsetIsHonouredElseUtf8ElseLatin1_data();
    void textReplyCharsetIsHonouredElseUtf8ElseLatin1();
    void errReplyIsToldApartFromFailedTransfer();
    void failedTransfersChangeNoTable_data();
    void failedTransfersChangeNoTable();
    void silentServiceEndsAsFailedRequest();
    void requestDuringAnotherWaitsForIt();

    void pictureIsDownloadedAndReplaced();
    void httpsWorksAndRedirectsNeverDowngrade();
    void failedDownloadsWriteNothing_data();
    void failedDownloadsWriteNothing();
    void endlessBodyStopsAtTheSizeCap();
    void silentPictureSourceHitsTheTimeLimit();
    void closingTheAccessEndsABlockingFetch();
    void unsafeNamesNeverLeaveTheWorkFolder();
    void phpPicturesAreNotDownloaded();
    void pageImageIsFetchedAsPhpGif();

    void requestThroughProxyWithPassword();
    void wrongProxyPasswordFailsCleanly();

private:
    std::unique_ptr<QTemporaryDir> sandbox_;
    QString workDir_;
    std::unique_ptr<RunState> state_;
    std::unique_ptr<FetchPrimitives> fetch_;
    std::unique_ptr<CatalogueService> catalogue_;
};

void NetworkTransfersTest::initTestCase() {
    QVERIFY(nettest::trustLoopbackCertificate());
}

void NetworkTransfersTest::init() {
    platform::setTimeScale(1.0);
    sandbox_ = std::make_unique<QTemporaryDir>();
    QVERIFY(sandbox_->isValid());
    workDir_ = sandbox_->filePath("home/Skyglance7_Work");
    QVERIFY(QDir().mkpath(workDir_));
    QVERIFY(QDir().mkpath(sandbox_->filePath("home/Skyglance_PHP")));
    state_ = std::make_unique<RunState>();
    state_->Skyglance_Work_Dir = workDir_;
    state_->imgFileBase = workDir_ + "/Skyglance7_Img";
    state_->Skyglance_PHP_Dir = sandbox_->filePath("home/Skyglance_PHP");
    fetch_ = std::make_unique<FetchPrimitives>(*state_);
    catalogue_ = std::make_unique<CatalogueService>(*state_, *fetch_);
}

void NetworkTransfersTest::cleanup() {
    catalogue_.reset();
    fetch_.reset();
    state_.reset();
    sandbox_.reset();
    platform::setTimeScale(1.0);
}

void NetworkTransfersTest::textReplyIsCutAtTheLimit() {
    // The third item lies beyond character 200000 and must not be seen.
    const QByteArray body =
        "<P>first<P>" + QByteArray(199980, 'a') + "<P>beyond<P>" + QByteArray(100000, 'z') + "<P>";
    HttpPeer peer(HttpPeer::Mode::Answer, HttpPeer::response(200, body, "text/html"));
    const auto ticket = waitFor(fetch_->StartTextRequest(peer.url("/service?x")));
    QVERIFY(ticket->reply.ok());
    QVERIFY(ticket->reply.cut);
    QCOMPARE(state_->replyText.size(), platform::kTextReplyMaxChars);
    QCOMPARE(state_->replyText, QString::fromLatin1(body.left(platform::kTextReplyMaxChars)));
    QVERIFY(fetch_->replyArrived());

    QCOMPARE(catalogue_->RequestCatalogueOutcome(peer.url("/service?x"), int(ReplyKind::Comments)),
             CatalogueResult::Ok);
    QCOMPARE(state_->listURLcomment[0], QStringLiteral("first"));
    QCOMPARE(state_->listURLcomment[1].size(), 199980);
    QVERIFY(state_->listURLcomment[2].isEmpty());
}

void NetworkTransfersTest::textReplyCharsetIsHonouredElseUtf8ElseLatin1_data() {
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    const QString zurich = QStringLiteral("<P>Z\u00fcrich<P>");
    QTest::newRow("none, UTF-8") << QByteArray("text/html") << zurich.toUtf8() << zurich;
    QTest::newRow("none, Latin-1") << QByteArray("text/html") << zurich.toLatin1() << zurich;
    // A sequence cut short by the end of a whole body is not UTF-8.
    QTest::newRow("none, ends inside a sequence")
        << QByteArray("text/html") << QByteArray("<P>Z\xc3") << QStringLiteral("<P>Z\u00c3");
    QTest::newRow("unknown charset")
        << QByteArray("text/html; charset=x-no-such") << zurich.toLatin1() << zurich;
    QTest::newRow("declared Latin-1")
        << QByteArray("text/html; charset=\"ISO-8859-1\"") << zurich.toUtf8()
        << QStringLiteral("<P>Z\u00c3\u00bcrich<P>");
    QTest::newRow("declared UTF-8") << QByteArray("text/html;charset=UTF-8") << zurich.toLatin1()
                                    << QStringLiteral("<P>Z\ufffdrich<P>");
    // Stopped at the byte limit inside a four-byte character (the odd start
    // keeps the reads, whole kilobytes, off the character bounds): still
    // UTF-8, cut whole at the character limit.
    const QString smiles = "a" + QString::fromUtf8("\xf0\x9f\x98\x80").repeated(300000);
    QTest::newRow("none, UTF-8 stopped at the limit")
        << QByteArray("text/plain") << smiles.toUtf8()
        << smiles.left(platform::kTextReplyMaxChars - 1);
}

void NetworkTransfersTest::textReplyCharsetIsHonouredElseUtf8ElseLatin1() {
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    HttpPeer peer(HttpPeer::Mode::Answer, HttpPeer::response(200, body, contentType));
    const auto ticket = waitFor(fetch_->StartTextRequest(peer.url("/service?x")));
    QVERIFY(ticket->reply.ok());
    QCOMPARE(ticket->reply.text.size(), text.size());
    QCOMPARE(ticket->reply.text, text);
}

void NetworkTransfersTest::errReplyIsToldApartFromFailedTransfer() {
    state_->listURL[0] = QStringLiteral("kept");
    HttpPeer err(HttpPeer::Mode::Answer,
                 HttpPeer::response(200, "<p>hsite/a.jpg<p>ERR unknown request<p>"));
    QCOMPARE(catalogue_->RequestCatalogueOutcome(err.url("/s?p=1&x00=zzzz"), int(ReplyKind::Urls)),
             CatalogueResult::ErrReply);
    QVERIFY(!catalogue_->RequestCatalogue(err.url("/s?p=1&x00=zzzz"), int(ReplyKind::Urls)));
    QCOMPARE(catalogue_->lastResult(), CatalogueResult::ErrReply);
    QCOMPARE(state_->listURL[0], QStringLiteral("kept"));
    QCOMPARE(state_->listData[1], QStringLiteral("ERR unknown request"));
    QVERIFY(fetch_->replyArrived());
}

void NetworkTransfersTest::failedTransfersChangeNoTable_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("dead port") << "dead";
    QTest::newRow("server error status") << "500";
    QTest::newRow("not found status") << "404";
    QTest::newRow("file scheme") << "file";
    QTest::newRow("no host") << "nohost";
}

void NetworkTransfersTest::failedTransfersChangeNoTable() {
    QFETCH(QString, kind);
    // A failing service sends markers in its error page: they must not count.
    HttpPeer failing(HttpPeer::Mode::Answer,
                     HttpPeer::response(kind == "404" ? 404 : 500, "<P>hbad/x.jpg<P>"));
    QString address = failing.url("/service/catalogue?p=1&x00=x4444");
    if (kind == "dead") {
        address = QStringLiteral("http://127.0.0.1:%1/service?p=1").arg(nettest::deadPort());
    } else if (kind == "file") {
        address = QStringLiteral("file:///etc/hostname");
    } else if (kind == "nohost") {
        address = QStringLiteral("http:///service?p=1");
    }
    state_->listURL[0] = QStringLiteral("kept");
    state_->replyText = QStringLiteral("older reply");
    QCOMPARE(catalogue_->RequestCatalogueOutcome(address, int(ReplyKind::Urls)),
             CatalogueResult::TransportFailed);
    QCOMPARE(state_->listURL[0], QStringLiteral("kept"));
    QVERIFY(state_->replyText.isEmpty());
    QVERIFY(fetch_->replyArrived()); // no request outstanding any more
    QVERIFY(!fetch_->textRequestOutstanding());
    QCOMPARE(fetch_->inet().transfersInFlight(), 0);
}

void NetworkTransfersTest::silentServiceEndsAsFailedRequest() {
    platform::setTimeScale(0.02); // 30 s become 0.6 s
    HttpPeer silent(HttpPeer::Mode::Silent);
    const auto ticket = waitFor(fetch_->StartTextRequest(silent.url("/service?p=1&x00=x5555")));
    QCOMPARE(ticket->reply.outcome, TransferOutcome::TimedOut);
    QCOMPARE(silent.requestsSeen(), 1);

    state_->serverMessage = QStringLiteral("kept");
    QCOMPARE(catalogue_->RequestCatalogueOutcome(silent.url("/service?p=1&x00=x5555"),
                                                 int(ReplyKind::Message)),
             CatalogueResult::TransportFailed);
    QCOMPARE(state_->serverMessage, QStringLiteral("kept"));
}

void NetworkTransfersTest::requestDuringAnotherWaitsForIt() {
    HttpPeer comments(HttpPeer::Mode::Answer, HttpPeer::response(200, "<P>c0<P>c1<P>"));
    HttpPeer records(HttpPeer::Mode::Answer, HttpPeer::response(200, "<P>r0<P>"));
    CatalogueResult inner = CatalogueResult::TransportFailed;
    // A timer tick that asks the service while the first request waits.
    QTimer::singleShot(0, this, [&] {
        inner = catalogue_->RequestCatalogueOutcome(records.url("/s"), int(ReplyKind::Copyrights));
    });
    QCOMPARE(catalogue_->RequestCatalogueOutcome(comments.url("/s"), int(ReplyKind::Comments)),
             CatalogueResult::Ok);
    QCOMPARE(inner, CatalogueResult::Ok);
    QCOMPARE(state_->listURLcomment[1], QStringLiteral("c1"));
    QCOMPARE(state_->listCopyright[0], QStringLiteral("r0"));
    QVERIFY(state_->listCopyright[1].isEmpty());
}

void NetworkTransfersTest::pictureIsDownloadedAndReplaced() {
    const QByteArray red = pngBytes(Qt::red);
    const QByteArray blue = pngBytes(Qt::blue);
    HttpPeer first(HttpPeer::Mode::Answer, HttpPeer::response(200, red, "image/png"));
    const QString target = WorkFileName(state_->imgFileBase, ".png");
    QVERIFY(fetch_->DownloadFile(first.url("/maps/now.png"), target, ".png"));
    QCOMPARE(readFile(target), red);

    // Through a redirect, and never from a cache: the new bytes replace the old.
    HttpPeer second(HttpPeer::Mode::Answer, HttpPeer::response(200, blue, "image/png"));
    HttpPeer redirect(
        HttpPeer::Mode::Answer,
        HttpPeer::response(302, "", "text/html",
                           "Location: " + second.url("/maps/now.png").toUtf8() + "\r\n"));
    QVERIFY(fetch_->DownloadFile(redirect.url("/maps/now.png"), target, ".png"));
    QCOMPARE(readFile(target), blue);
    QCOMPARE(second.requestsSeen(), 1);
    QCOMPARE(treeOf(workDir_), QStringList{"Skyglance7_Img.png"});
}

void NetworkTransfersTest::httpsWorksAndRedirectsNeverDowngrade() {
    const QByteArray picture = pngBytes(Qt::cyan);
    HttpPeer secure(HttpPeer::Mode::Answer, HttpPeer::response(200, picture, "image/png"),
                    HttpPeer::Transport::Tls);
    const QString target = WorkFileName(state_->imgFileBase, ".png");
    QVERIFY(fetch_->DownloadFile(secure.url("/sat.png"), target, ".png"));
    QCOMPARE(readFile(target), picture);
    QVERIFY(fetch_->FetchImageToFile(state_->Skyglance_PHP_Dir, secure.url("/sat.png")));

    HttpPeer secureText(HttpPeer::Mode::Answer, HttpPeer::response(200, "<P>outmsg=secure<P>"),
                        HttpPeer::Transport::Tls);
    QCOMPARE(catalogue_->RequestCatalogueOutcome(secureText.url("/s?p=1&x00=x5555"),
                                                 int(ReplyKind::Message)),
             CatalogueResult::Ok);
    QCOMPARE(state_->serverMessage, QStringLiteral("secure"));

    // From http up to https is followed ...
    HttpPeer upgrade(HttpPeer::Mode::Answer,
                     HttpPeer::response(301, "", "text/html",
                                        "Location: " + secure.url("/sat.png").toUtf8() + "\r\n"));
    QFile::remove(target);
    QVERIFY(fetch_->DownloadFile(upgrade.url("/sat.png"), target, ".png"));
    QCOMPARE(readFile(target), picture);

    // ... from https down to http is not.
    HttpPeer plain(HttpPeer::Mode::Answer, HttpPeer::response(200, pngBytes(Qt::red)));
    HttpPeer downgrade(HttpPeer::Mode::Answer,
                       HttpPeer::response(302, "", "text/html",
                                          "Location: " + plain.url("/sat.png").toUtf8() + "\r\n"),
                       HttpPeer::Transport::Tls);
    QVERIFY(!fetch_->DownloadFile(downgrade.url("/sat.png"), target, ".png"));
    QCOMPARE(fetch_->lastFetch().outcome, TransferOutcome::UnsupportedAddress);
    QCOMPARE(plain.requestsSeen(), 0);
    QCOMPARE(readFile(target), picture);
}

void NetworkTransfersTest::failedDownloadsWriteNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("404") << "404";
    QTest::newRow("dead host") << "dead";
    QTest::newRow("announced too large") << "announced";
    QTest::newRow("ftp scheme") << "ftp";
    QTest::newRow("redirect to a file") << "redirect-file";
}

void NetworkTransfersTest::failedDownloadsWriteNothing() {
    QFETCH(QString, kind);
    QByteArray response = HttpPeer::response(404, "<html>missing</html>");
    if (kind == "announced") {
        response = "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n"
                   "Content-Length: 40000000000\r\nConnection: close\r\n\r\nabc";
    } else if (kind == "redirect-file") {
        response = HttpPeer::response(302, "", "text/html", "Location: file:///etc/hostname\r\n");
    }
    HttpPeer peer(HttpPeer::Mode::Answer, response);
    QString url = peer.url("/maps/now.jpg");
    if (kind == "dead") {
        url = QStringLiteral("http://127.0.0.1:%1/maps/now.jpg").arg(nettest::deadPort());
    } else if (kind == "ftp") {
        url = QStringLiteral("ftp://127.0.0.1:%1/now.jpg").arg(peer.port());
    }
    // An earlier download stays as it was.
    const QString target = WorkFileName(state_->imgFileBase, ".jpg");
    writeFile(target, "earlier picture");
    QVERIFY(!fetch_->DownloadFile(url, target, ".jpg"));
    QCOMPARE(readFile(target), QByteArray("earlier picture"));
    QCOMPARE(treeOf(workDir_), QStringList{"Skyglance7_Img.jpg"});
}

void NetworkTransfersTest::endlessBodyStopsAtTheSizeCap() {
    HttpPeer endless(HttpPeer::Mode::Endless);
    const QString target = WorkFileName(state_->imgFileBase, ".jpg");
    QVERIFY(!fetch_->DownloadFile(endless.url("/radar.jpg"), target, ".jpg"));
    QCOMPARE(fetch_->lastFetch().outcome, TransferOutcome::TooLarge);
    QVERIFY(fetch_->lastFetch().bytes <= platform::kFetchMaxBytes);
    QVERIFY(!QFile::exists(target));
    QVERIFY(treeOf(workDir_).isEmpty());

    // The page-image fetch has the same cap.
    QVERIFY(!fetch_->FetchImageToFile(state_->Skyglance_PHP_Dir, endless.url("/map.gif")));
    QCOMPARE(fetch_->lastFetch().outcome, TransferOutcome::TooLarge);
    QVERIFY(treeOf(state_->Skyglance_PHP_Dir).isEmpty());
    QCOMPARE(fetch_->inet().transfersInFlight() + fetch_->downloads().transfersInFlight(), 0);
}

void NetworkTransfersTest::silentPictureSourceHitsTheTimeLimit() {
    platform::setTimeScale(0.02); // 60 s become 1.2 s
    HttpPeer silent(HttpPeer::Mode::Silent);
    const QString target = WorkFileName(state_->imgFileBase, ".gif");
    QVERIFY(!fetch_->DownloadFile(silent.url("/loop.gif"), target, ".gif"));
    QCOMPARE(fetch_->lastFetch().outcome, TransferOutcome::TimedOut);
    QVERIFY(treeOf(workDir_).isEmpty());
}

void NetworkTransfersTest::closingTheAccessEndsABlockingFetch() {
    // A window that closes during a download must not leave the download's
    // event loop waiting forever.
    HttpPeer silent(HttpPeer::Mode::Silent);
    auto* access = new platform::NetworkAccess;
    QTimer::singleShot(100, this, [access] { delete access; });
    const QString target = WorkFileName(state_->imgFileBase, ".jpg");
    const platform::FetchResult result = access->fetchToFile(silent.url("/a.jpg"), target);
    QCOMPARE(result.outcome, TransferOutcome::NetworkError);
    QVERIFY(treeOf(workDir_).isEmpty());
}

void NetworkTransfersTest::unsafeNamesNeverLeaveTheWorkFolder() {
    HttpPeer peer(HttpPeer::Mode::Answer, HttpPeer::response(200, pngBytes(Qt::green)));
    const QStringList before = treeOf(sandbox_->path());
    const QString extension = ExtensionOfAddress(QStringLiteral("http://evil.example/../../x"));
    QVERIFY(!fetch_->DownloadFile(peer.url("/x"), state_->imgFileBase + extension, extension));
    QVERIFY(!fetch_->DownloadFile(peer.url("/x"), state_->imgFileBase + ".example/../../x",
                                  ".example/../../x"));
    // A safe extension with a path that climbs out is refused as well.
    QVERIFY(!fetch_->DownloadFile(peer.url("/x"), workDir_ + "/../../escaped.png", ".png"));
    QCOMPARE(treeOf(sandbox_->path()), before);
    QCOMPARE(peer.requestsSeen(), 0);

    // The work-file name for such an address stays in the work folder.
    const QString mended = WorkFileName(state_->imgFileBase, extension);
    QVERIFY(fetch_->DownloadFile(peer.url("/x"), mended, SafeExtension(extension)));
    QCOMPARE(QFileInfo(mended).absolutePath(), QFileInfo(workDir_).absoluteFilePath());
}

void NetworkTransfersTest::phpPicturesAreNotDownloaded() {
    HttpPeer peer(HttpPeer::Mode::Answer, HttpPeer::response(200, pngBytes(Qt::gray)));
    QVERIFY(fetch_->DownloadFile(peer.url("/page.php"), state_->imgFileBase + ".php", " .php "));
    QCOMPARE(peer.requestsSeen(), 0);
    QVERIFY(treeOf(workDir_).isEmpty());
    QVERIFY(fetch_->DownloadFile(peer.url("/page.PHP"), state_->imgFileBase + ".PHP", ".PHP"));
    QCOMPARE(peer.requestsSeen(), 1);
}

void NetworkTransfersTest::pageImageIsFetchedAsPhpGif() {
    const QByteArray picture = pngBytes(Qt::yellow);
    HttpPeer peer(HttpPeer::Mode::Answer, HttpPeer::response(200, picture, "image/png"));
    // A source as written in a page, without a scheme.
    const QString source = QStringLiteral("  127.0.0.1:%1/img/map.png ").arg(peer.port());
    QVERIFY(fetch_->FetchImageToFile(state_->Skyglance_PHP_Dir + "/", source));
    QCOMPARE(readFile(state_->Skyglance_PHP_Dir + "/PHP.gif"), picture);

    fetch_->SavePageFirstImage({QStringLiteral("//127.0.0.1:%1/first.png").arg(peer.port()),
                                QStringLiteral("http://127.0.0.1:1/second.png")});
    QCOMPARE(peer.requestsSeen(), 2);
    QCOMPARE(treeOf(state_->Skyglance_PHP_Dir), QStringList{"PHP.gif"});
}

void NetworkTransfersTest::requestThroughProxyWithPassword() {
    nettest::TinyProxy proxy(QStringLiteral("skyuser"), QStringLiteral("s3cret"));
    QString why;
    if (!proxy.start(&why)) {
        QFAIL(qPrintable(why));
    }
    HttpPeer peer(HttpPeer::Mode::Answer, HttpPeer::response(200, "<P>outmsg=through proxy<P>"));
    fetch_->setProxy({true, QStringLiteral("127.0.0.1:%1").arg(proxy.port()), QStringLiteral("1"),
                      QStringLiteral("skyuser"), QStringLiteral("s3cret")});
    QCOMPARE(catalogue_->RequestCatalogueOutcome(peer.url("/service?p=1&x00=x5555"),
                                                 int(ReplyKind::Message)),
             CatalogueResult::Ok);
    QCOMPARE(state_->serverMessage, QStringLiteral("through proxy"));

    // The port may come from the port box instead; page images use the proxy too.
    fetch_->setProxy({true, QStringLiteral("127.0.0.1"), QString::number(proxy.port()),
                      QStringLiteral("skyuser"), QStringLiteral("s3cret")});
    QVERIFY(fetch_->FetchImageToFile(state_->Skyglance_PHP_Dir, peer.url("/first.png")));
    QCOMPARE(peer.requestsSeen(), 2);
    QVERIFY2(proxy.log().contains("GET"), "tinyproxy did not carry the requests");
}

void NetworkTransfersTest::wrongProxyPasswordFailsCleanly() {
    nettest::TinyProxy proxy(QStringLiteral("skyuser"), QStringLiteral("s3cret"));
    QString why;
    if (!proxy.start(&why)) {
        QFAIL(qPrintable(why));
    }
    HttpPeer peer(HttpPeer::Mode::Answer, HttpPeer::response(200, "<P>outmsg=should not<P>"));
    fetch_->setProxy({true, QStringLiteral("127.0.0.1:%1").arg(proxy.port()), QString(),
                      QStringLiteral("skyuser"), QStringLiteral("wrong")});
    state_->serverMessage = QStringLiteral("kept");
    QCOMPARE(catalogue_->RequestCatalogueOutcome(peer.url("/service?p=1&x00=x5555"),
                                                 int(ReplyKind::Message)),
             CatalogueResult::TransportFailed);
    QCOMPARE(state_->serverMessage, QStringLiteral("kept"));
    QVERIFY(!fetch_->FetchImageToFile(state_->Skyglance_PHP_Dir, peer.url("/first.png")));
    QVERIFY(treeOf(state_->Skyglance_PHP_Dir).isEmpty());
    QCOMPARE(peer.requestsSeen(), 0);
}

QTEST_MAIN(NetworkTransfersTest)
#include "test_network_transfers.moc"
