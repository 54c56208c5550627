// The rules of the catalogue client and the fetch primitives that need no
// network: reply splitting, storing by reply kind, names, addresses, work-file
// names, proxy addresses and the connection icon.

#include "catalogue/CatalogueService.h"
#include "catalogue/VendorServices.h"
#include "download/ConnectionMonitor.h"
#include "download/FetchPrimitives.h"
#include "platform/NetProxy.h"
#include "state/RunState.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

class CatalogueRulesTest : public QObject {
    Q_OBJECT

private slots:
    void splitsItemsBetweenMarkers_data();
    void splitsItemsBetweenMarkers();
    void splitStopsAtTwoThousandItems();
    void errItemFailsOnlyInCapitals();
    void urlReplyReplacesWholeColumn();
    void columnRepliesKeepEntriesBehindTheItems();
    void idItemsOutOfRangeBecomeZero();
    void messageReplyRules();
    void namesAndIdLists();
    void queriesCarryTheRequestCode();
    void siteRootFromSettingOrEnvironment();
    void localhostOptionPlacement();
    void workFileExtensionIsNeverAPath();
    void pageImageAddresses();
    void proxyAddressCarriesThePort();
    void connectionIconFollowsTheProbe();

private:
    std::unique_ptr<RunState> freshState() { return std::make_unique<RunState>(); }
};

void CatalogueRulesTest::splitsItemsBetweenMarkers_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("two items") << "<P>a<P>b<P>" << QStringList{"a", "b"};
    QTest::newRow("junk before first marker") << "junk<P>a<P>" << QStringList{"a"};
    QTest::newRow("no closing marker") << "<P>a" << QStringList{};
    QTest::newRow("small letters") << "<p>a<P>b<p>" << QStringList{"a", "b"};
    QTest::newRow("empty items count") << "<P><P>x<P><P>" << QStringList{"", "x", ""};
    QTest::newRow("no marker") << "ERR nothing here" << QStringList{};
    QTest::newRow("broken marker is text") << "<P>a<Pb<P" << QStringList{};
    QTest::newRow("line ends stay in items") << "<P>a\r\n<P>" << QStringList{"a\r\n"};
    QTest::newRow("marker chars around") << "<<P>>a<P>" << QStringList{">a"};
}

void CatalogueRulesTest::splitsItemsBetweenMarkers() {
    QFETCH(QString, reply);
    QFETCH(QStringList, items);
    QCOMPARE(SplitCatalogueReply(reply), items);
}

void CatalogueRulesTest::splitStopsAtTwoThousandItems() {
    QString reply = QStringLiteral("<P>");
    for (int i = 0; i < 2500; ++i) {
        reply += QString::number(i) + QStringLiteral("<P>");
    }
    const QStringList items = SplitCatalogueReply(reply);
    QCOMPARE(items.size(), kMaxCatalogueItems);
    QCOMPARE(items.back(), QStringLiteral("1999"));

    // Entry 2000 of every table stays empty, however long the reply.
    auto state = freshState();
    StoreReplyItems(*state, SplitCatalogueReply(reply, 100000), int(ReplyKind::Urls));
    QCOMPARE(state->listURL[1999], QStringLiteral("1999"));
    QVERIFY(state->listURL[2000].isEmpty());
}

void CatalogueRulesTest::errItemFailsOnlyInCapitals() {
    QVERIFY(ReplyHasErrItem({"a", "ERR"}));
    QVERIFY(ReplyHasErrItem({"ERRwhatever follows"}));
    QVERIFY(!ReplyHasErrItem({"err", "Err", " ERR", "xERR"}));
    QVERIFY(!ReplyHasErrItem({}));
}

void CatalogueRulesTest::urlReplyReplacesWholeColumn() {
    auto state = freshState();
    for (int i = 0; i < 10; ++i) {
        state->listURL[i] = QStringLiteral("old");
        state->listURLnameOnly[i] = QStringLiteral("old");
    }
    StoreReplyItems(*state, {"hsite/a/pic.jpg", "4site/loop.gif", "2site/page/"},
                    int(ReplyKind::Urls));
    QCOMPARE(state->listURL[1], QStringLiteral("4site/loop.gif"));
    QCOMPARE(state->listURLnameOnly[0], QStringLiteral("pic.jpg"));
    QCOMPARE(state->listURLnameOnly[2], QString());
    for (int i = 3; i < 10; ++i) {
        QVERIFY(state->listURL[i].isEmpty());
        QVERIFY(state->listURLnameOnly[i].isEmpty());
    }
}

