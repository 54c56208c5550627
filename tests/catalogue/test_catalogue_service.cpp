// The catalogue client and the fetch primitives against the real catalogue
// service, started on a free loopback port, directly and through the real
// tinyproxy.

#include "CatalogueServiceLauncher.h"
#include "LoopbackPeers.h"
#include "catalogue/CatalogueService.h"
#include "catalogue/VendorServices.h"
#include "download/FetchPrimitives.h"
#include "platform/Timing.h"
#include "state/RunState.h"

#include <QDir>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// The address a picture fetcher uses: the source code back to "h".
QString plainAddress(const QString& catalogueUrl) {
    return "h" + catalogueUrl.mid(1);
}

int rowCount(const RunState& state) {
    int rows = 0;
    while (rows < kMaxCatalogueItems && !state.listURL[rows].isEmpty()) {
        ++rows;
    }
    return rows;
}

} // namespace

class CatalogueServiceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void serviceAddressComesFromTheSite();
    void wholeCatalogueFillsEveryColumn();
    void tickedPicturesComeInSelectionOrder();
    void malformedRequestIsAnErrReply();
    void localhostReachesTheServiceOnItsPort();
    void samplePicturesDownloadAndDecode();
    void missingPictureIsNotWritten();
    void catalogueThroughTheProxy();

private:
    void askWholeCatalogue();

    std::unique_ptr<CatalogueServiceLauncher> service_;
    std::unique_ptr<QTemporaryDir> sandbox_;
    std::unique_ptr<RunState> state_;
    std::unique_ptr<FetchPrimitives> fetch_;
    std::unique_ptr<VendorServices> vendor_;
    std::unique_ptr<CatalogueService> catalogue_;
};

void CatalogueServiceTest::initTestCase() {
    service_ = std::make_unique<CatalogueServiceLauncher>();
    if (!service_->start()) {
        QFAIL(qPrintable(service_->why()));
    }
    qputenv(kSiteEnvironmentVariable, service_->site.toUtf8());
}

void CatalogueServiceTest::init() {
    platform::setTimeScale(1.0);
    sandbox_ = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(sandbox_->filePath("Skyglance7_Work")));
    state_ = std::make_unique<RunState>();
    state_->Skyglance_Work_Dir = sandbox_->filePath("Skyglance7_Work");
    state_->imgFileBase = state_->Skyglance_Work_Dir + "/Skyglance7_Img";
    state_->Skyglance_PHP_Dir = sandbox_->path();
    fetch_ = std::make_unique<FetchPrimitives>(*state_);
    vendor_ = std::make_unique<VendorServices>();
    catalogue_ = std::make_unique<CatalogueService>(*state_, *fetch_, *vendor_);
}

void CatalogueServiceTest::cleanup() {
    catalogue_.reset();
    vendor_.reset();
    fetch_.reset();
    state_.reset();
    sandbox_.reset();
}

void CatalogueServiceTest::askWholeCatalogue() {
    QCOMPARE(catalogue_->Ask(CatalogueRequest::Message), CatalogueResult::Ok);
    QCOMPARE(catalogue_->Ask(CatalogueRequest::AllUrls), CatalogueResult::Ok);
    QCOMPARE(catalogue_->Ask(CatalogueRequest::AllIds), CatalogueResult::Ok);
    QCOMPARE(catalogue_->Ask(CatalogueRequest::AllComments), CatalogueResult::Ok);
    QCOMPARE(catalogue_->Ask(CatalogueRequest::AllCopyrights), CatalogueResult::Ok);
}

void CatalogueServiceTest::serviceAddressComesFromTheSite() {
    QCOMPARE(catalogue_->serviceAddress(), service_->service);
}

void CatalogueServiceTest::wholeCatalogueFillsEveryColumn() {
    askWholeCatalogue();
    const int rows = rowCount(*state_);
    QVERIFY2(rows >= 30, qPrintable(QString::number(rows)));

    QSet<int16_t> ids;
    QSet<QChar> sourceCodes;
    for (int r = 0; r < rows; ++r) {
        const QString url = state_->listURL[r];
        sourceCodes.insert(url.front());
        QCOMPARE(state_->listURLnameOnly[r], Extract_Name_Only(url));
        QVERIFY2(!state_->listURLcomment[r].section(' ', 1, 1).isEmpty(),
                 qPrintable(state_->listURLcomment[r]));
        QVERIFY2(state_->listCopyright[r].contains('-'), qPrintable(state_->listCopyright[r]));
        QVERIFY(state_->listIdPicture[r] != 0);
        ids.insert(state_->listIdPicture[r]);
    }
    QCOMPARE(ids.size(), rows); // one identity per row, the same row in every column
    for (QChar code : {'h', '2', '3', '4', '5', '6'}) {
        QVERIFY2(sourceCodes.contains(code), qPrintable(QString(code)));
    }
    QVERIFY(state_->listURLcomment[rows].isEmpty());
    QVERIFY(state_->listCopyright[rows].isEmpty());
    QVERIFY(!state_->replyText.isEmpty());
    QVERIFY(fetch_->replyArrived());
}

