// The catalogue service's logic without the network: the catalogue file and
// its database, the replies as the client splits them, safe site paths, page
// templates, the collections package, the drawn pictures and the reading of
// request heads.
#include "AccessLog.h"
#include "CatalogueDatabase.h"
#include "CatalogueReplies.h"
#include "CollectionsPackage.h"
#include "ContentCoding.h"
#include "FileHelpers.h"
#include "GifWriter.h"
#include "HttpCaching.h"
#include "PictureCache.h"
#include "RequestParser.h"
#include "RequestScreen.h"
#include "SitePaths.h"
#include "SiteTemplates.h"
#include "ZipWriter.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <brotli/decode.h>
#include <map>
#include <set>
#include <thread>

using namespace skyglance::catalogue;

namespace {

// The items between consecutive "<P>" markers, found whatever their case,
// as the client reads a reply.
std::vector<std::string> splitReply(const std::string& reply) {
    auto findMarker = [&reply](std::size_t from) {
        for (std::size_t i = from; i + 2 < reply.size(); ++i) {
            if (reply[i] == '<' && (reply[i + 1] == 'p' || reply[i + 1] == 'P') &&
                reply[i + 2] == '>') {
                return i;
            }
        }
        return std::string::npos;
    };
    std::vector<std::string> items;
    std::size_t open = findMarker(0);
    while (open != std::string::npos) {
        const std::size_t close = findMarker(open + 3);
        if (close == std::string::npos) {
            break;
        }
        items.push_back(reply.substr(open + 3, close - open - 3));
        open = close;
    }
    return items;
}

std::vector<std::string> splitDashes(const std::string& record) {
    std::vector<std::string> fields(1);
    for (char c : record) {
        if (c == '-') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

const std::string kGoodRow = "http://{HOST}/a.jpg\t7\tEurope EUMAP a map\tX-(c) Me-95-Line two-";

Catalogue smallCatalogue() {
    std::vector<CatalogueRow> rows = {
        {"http://{HOST}/site/maps/a.jpg", 1, "Europe EUA first map", "X-(c) A--Line A-"},
        {"4ttp://{HOST}/site/radar/b.gif", 2, "Radar RADB second", "X-(c) B-95-Line B-"},
        {"5ttp://{HOST}/site/series/h_*.png,1,1,3,2", 30, "Hourly HRS third & <last>",
         "X-(c) C-200-Line C-"},
    };
    return makeCatalogue(std::move(rows), "Hello there", "127.0.0.1:9");
}

} // namespace

class TestServerCore : public QObject {
    Q_OBJECT

private slots:
    void bundledCatalogueIsCompleteAndServable();
    void catalogueFileRejectsRowsThatWouldBreakReplies_data();
    void catalogueFileRejectsRowsThatWouldBreakReplies();
    void idListsAreReadStrictly_data();
    void idListsAreReadStrictly();
    void repliesSplitIntoTheCatalogueColumns();
    void selectionKeepsPositionsForUnknownIds();
    void badRequestsGetAnErrItem();
    void requestPathsStayInsideTheSite_data();
    void requestPathsStayInsideTheSite();
    void symbolicLinksLeadingOutAreRefused();
    void templatesEscapeQueryValues();
    void zipArchiveIsReadableByUnzip();
    void collectionFilesHaveTheClientLayout();
    void animatedGifDecodesWithAllFrames();
    void databaseImportsOnceAndAgainWhenTheFileChanges();
    void concurrentImportsIntoOneDatabaseAgree();
    void picturesAreDrawnOncePerPeriodOnThePainterThread();
    void accessLogLinesStayWholeAndBounded();
    void entityTagsFollowTheBytesAndMatchAsClientsSendThem();
    void requestHeadsAreReadOneByOneAndBounded();
    void largeBodiesDecodeAsTheyWere();
};

void TestServerCore::bundledCatalogueIsCompleteAndServable() {
    const auto parsed =
        parseCatalogueTsv(readFile(SKYGLANCE_SERVER_DIR "/catalogue.tsv").toStdString());
    QVERIFY2(parsed.errors.empty(), parsed.errors.empty() ? "" : parsed.errors.front().c_str());
    QVERIFY(parsed.rows.size() >= 30);

    std::set<char> codes;
    std::set<std::string> timings;
    std::set<std::string> entryCodes;
    for (std::size_t i = 0; i < parsed.rows.size(); ++i) {
        const CatalogueRow& row = parsed.rows[i];
        codes.insert(row.url[0]);
        timings.insert(splitDashes(row.copyright).at(2));
        QVERIFY(splitDashes(row.copyright).size() <= 5);
        const std::string code = entryCodeForSave(" - " + row.comment);
        QVERIFY2(!code.empty() && entryCodes.insert(code).second, row.comment.c_str());
        QVERIFY(row.url.find("{HOST}") != std::string::npos);
    }
    // First-run selection ticks rows 0..3 as the IDs 1..4.
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(parsed.rows[static_cast<std::size_t>(i)].pictureId, i + 1);
    }
    QCOMPARE(codes, (std::set<char>{'h', '2', '3', '4', '5', '6'}));
    // Loops play under "200"; "95" would flash them by in 100 ms.
    QCOMPARE(timings, (std::set<std::string>{"", "99", "200"}));
}

void TestServerCore::catalogueFileRejectsRowsThatWouldBreakReplies_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("marker in comment") << "http://{HOST}/a.jpg\t7\tEurope EUMAP a <p> b\tX-Y"
                                       << "<P>";
    QTest::newRow("ERR comment") << "http://{HOST}/a.jpg\t7\tERRors EUMAP x\tX-Y"
                                 << "ERR";
    QTest::newRow("six fields") << "http://{HOST}/a.jpg\t7\tEurope EUMAP x\tA-B-C-D-E-F"
                                << "five fields";
    QTest::newRow("id too big") << "http://{HOST}/a.jpg\t32768\tEurope EUMAP x\tX"
                                << "16-bit";
    QTest::newRow("id not a number") << "http://{HOST}/a.jpg\t12a\tEurope EUMAP x\tX"
                                     << "16-bit";
    QTest::newRow("three fields") << "http://{HOST}/a.jpg\t7\tEurope EUMAP x"
                                  << "4 tab";
    QTest::newRow("no ttp") << "ftp://{HOST}/a.jpg\t7\tEurope EUMAP x\tX"
                            << "ttp://";
    QTest::newRow("one-letter first word") << "http://{HOST}/a.jpg\t7\tE EUMAP x\tX"
                                           << "first word";
    QTest::newRow("code with dash") << "http://{HOST}/a.jpg\t7\tEurope EU-MAP x\tX"
                                    << "entry code";
    QTest::newRow("no word after code") << "http://{HOST}/a.jpg\t7\tEurope EUMAP\tX"
                                        << "entry code";
    QTest::newRow("repeated id") << QString::fromStdString(kGoodRow).replace("EUMAP", "OTHER")
                                 << "ID repeated";
    QTest::newRow("repeated code")
        << QString::fromStdString(kGoodRow).replace("\t7\t", "\t8\t") << "code repeated";
}