void CatalogueRulesTest::columnRepliesKeepEntriesBehindTheItems() {
    auto state = freshState();
    for (int i = 0; i < 6; ++i) {
        state->listURLcomment[i] = QStringLiteral("old comment");
        state->listCopyright[i] = QStringLiteral("old record");
        state->listIdPicture[i] = 99;
    }
    const QStringList three{"1", "2", "3"};
    StoreReplyItems(*state, three, int(ReplyKind::Comments));
    StoreReplyItems(*state, three, int(ReplyKind::Copyrights));
    StoreReplyItems(*state, three, int(ReplyKind::Ids));
    QCOMPARE(state->listURLcomment[2], QStringLiteral("3"));
    QCOMPARE(state->listURLcomment[3], QStringLiteral("old comment"));
    QCOMPARE(state->listCopyright[3], QStringLiteral("old record"));
    QCOMPARE(state->listIdPicture[2], int16_t{3});
    QCOMPARE(state->listIdPicture[3], int16_t{99});

    // listData always holds exactly the last reply.
    state->listData[5] = QStringLiteral("stale");
    StoreListData(*state, three);
    QCOMPARE(state->listData[0], QStringLiteral("1"));
    QVERIFY(state->listData[5].isEmpty());
}

void CatalogueRulesTest::idItemsOutOfRangeBecomeZero() {
    QCOMPARE(PictureIdFromItem(" 42\r\n"), int16_t{42});
    QCOMPARE(PictureIdFromItem("-32768"), int16_t{-32768});
    QCOMPARE(PictureIdFromItem("32767"), int16_t{32767});
    QCOMPARE(PictureIdFromItem("32768"), int16_t{0});
    QCOMPARE(PictureIdFromItem("12abc"), int16_t{0});
    QCOMPARE(PictureIdFromItem(""), int16_t{0});
}

void CatalogueRulesTest::messageReplyRules() {
    auto state = freshState();
    state->serverMessage = QStringLiteral("before");
    StoreReplyItems(*state, {"outmsg="}, int(ReplyKind::Message));
    QCOMPARE(state->serverMessage, QStringLiteral("before")); // 7 characters change nothing
    StoreReplyItems(*state, {}, int(ReplyKind::Message));
    QCOMPARE(state->serverMessage, QStringLiteral("before"));
    StoreReplyItems(*state, {"outmsg=Hello", "ignored"}, int(ReplyKind::Message));
    QCOMPARE(state->serverMessage, QStringLiteral("Hello"));
    StoreReplyItems(*state, {"OUTMSG=Hello"}, int(ReplyKind::Message));
    QCOMPARE(state->serverMessage, QString());
}

void CatalogueRulesTest::namesAndIdLists() {
    QCOMPARE(Extract_Name_Only("hsite/maps/pic.jpg"), QStringLiteral("pic.jpg"));
    QCOMPARE(Extract_Name_Only("hsite/maps/"), QString());
    QCOMPARE(Extract_Name_Only("noslash"), QStringLiteral("noslash"));
    QCOMPARE(BuildStrIdForBrowser({12, 345, 7}), QStringLiteral("[_12_345_7_]"));
    QCOMPARE(BuildStrIdForBrowser({5, 9}), QStringLiteral("[_5_9_]"));
    QCOMPARE(BuildStrIdForBrowser({}), QStringLiteral("[_]"));
    QCOMPARE(BuildStrIdForBrowser({-3}), QStringLiteral("[_-3_]"));
}

void CatalogueRulesTest::queriesCarryTheRequestCode() {
    const QString service = QStringLiteral("http://h:1/service/catalogue?");
    QCOMPARE(CatalogueQuery(service, CatalogueRequest::AllUrls),
             QStringLiteral("http://h:1/service/catalogue?p=1&x00=x4444"));
    QCOMPARE(CatalogueQuery(service, CatalogueRequest::TickedUrls, "[_5_9_]"),
             QStringLiteral("http://h:1/service/catalogue?p=1&x00=y2222[_5_9_]"));
    QCOMPARE(CatalogueQuery(service, CatalogueRequest::Message, "[_5_9_]"),
             QStringLiteral("http://h:1/service/catalogue?p=1&x00=x5555"));
    QCOMPARE(ReplyKindOf(CatalogueRequest::AllIds), ReplyKind::Ids);
    QCOMPARE(ReplyKindOf(CatalogueRequest::AllCopyrights), ReplyKind::Copyrights);
}