void CatalogueServiceTest::tickedPicturesComeInSelectionOrder() {
    askWholeCatalogue();
    const QString third = state_->listURL[2];
    const QString first = state_->listURL[0];
    const QString sixth = state_->listURL[5];
    const int16_t unknownId = 32000;
    state_->strIdForBrowser = BuildStrIdForBrowser(
        {state_->listIdPicture[2], state_->listIdPicture[0], unknownId, state_->listIdPicture[5]});
    QCOMPARE(catalogue_->Ask(CatalogueRequest::TickedUrls), CatalogueResult::Ok);
    QCOMPARE(state_->listURL[0], third);
    QCOMPARE(state_->listURL[1], first);
    QVERIFY(!state_->listURL[2].isEmpty()); // a picture that no row has keeps its position
    QCOMPARE(state_->listURL[3], sixth);
    QVERIFY(state_->listURL[4].isEmpty());

    state_->strIdForBrowser = BuildStrIdForBrowser({});
    QCOMPARE(catalogue_->Ask(CatalogueRequest::TickedUrls), CatalogueResult::Ok);
    QCOMPARE(rowCount(*state_), 0);
}

void CatalogueServiceTest::malformedRequestIsAnErrReply() {
    askWholeCatalogue();
    const QString before = state_->listURL[0];
    QCOMPARE(catalogue_->RequestCatalogueOutcome(service_->service + "p=1&x00=zzzz",
                                                 int(ReplyKind::Urls)),
             CatalogueResult::ErrReply);
    QVERIFY(state_->listData[0].startsWith("ERR"));
    QCOMPARE(state_->listURL[0], before);

    state_->strIdForBrowser = QStringLiteral("[_12_oops_]");
    QCOMPARE(catalogue_->Ask(CatalogueRequest::TickedUrls), CatalogueResult::ErrReply);
    QCOMPARE(state_->listURL[0], before);
}

void CatalogueServiceTest::localhostReachesTheServiceOnItsPort() {
    // A configured site elsewhere, on the port of the running service.
    const QUrl site(service_->site);
    qunsetenv(kSiteEnvironmentVariable);
    vendor_->setConfiguredSiteRoot(QStringLiteral("http://weather.invalid:%1").arg(site.port()));
    state_->cmdParams[2] = QStringLiteral("LOCALHOST"); // as "-NOSILENT-LOCALHOST" splits
    QCOMPARE(catalogue_->Ask(CatalogueRequest::AllIds), CatalogueResult::Ok);
    QVERIFY(state_->listIdPicture[0] != 0);
    qputenv(kSiteEnvironmentVariable, service_->site.toUtf8());
}

void CatalogueServiceTest::samplePicturesDownloadAndDecode() {
    askWholeCatalogue();
    int checked = 0;
    for (int r = 0; r < rowCount(*state_); ++r) {
        const QString url = state_->listURL[r];
        if (!url.startsWith('h') && !url.startsWith('4')) {
            continue;
        }
        const QString extension = ExtensionOfAddress(url);
        const QString target = WorkFileName(state_->imgFileBase, extension);
        QVERIFY2(fetch_->DownloadFile(plainAddress(url), target, extension), qPrintable(url));
        QVERIFY2(!QImage(target).isNull(), qPrintable(url));
        ++checked;
    }
    QVERIFY(checked >= 10);
    // Only the work files, one per extension, are left.
    const QStringList left = QDir(state_->Skyglance_Work_Dir).entryList(QDir::Files);
    for (const QString& name : left) {
        QVERIFY2(name.startsWith("Skyglance7_Img."), qPrintable(name));
    }
}

void CatalogueServiceTest::missingPictureIsNotWritten() {
    const QString target = WorkFileName(state_->imgFileBase, ".jpg");
    QVERIFY(!fetch_->DownloadFile(service_->site + "/site/maps/no_such_map.jpg", target, ".jpg"));
    QVERIFY(!QFile::exists(target));
    QVERIFY(!fetch_->FetchImageToFile(state_->Skyglance_PHP_Dir,
                                      service_->site + "/site/maps/no_such_map.gif"));
    QVERIFY(!QFile::exists(PageImageFile(state_->Skyglance_PHP_Dir)));
}

void CatalogueServiceTest::catalogueThroughTheProxy() {
    nettest::TinyProxy proxy(QStringLiteral("sky"), QStringLiteral("glance"));
    QString why;
    if (!proxy.start(&why)) {
        QFAIL(qPrintable(why));
    }
    const QString address = QStringLiteral("127.0.0.1:%1").arg(proxy.port());
    fetch_->setProxy({true, address, QString(), QStringLiteral("sky"), QStringLiteral("glance")});
    QCOMPARE(catalogue_->Ask(CatalogueRequest::AllUrls), CatalogueResult::Ok);
    const int rows = rowCount(*state_);
    QVERIFY(rows >= 30);

    fetch_->setProxy({true, address, QString(), QStringLiteral("sky"), QStringLiteral("guess")});
    QCOMPARE(catalogue_->Ask(CatalogueRequest::AllComments), CatalogueResult::TransportFailed);
    QVERIFY(state_->listURLcomment[0].isEmpty());
    QCOMPARE(rowCount(*state_), rows);
    QVERIFY2(proxy.log().contains("service/catalogue"), "tinyproxy did not carry the request");
}

QTEST_MAIN(CatalogueServiceTest)
#include "test_catalogue_service.moc"