void TestServerCore::catalogueFileRejectsRowsThatWouldBreakReplies() {
    QFETCH(QString, line);
    QFETCH(QString, reason);
    const std::string text = "# comment\n" + kGoodRow + "\r\n\n" + line.toStdString() + "\n";
    const auto parsed = parseCatalogueTsv(text);
    QCOMPARE(parsed.errors.size(), std::size_t(1));
    QVERIFY2(parsed.errors[0].rfind("line 4: ", 0) == 0, parsed.errors[0].c_str());
    QVERIFY2(parsed.errors[0].find(reason.toStdString()) != std::string::npos,
             parsed.errors[0].c_str());
    QCOMPARE(parsed.rows.size(), std::size_t(1));
}

void TestServerCore::idListsAreReadStrictly_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("count");
    QTest::newRow("three") << "[_12_345_7_]" << true << 3;
    QTest::newRow("none") << "[_]" << true << 0;
    QTest::newRow("negative") << "[_-32768_32767_]" << true << 2;
    QTest::newRow("out of range") << "[_32768_]" << false << 0;
    QTest::newRow("letters") << "[_1_a_]" << false << 0;
    QTest::newRow("missing underscore") << "[_1_2]" << false << 0;
    QTest::newRow("empty id") << "[_1__]" << false << 0;
    QTest::newRow("no brackets") << "_1_" << false << 0;
    QTest::newRow("nothing") << "" << false << 0;
    QTest::newRow("plus sign") << "[_+1_]" << false << 0;
    QString many = "[_";
    for (int i = 0; i < 2001; ++i) {
        many += "1_";
    }
    QTest::newRow("too many") << many + "]" << false << 0;
    QTest::newRow("most allowed") << QString(many).replace(0, 4, "[_") + "]" << true << 2000;
}

void TestServerCore::idListsAreReadStrictly() {
    QFETCH(QString, list);
    QFETCH(bool, valid);
    QFETCH(int, count);
    const auto ids = parseIdList(list.toStdString());
    QCOMPARE(ids.has_value(), valid);
    if (valid) {
        QCOMPARE(static_cast<int>(ids->size()), count);
    }
}