void CatalogueRulesTest::siteRootFromSettingOrEnvironment() {
    qunsetenv(kSiteEnvironmentVariable);
    const CommandLineParams none{};
    VendorServices vendor(QStringLiteral("http://www.example.org/"));
    QCOMPARE(vendor.serviceAddress(none),
             QStringLiteral("http://www.example.org/service/catalogue?"));
    QCOMPARE(VendorServices().siteRoot(), QString::fromLatin1(kPlaceholderSiteRoot));

    qputenv(kSiteEnvironmentVariable, "http://127.0.0.1:8080/");
    QCOMPARE(vendor.versionFileAddress(none),
             QStringLiteral("http://127.0.0.1:8080/currentversion.html"));
    QCOMPARE(vendor.collectionsAddress(none),
             QStringLiteral("http://127.0.0.1:8080/collections.exe"));
    QCOMPARE(vendor.helpPageAddress("/eng_help1.asp"),
             QStringLiteral("http://127.0.0.1:8080/eng_help1.asp"));
    QCOMPARE(vendor.sponsorPageAddress(),
             QStringLiteral("http://127.0.0.1:8080/public/rovuradidiviz.html"));
    qunsetenv(kSiteEnvironmentVariable);
}

void CatalogueRulesTest::localhostOptionPlacement() {
    CommandLineParams params{};
    params[2] = QStringLiteral("LOCALHOST");
    QVERIFY(CatalogueOnThisMachine(params));
    QVERIFY(!UpdatesOnThisMachine(params));
    params[2] = QStringLiteral("localhost");
    QVERIFY(!CatalogueOnThisMachine(params));
    params[1] = QStringLiteral("LOCALHOST");
    QVERIFY(CatalogueOnThisMachine(params));
    QVERIFY(UpdatesOnThisMachine(params));
    params[1].clear();
    params[10] = QStringLiteral("LOCALHOST"); // entry 10 holds overflow text, not an option
    QVERIFY(!CatalogueOnThisMachine(params));

    // The addresses follow the option: elsewhere only the catalogue moves,
    // as the first parameter the version file and package too; scheme and
    // port of the site (the environment's here) stay, the help pages stay.
    qputenv(kSiteEnvironmentVariable, "https://user@weather.example:8123/");
    const VendorServices vendor;
    params = {};
    params[3] = QStringLiteral("LOCALHOST");
    QCOMPARE(vendor.serviceAddress(params),
             QStringLiteral("https://127.0.0.1:8123/service/catalogue?"));
    QCOMPARE(vendor.versionFileAddress(params),
             QStringLiteral("https://user@weather.example:8123/currentversion.html"));
    params[1] = QStringLiteral("LOCALHOST");
    QCOMPARE(vendor.versionFileAddress(params),
             QStringLiteral("https://127.0.0.1:8123/currentversion.html"));
    QCOMPARE(vendor.collectionsAddress(params),
             QStringLiteral("https://127.0.0.1:8123/collections.exe"));
    QCOMPARE(vendor.helpPageAddress("/eng_help1.asp"),
             QStringLiteral("https://user@weather.example:8123/eng_help1.asp"));
    qunsetenv(kSiteEnvironmentVariable);
    // A site without a port (the placeholder's) sends LOCALHOST to the
    // packaged service, not to port 80.
    QCOMPARE(VendorServices(QStringLiteral("http://www.example.org")).serviceAddress(params),
             QStringLiteral("http://127.0.0.1:8080/service/catalogue?"));
    QCOMPARE(VendorServices().catalogueAddressInUse(params),
             QStringLiteral("http://127.0.0.1:8080/service/catalogue"));

    // SITE= is an option like the others: a whole entry, exact case, the
    // first one counts; its address keeps its ":" and "/".
    params = {};
    params[1] = QStringLiteral("site=http://a.example:1");
    params[2] = QStringLiteral("SITE= http://10.0.0.5:8080/ ");
    params[3] = QStringLiteral("SITE=http://b.example:2");
    QCOMPARE(SiteOptionOf(params), QStringLiteral("http://10.0.0.5:8080/"));
    params[2].clear();
    params[3].clear();
    params[10] = QStringLiteral("SITE=http://c.example:3");
    QCOMPARE(SiteOptionOf(params), QString());
}

void CatalogueRulesTest::workFileExtensionIsNeverAPath() {
    QCOMPARE(ExtensionOfAddress("http://h/maps/pic.JPG"), QStringLiteral(".JPG"));
    QCOMPARE(ExtensionOfAddress("http://evil.example/../../x"), QStringLiteral("./x"));
    QCOMPARE(ExtensionOfAddress("http://evil.example/x"), QStringLiteral(".example/x"));
    QCOMPARE(ExtensionOfAddress("nodot"), QString());

    const QString base = QStringLiteral("/home/u/Skyglance7_Work/Skyglance7_Img");
    QCOMPARE(WorkFileName(base, ".jpg"), base + ".jpg");
    QCOMPARE(WorkFileName(base, ".tar-gz_2"), base + ".tar-gz_2");
    for (const char* unsafe : {".example/../../x", "./../x", ".a\\..\\b", ".", ".jp g", ".jpg?t=1",
                               ".verylongextension", ".\xc3\xa9"}) {
        const QString extension = QString::fromUtf8(unsafe);
        QVERIFY2(!IsSafeExtension(extension), unsafe);
        QCOMPARE(WorkFileName(base, extension), base + kReplacementExtension);
    }
    QVERIFY(IsPageImageExtension("  .php "));
    QVERIFY(!IsPageImageExtension(".PHP"));
}