void TestServerCore::repliesSplitIntoTheCatalogueColumns() {
    const CatalogueReplies replies(smallCatalogue());
    QCOMPARE(splitReply(replies.answer({"x4444"})),
             (std::vector<std::string>{"http://127.0.0.1:9/site/maps/a.jpg",
                                       "4ttp://127.0.0.1:9/site/radar/b.gif",
                                       "5ttp://127.0.0.1:9/site/series/h_*.png,1,1,3,2"}));
    QCOMPARE(splitReply(replies.answer({"x6666"})), (std::vector<std::string>{"1", "2", "30"}));
    QCOMPARE(splitReply(replies.answer({"x7777"})).at(2), std::string("Hourly HRS third & <last>"));
    QCOMPARE(splitReply(replies.answer({"x9999"})).at(1), std::string("X-(c) B-95-Line B-"));
    const auto message = splitReply(replies.answer({"x5555"}));
    QCOMPARE(message.size(), std::size_t(1));
    QCOMPARE(message[0].substr(0, 6), std::string("outmsg"));
    QCOMPARE(message[0].substr(7), std::string("Hello there"));

    // No message: an item long enough to be read, not starting "outmsg".
    const CatalogueReplies silent(makeCatalogue({}, "", "h:1"));
    const auto none = splitReply(silent.answer({"x5555"}));
    QCOMPARE(none.size(), std::size_t(1));
    QVERIFY(none[0].size() >= 8 && none[0].substr(0, 6) != "outmsg");
}

void TestServerCore::selectionKeepsPositionsForUnknownIds() {
    const CatalogueReplies replies(smallCatalogue());
    const auto items = splitReply(replies.answer({"y2222[_30_4242_1_30_]"}));
    QCOMPARE(items.size(), std::size_t(4));
    QCOMPARE(items[0], std::string("5ttp://127.0.0.1:9/site/series/h_*.png,1,1,3,2"));
    QCOMPARE(items[1], missingPictureUrl("127.0.0.1:9", 4242));
    QCOMPARE(items[1].substr(0, 7), std::string("http://"));
    QCOMPARE(items[2], std::string("http://127.0.0.1:9/site/maps/a.jpg"));
    QCOMPARE(items[3], items[0]);
    QVERIFY(splitReply(replies.answer({"y2222[_]"})).empty());
}

void TestServerCore::badRequestsGetAnErrItem() {
    const CatalogueReplies replies(smallCatalogue());
    for (const std::vector<std::string>& codes :
         std::vector<std::vector<std::string>>{{},
                                               {"x4444", "x6666"},
                                               {"x1234"},
                                               {"X4444"},
                                               {""},
                                               {"y2222"},
                                               {"y2222[_1_x_]"},
                                               {"y2222[_1_2]"},
                                               {"y2222[_99999_]"}}) {
        const auto items = splitReply(replies.answer(codes));
        QVERIFY(!items.empty());
        QCOMPARE(items[0].substr(0, 3), std::string("ERR"));
    }
}

void TestServerCore::requestPathsStayInsideTheSite_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("relative");
    QTest::newRow("page") << "/site/forecast/today.html"
                          << "site/forecast/today.html";
    QTest::newRow("root") << "/"
                          << "index.html";
    QTest::newRow("folder") << "/site/"
                            << "site/index.html";
    QTest::newRow("dash and dot") << "/public/a-b.c_d.html"
                                  << "public/a-b.c_d.html";
    QTest::newRow("parent") << "/site/../catalogue.tsv"
                            << "";
    QTest::newRow("parent at end") << "/site/.."
                                   << "";
    QTest::newRow("dot") << "/site/./x.html"
                         << "";
    QTest::newRow("hidden") << "/.git/config"
                            << "";
    QTest::newRow("double slash") << "//etc/passwd"
                                  << "";
    QTest::newRow("backslash") << "/site/..\\..\\x"
                               << "";
    QTest::newRow("still encoded") << "/site/%2e%2e/x"
                                   << "";
    QTest::newRow("nul") << QString("/site/a") + QChar(0) + ".html"
                         << "";
    QTest::newRow("relative") << "site/x.html"
                              << "";
    QTest::newRow("too long") << "/" + QString(600, 'a') << "";
    QTest::newRow("blank") << "/site/a b.html"
                           << "";
}

void TestServerCore::requestPathsStayInsideTheSite() {
    QFETCH(QString, path);
    QFETCH(QString, relative);
    const QByteArray raw = path.toUtf8();
    const auto got =
        siteRelativePath(std::string_view(raw.constData(), static_cast<std::size_t>(raw.size())));
    QCOMPARE(QString::fromStdString(got.value_or("")), relative);
}