void CatalogueRulesTest::pageImageAddresses() {
    QCOMPARE(PageImageAddress("  host/a.gif "), QStringLiteral("http://host/a.gif"));
    QCOMPARE(PageImageAddress("HTTP://host/a.gif"), QStringLiteral("HTTP://host/a.gif"));
    QCOMPARE(PageImageAddress("https://host/a.gif"), QStringLiteral("https://host/a.gif"));
    QCOMPARE(PageImageAddress("//host/a.gif"), QStringLiteral("http://host/a.gif"));
    QCOMPARE(PageImageFile("/tmp/php/"), QStringLiteral("/tmp/php/PHP.gif"));
    QCOMPARE(PageImageFile("/tmp/php"), QStringLiteral("/tmp/php/PHP.gif"));
    QCOMPARE(PageImageFile("/tmp/php\\"), QStringLiteral("/tmp/php/PHP.gif"));
}

void CatalogueRulesTest::proxyAddressCarriesThePort() {
    using platform::proxyEndpoint;
    QCOMPARE(proxyEndpoint("proxy.lan:3128", "80").port, quint16{3128});
    QCOMPARE(proxyEndpoint("proxy.lan:3128", "80").host, QStringLiteral("proxy.lan"));
    QCOMPARE(proxyEndpoint("proxy.lan", "8080").port, quint16{8080});
    QCOMPARE(proxyEndpoint("proxy.lan", "nonsense").port, platform::kDefaultProxyPort);
    QCOMPARE(proxyEndpoint("proxy.lan:99999", "81").port, quint16{81});
    QCOMPARE(proxyEndpoint("http://proxy.lan:3128/", "").host, QStringLiteral("proxy.lan"));
    QCOMPARE(proxyEndpoint("[::1]:3128", "").host, QStringLiteral("::1"));
    QCOMPARE(proxyEndpoint("[::1]:3128", "").port, quint16{3128});
    QCOMPARE(proxyEndpoint("fd00::1", "3128").host, QStringLiteral("fd00::1"));

    platform::ProxySetting setting{true, "127.0.0.1:8888", "80", "user", "secret"};
    const QNetworkProxy proxy = platform::makeNetworkProxy(setting);
    QCOMPARE(proxy.type(), QNetworkProxy::HttpProxy);
    QCOMPARE(proxy.port(), quint16{8888});
    QCOMPARE(proxy.user(), QStringLiteral("user"));
    QCOMPARE(proxy.password(), QStringLiteral("secret"));
    setting.enabled = false;
    QCOMPARE(platform::makeNetworkProxy(setting).type(), QNetworkProxy::NoProxy);
    setting = {true, "  ", "80", "", ""};
    QCOMPARE(platform::makeNetworkProxy(setting).type(), QNetworkProxy::NoProxy);
}

void CatalogueRulesTest::connectionIconFollowsTheProbe() {
    InterfaceFacts ethernet{true, true, false, true};
    InterfaceFacts loopback{true, true, true, true};
    InterfaceFacts cablePulled{true, false, false, true};
    InterfaceFacts linkLocalOnly{true, true, false, false};
    QVERIFY(anyInterfaceConnected({loopback, ethernet}));
    QVERIFY(!anyInterfaceConnected({loopback, cablePulled, linkLocalOnly}));
    QVERIFY(!anyInterfaceConnected({}));

    bool cable = true;
    ConnectionMonitor monitor([&cable] { return cable; }, nullptr);
    QSignalSpy shown(&monitor, &ConnectionMonitor::iconToShow);
    QCOMPARE(monitor.ShowConnectionState(), ConnectionIcon::Connected);
    cable = false;
    QCOMPARE(monitor.ShowConnectionState(), ConnectionIcon::Disconnected);
    QCOMPARE(monitor.ShowConnectionState(), ConnectionIcon::Disconnected);
    QCOMPARE(shown.size(), 3); // announced at every tick, so the icon is raised every time
    QCOMPARE(shown.at(1).at(0).value<ConnectionIcon>(), ConnectionIcon::Disconnected);

    // The real probe answers on this machine without raising anything.
    ConnectionMonitor real;
    const ConnectionIcon icon = real.ShowConnectionState();
    QCOMPARE(icon, iconForConnection(connActive()));
}

QTEST_GUILESS_MAIN(CatalogueRulesTest)
#include "test_catalogue_rules.moc"