void TestServerCore::symbolicLinksLeadingOutAreRefused() {
    QTemporaryDir outside;
    QTemporaryDir siteDir;
    QVERIFY(outside.isValid() && siteDir.isValid());
    writeFile(outside.filePath("secret.txt"), "secret");
    QVERIFY(QDir().mkpath(siteDir.filePath("pages")));
    writeFile(siteDir.filePath("pages/ok.html"), "ok");
    QVERIFY(QFile::link(outside.filePath("secret.txt"), siteDir.filePath("pages/out.html")));
    QVERIFY(QFile::link(outside.path(), siteDir.filePath("linked")));
    QVERIFY(QFile::link(siteDir.filePath("pages/ok.html"), siteDir.filePath("pages/alias.html")));
    const std::string root = QDir(siteDir.path()).canonicalPath().toStdString();

    QVERIFY(resolveInsideRoot(root, "pages/ok.html").has_value());
    QVERIFY(resolveInsideRoot(root, "pages/alias.html").has_value());
    QVERIFY(!resolveInsideRoot(root, "pages/out.html").has_value());
    QVERIFY(!resolveInsideRoot(root, "linked/secret.txt").has_value());
    QVERIFY(!resolveInsideRoot(root, "pages").has_value());
    QVERIFY(!resolveInsideRoot(root, "pages/none.html").has_value());
}

void TestServerCore::templatesEscapeQueryValues() {
    PageContext context;
    context.siteRoot = "http://h:1";
    context.now = QDateTime(QDate(2021, 3, 3), QTime(9, 5, 7));
    context.pageName = "site/forecast/town.html";
    std::string town = "<script>alert('x')</script>&";
    context.queryValue = [&town](std::string_view name) {
        return name == "town" ? town : std::string();
    };
    const std::string page =
        fillTemplate("{{site}}/a|{{made}}|{{query:town}}|{{query:none}}|{{other}}|{{", context);
    QCOMPARE(page, std::string("http://h:1/a|2021-03-03 09:05:07|&lt;script&gt;alert(&#39;x&#39;)"
                               "&lt;/script&gt;&amp;||{{other}}|{{"));
    town = std::string(500, 'a');
    QCOMPARE(fillTemplate("{{query:town}}", context), std::string(80, 'a'));

    const std::string rows = fillTemplate("{{forecast_rows}}", context);
    QCOMPARE(std::count(rows.begin(), rows.end(), '\n'), 5L);
    town = "Rome";
    QVERIFY(fillTemplate("{{forecast_rows}}", context) != rows); // differs per town

    // Every pair of the query, decoded, in the order sent, then escaped.
    QCOMPARE(parseQuery("a=1+2&&b&=v&c=%3c%2x%&d=%C3%A9=e"),
             (std::vector<QueryItem>{
                 {"a", "1 2"}, {"b", ""}, {"", "v"}, {"c", "<%2x%"}, {"d", "\xc3\xa9=e"}}));
    QVERIFY(parseQuery("").empty());
    std::string many;
    for (int i = 0; i < 100; ++i) {
        many += "k=v&";
    }
    QCOMPARE(parseQuery(many).size(), kMaxQueryItems);
    context.rawQuery = "q=%3Ci%3E&r";
    QCOMPARE(fillTemplate("{{query_count}}|{{query_raw}}|{{query_rows}}", context),
             std::string("2|q=%3Ci%3E&amp;r|"
                         "<tr><td id=\"name-1\" class=\"name\">q</td>"
                         "<td id=\"value-1\" class=\"value\">&lt;i&gt;</td></tr>\n"
                         "<tr><td id=\"name-2\" class=\"name\">r</td>"
                         "<td id=\"value-2\" class=\"value\"></td></tr>\n"));

    const auto held = splitAtHoldMarker("<p>a</p>{{hold}}<p>{{made}}</p>");
    QVERIFY(held.has_value());
    QCOMPARE(held->head, std::string("<p>a</p>"));
    QCOMPARE(held->tail, std::string("<p>{{made}}</p>"));
    QVERIFY(!splitAtHoldMarker("<p>{{hol}}</p>").has_value());
}

void TestServerCore::zipArchiveIsReadableByUnzip() {
    const QString unzip = QStandardPaths::findExecutable("unzip");
    if (unzip.isEmpty()) {
        QSKIP("unzip is not installed");
    }
    ZipWriter zip;
    const QDateTime when(QDate(2021, 3, 3), QTime(9, 5, 6));
    zip.add("a.txt", "alpha\r\n", when);
    zip.add("dir/b.bin", std::string("\0\1\2\xff", 4), when);
    zip.add("empty", "", when);
    QTemporaryDir dir;
    writeFile(dir.filePath("x.zip"), QByteArray::fromStdString(zip.finish()));

    QProcess test;
    test.start(unzip, {"-t", dir.filePath("x.zip")});
    QVERIFY(test.waitForFinished(10000));
    QCOMPARE(test.exitCode(), 0);
    QProcess extract;
    extract.start(unzip, {"-p", dir.filePath("x.zip"), "dir/b.bin"});
    QVERIFY(extract.waitForFinished(10000));
    QCOMPARE(extract.readAllStandardOutput(), QByteArray("\0\1\2\xff", 4));
}

void TestServerCore::collectionFilesHaveTheClientLayout() {
    QCOMPARE(entryCodeForSave(" - Europe EU-MAP x"), std::string("EUMAP"));
    QCOMPARE(entryCodeForSave(" - Europe EUMAP"), std::string("EUMAP"));
    QCOMPARE(entryCodeForSave(" - E"), std::string());

    const Catalogue catalogue = smallCatalogue();
    const CollectionPlan plan{"Skyglance_Collection_Test.xml", {0, 2}};
    const QDateTime made(QDate(2021, 3, 3), QTime(9, 5, 7));
    const std::string xml = collectionXml(catalogue, plan, made);
    const std::string expected = "<?xml version=\"1.0\"?>\r\n"
                                 "<SkyglanceCollection>\r\n"
                                 "\t<SkyglanceVersion>5</SkyglanceVersion>\r\n"
                                 "\t<Description>Skyglance5 Pictures Collection</Description>\r\n"
                                 "\t<number>00001</number>\r\n"
                                 "\t<ThisFile>Skyglance_Collection_Test.xml</ThisFile>\r\n"
                                 "\t<Autor>Created by User</Autor>\r\n"
                                 "\t<date>03-03-2021 09:05:07</date>\r\n"
                                 "\t<PicList>\r\n"
                                 "\t\t<PicItem>\r\n"
                                 "\t\t\t<CodePic>EUA</CodePic>\r\n"
                                 "\t\t\t<Description> - Europe EUA first map</Description>\r\n"
                                 "\t\t</PicItem>\r\n"
                                 "\t\t<PicItem>\r\n"
                                 "\t\t\t<CodePic>HRS</CodePic>\r\n"
                                 "\t\t\t<Description> - Hourly HRS third _ _last_</Description>\r\n"
                                 "\t\t</PicItem>\r\n"
                                 "\t</PicList>\r\n"
                                 "</SkyglanceCollection>\r\n";
    QCOMPARE(xml, expected);
    QCOMPARE(selectionFileCopy(catalogue, plan), std::string("0\r\n1\r\n2\r\n30\r\n\r\n\r\n"));

    const auto collections = sampleCollections(catalogue);
    QVERIFY(!collections.empty());
    for (const auto& collection : collections) {
        QVERIFY(!collection.positions.empty());
    }
}

void TestServerCore::animatedGifDecodesWithAllFrames() {
    std::vector<QImage> frames;
    for (int i = 0; i < 4; ++i) {
        QImage frame(40, 30, QImage::Format_RGB32);
        frame.fill(i % 2 ? QColor(255, 0, 0) : QColor(0, 0, 255));
        frames.push_back(frame);
    }
    QByteArray bytes = QByteArray::fromStdString(encodeGif(frames, 25));
    QVERIFY(bytes.startsWith("GIF89a"));
    QVERIFY(bytes.contains("NETSCAPE2.0"));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "gif");
    QCOMPARE(reader.imageCount(), 4);
    // Each frame carries its delay in hundredths of a second (25 = 0x19).
    QCOMPARE(bytes.count(QByteArray("\x21\xf9\x04\x04\x19\x00", 6)), 4);
    for (int i = 0; i < 4; ++i) {
        const QImage decoded = reader.read();
        QCOMPARE(decoded.size(), QSize(40, 30));
        QCOMPARE(decoded.pixelColor(5, 5), frames[static_cast<std::size_t>(i)].pixelColor(5, 5));
    }
    QVERIFY(encodeGif({}, 10).empty());
    QVERIFY(encodeGif({frames[0], QImage(10, 10, QImage::Format_RGB32)}, 10).empty());
}

void TestServerCore::databaseImportsOnceAndAgainWhenTheFileChanges() {
    QTemporaryDir dir;
    const QString tsv = dir.filePath("c.tsv");
    const std::string db = dir.filePath("c.sqlite").toStdString();
    writeFile(tsv, QByteArray::fromStdString(kGoodRow + "\n"));
    std::string error;
    auto database = CatalogueDatabase::open(db, error);
    QVERIFY2(database, error.c_str());
    QCOMPARE(database->importIfStale(tsv.toStdString(), error),
             CatalogueDatabase::ImportOutcome::Imported);
    QCOMPARE(database->importIfStale(tsv.toStdString(), error),
             CatalogueDatabase::ImportOutcome::UpToDate);

    // An edited file is imported again; a broken one keeps the old rows.
    writeFile(tsv,
              QByteArray::fromStdString(kGoodRow + "\nhttp://{HOST}/b.png\t8\tAlps ALPS b\tY-Z\n"));
    QCOMPARE(database->importIfStale(tsv.toStdString(), error),
             CatalogueDatabase::ImportOutcome::Imported);
    QCOMPARE(database->loadRows(error).size(), std::size_t(2));
    writeFile(tsv, "broken line\n");
    QCOMPARE(database->importIfStale(tsv.toStdString(), error),
             CatalogueDatabase::ImportOutcome::Failed);
    QVERIFY(error.find("line 1") != std::string::npos);
    const auto rows = database->loadRows(error);
    QCOMPARE(rows.size(), std::size_t(2));
    QCOMPARE(rows[1].url, std::string("http://{HOST}/b.png"));
    QCOMPARE(rows[1].pictureId, 8);

    // A row spoiled in the database directly is refused when loading.
    database.reset();
    QProcess sqlite;
    const QString sqliteTool = QStandardPaths::findExecutable("sqlite3");
    if (!sqliteTool.isEmpty()) {
        sqlite.start(sqliteTool,
                     {QString::fromStdString(db),
                      "UPDATE pictures SET comment = 'Bad <P> row x' WHERE picture_id = 8"});
        QVERIFY(sqlite.waitForFinished(10000));
        database = CatalogueDatabase::open(db, error);
        QVERIFY(database->loadRows(error).empty());
        QVERIFY(error.find("<P>") != std::string::npos);
    }
}

void TestServerCore::concurrentImportsIntoOneDatabaseAgree() {
    QTemporaryDir dir;
    const std::string tsv = dir.filePath("c.tsv").toStdString();
    const std::string db = dir.filePath("c.sqlite").toStdString();
    std::string text;
    for (int i = 1; i <= 200; ++i) {
        text += "http://{HOST}/p" + std::to_string(i) + ".jpg\t" + std::to_string(i) +
                "\tRow CODE" + std::to_string(i) + " x\tA-B\n";
    }
    writeFile(QString::fromStdString(tsv), QByteArray::fromStdString(text));
    std::vector<std::thread> threads;
    std::vector<std::size_t> counts(4, 0);
    for (std::size_t t = 0; t < counts.size(); ++t) {
        threads.emplace_back([&, t] {
            std::string error;
            auto database = CatalogueDatabase::open(db, error);
            if (database &&
                database->importIfStale(tsv, error) != CatalogueDatabase::ImportOutcome::Failed) {
                counts[t] = database->loadRows(error).size();
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    QCOMPARE(counts, std::vector<std::size_t>(4, 200));
}

void TestServerCore::picturesAreDrawnOncePerPeriodOnThePainterThread() {
    const std::thread::id painter = std::this_thread::get_id();
    std::atomic<bool> drawnElsewhere{false};
    PictureCache cache(1, [&](std::function<void()> draw) {
        QMetaObject::invokeMethod(
            qApp,
            [draw = std::move(draw), &drawnElsewhere, painter] {
                drawnElsewhere = drawnElsewhere || std::this_thread::get_id() != painter;
                draw();
            },
            Qt::QueuedConnection);
    });
    const std::string path = "/site/maps/alps_temperature.png";
    QVERIFY(cache.knows(path));
    QVERIFY(!cache.knows("/site/maps/none.png"));

    // Ask from worker threads while this (painter) thread runs its events.
    auto askFromWorkers = [&cache, &path](int workers) {
        std::vector<std::shared_ptr<const Resource>> got(static_cast<std::size_t>(workers));
        std::atomic<int> done{0};
        std::vector<std::thread> threads;
        for (int i = 0; i < workers; ++i) {
            threads.emplace_back([&, i] {
                got[static_cast<std::size_t>(i)] = cache.get(path);
                ++done;
            });
        }
        QDeadlineTimer deadline(20000);
        while (done.load() < workers && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        for (auto& thread : threads) {
            thread.join();
        }
        return got;
    };
    // Wait for the start of a period so the two rounds share one.
    QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentMSecsSinceEpoch() % 1000 < 300, 2000);
    const auto first = askFromWorkers(6);
    for (const auto& picture : first) {
        QVERIFY(picture);
        QCOMPARE(picture.get(), first[0].get()); // drawn once, shared
    }
    QCOMPARE(first[0]->contentType, std::string("image/png"));
    QTest::qWait(1100);
    const auto later = askFromWorkers(1);
    QVERIFY(later[0]->body != first[0]->body); // the clock moved on
    QVERIFY(!drawnElsewhere);

    // A stopping server does not wait for a painter that no longer paints.
    PictureCache orphan(1, [](std::function<void()>) {});
    orphan.shutdown();
    QVERIFY(!orphan.get(path));
}

void TestServerCore::accessLogLinesStayWholeAndBounded() {
    using namespace std::chrono;
    AccessRecord record;
    record.arrived = system_clock::time_point(milliseconds(1714559696789));
    record.client = "::1";
    record.method = "GET";
    record.target = "/a b\n\xc3\xa9?q=" + std::string(3000, 'x');
    record.status = 404;
    record.bytesSent = 10;
    record.took = milliseconds(7);
    const std::string line = formatAccessLine(record);
    // The cut falls on the client's bytes, before they are escaped.
    const std::string target = "/a%20b%0A%C3%A9?q=" + std::string(kMaxLoggedTarget - 10, 'x');
    QCOMPARE(line, "2024-05-01T10:34:56.789Z ::1 GET " + target + " 404 10 7");
    record.client.clear();
    record.method = std::string(100, 'M');
    record.target.clear();
    QCOMPARE(formatAccessLine(record),
             "2024-05-01T10:34:56.789Z - " + std::string(kMaxLoggedMethod, 'M') + " - 404 10 7");

    // Workers write at once; every line arrives whole, after what was there.
    QTemporaryDir dir;
    const QString path = dir.filePath("access.log");
    writeFile(path, "earlier line\n");
    std::string error;
    auto log = AccessLog::open(path.toStdString(), error);
    QVERIFY2(log, error.c_str());
    record.target = "/service/catalogue?p=1&x00=x4444";
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&log, record, w] {
            AccessRecord own = record;
            own.status = 200 + w;
            for (int i = 0; i < 250; ++i) {
                log->write(own);
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    const QList<QByteArray> lines = readFile(path).split('\n');
    QCOMPARE(lines.size(), 1 + 1000 + 1); // the last line end leaves an empty piece
    QCOMPARE(lines.front(), QByteArray("earlier line"));
    std::map<QByteArray, int> perStatus;
    for (qsizetype i = 1; i < lines.size() - 1; ++i) {
        const QList<QByteArray> fields = lines[i].split(' ');
        QCOMPARE(fields.size(), 7);
        QCOMPARE(fields[3], QByteArray::fromStdString(record.target));
        ++perStatus[fields[4]];
    }
    QCOMPARE(perStatus,
             (std::map<QByteArray, int>{{"200", 250}, {"201", 250}, {"202", 250}, {"203", 250}}));

    QVERIFY(!AccessLog::open(dir.filePath("no/such/folder/access.log").toStdString(), error));
    QVERIFY(!error.empty());
}

void TestServerCore::entityTagsFollowTheBytesAndMatchAsClientsSendThem() {
    const std::string tag = strongEtag("reply one");
    QCOMPARE(tag, strongEtag(std::string("reply one")));
    QVERIFY(tag.size() > 2 && tag.front() == '"' && tag.back() == '"');
    std::set<std::string> tags{tag};
    // Any change of a byte, of the length or of the coding gives another tag.
    for (const std::string& other :
         {std::string("reply onE"), std::string("reply one "), std::string(),
          std::string(1000, 'x'), std::string(1000, 'x') + "y"}) {
        tags.insert(strongEtag(other));
    }
    tags.insert(etagForCoding(tag, "gzip"));
    QCOMPARE(tags.size(), std::size_t(7));
    QCOMPARE(etagForCoding(tag, ""), tag);

    QVERIFY(noneMatchHits(tag, tag));
    QVERIFY(noneMatchHits("*", tag));
    QVERIFY(noneMatchHits("\"a\", " + tag + " ,\"b\"", tag));
    QVERIFY(noneMatchHits("W/" + tag, tag)); // If-None-Match compares weakly
    QVERIFY(!noneMatchHits("\"a\", \"b\"", tag));
    QVERIFY(!noneMatchHits("", tag));
    QVERIFY(!noneMatchHits(etagForCoding(tag, "gzip"), tag));
    QVERIFY(!noneMatchHits(std::string(9000, ' ') + tag, tag)); // bounded
}

void TestServerCore::requestHeadsAreReadOneByOneAndBounded() {
    // A pipelined pair: each head is read alone, and what follows it stays
    // for the next one.
    const std::string first = "GET /site/a%20b.html?x00=x%34444+&p=1&p=1&=v&k HTTP/1.1\r\n"
                              "Host: h\r\nAccept-Encoding: %67zip\r\nRange: bytes=0-1, -5,9-\r\n"
                              "Empty:\r\n\r\n";
    const std::string second = "HEAD /service/catalogue HTTP/1.0\r\n\r\n";
    std::string pending = first + second;
    httplib::Request req;
    ParsedHead head = parseRequestHead(pending, req);
    QCOMPARE(head.verdict, HeadVerdict::Request);
    QCOMPARE(head.consumed, first.size());
    QVERIFY(!head.clientCloses);
    QCOMPARE(req.method, std::string("GET"));
    QCOMPARE(req.path, std::string("/site/a b.html"));
    // A pair repeated word for word counts once; one without a name not at all.
    QCOMPARE(req.params, (httplib::Params{{"x00", "x4444 "}, {"p", "1"}, {"v", ""}, {"k", ""}}));
    QCOMPARE(req.get_header_value("Accept-Encoding"), std::string("gzip"));
    QVERIFY(!req.has_header("Empty"));
    QCOMPARE(req.ranges, (httplib::Ranges{{0, 1}, {-1, 5}, {9, -1}}));
    httplib::Request next;
    head = parseRequestHead(std::string_view(pending).substr(head.consumed), next);
    QCOMPARE(head.verdict, HeadVerdict::Request);
    QCOMPARE(head.consumed, second.size());
    QVERIFY(head.clientCloses); // HTTP/1.0 without keep-alive
    QCOMPARE(next.method, std::string("HEAD"));

    // Malformed request lines are bad requests, and their whole head is
    // taken, so that no header line is read as a request of its own.
    for (const std::string& bad :
         {std::string("GARBAGE\r\nHost: h\r\n\r\n"), std::string("GET /a?b?c HTTP/1.1\r\n\r\n"),
          std::string("GET /a HTTP/2.0\r\n\r\n"), std::string("BREW /a HTTP/1.1\r\n\r\n"),
          "GET /a HTTP/1.1\r\nX-Long: " + std::string(9000, 'a') + "\r\nHost: h\r\n\r\n"}) {
        httplib::Request request;
        head = parseRequestHead(bad + second, request);
        QCOMPARE(head.verdict, HeadVerdict::BadRequest);
        QCOMPARE(head.consumed, bad.size());
    }
    // A request line over 8 KiB is 414, its head taken whole too.
    const std::string longLine = "GET /" + std::string(9000, 'a') + " HTTP/1.1\r\nHost: h\r\n\r\n";
    head = parseRequestHead(longLine + second, req);
    QCOMPARE(head.verdict, HeadVerdict::UriTooLong);
    QCOMPARE(head.consumed, longLine.size());
    // An unreadable Range is 416; a head cut short is bad.
    httplib::Request ranged;
    QCOMPARE(parseRequestHead("GET / HTTP/1.1\r\nRange: bytes=5-1\r\n\r\n", ranged).verdict,
             HeadVerdict::RangeNotSatisfiable);
    QCOMPARE(parseRequestHead("GET / HTTP/1.1\r\nHost: h\r\n", ranged).verdict,
             HeadVerdict::BadRequest);
    httplib::Ranges ranges;
    QVERIFY(!parseRangeHeader("bytes=99999999999999999999-", ranges));
    QVERIFY(!parseRangeHeader("bytes=1-2;3-4", ranges));
    QCOMPARE(decodeUrl("%u00e9%zz+%4", false), std::string("\xc3\xa9%zz+%4"));
}

// A large body (the fleet's state) is compressed at a lower brotli quality;
// it must still decode to the very bytes.
void TestServerCore::largeBodiesDecodeAsTheyWere() {
    std::string body;
    for (int i = 0; body.size() < 300 * 1024; ++i) {
        body += "{\"name\":\"screen-" + std::to_string(i) + "\",\"state\":\"live\"},";
    }
    std::string encoded;
    QVERIFY(encodeBody(Coding::Brotli, body, encoded));
    QVERIFY(encoded.size() < body.size() / 10);
    std::string decoded(body.size() + 1, '\0');
    std::size_t decodedSize = decoded.size();
    QCOMPARE(BrotliDecoderDecompress(encoded.size(),
                                     reinterpret_cast<const std::uint8_t*>(encoded.data()),
                                     &decodedSize, reinterpret_cast<std::uint8_t*>(decoded.data())),
             BROTLI_DECODER_RESULT_SUCCESS);
    decoded.resize(decodedSize);
    QVERIFY(decoded == body);
}

QTEST_MAIN(TestServerCore)
#include "test_server_core.moc"
