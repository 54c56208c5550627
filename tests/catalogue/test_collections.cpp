// Collection files saved and loaded through the selection table, the version
// check and collections update against the real catalogue service, and the
// collections package read as an archive that may be hostile.

#include "CatalogueServiceLauncher.h"
#include "FileHelpers.h"
#include "LoopbackPeers.h"
#include "catalogue/Collections.h"
#include "catalogue/SelectionTable.h"
#include "catalogue/VendorServices.h"
#include "catalogue/VersionUpdate.h"
#include "download/FetchPrimitives.h"
#include "platform/Dialogs.h"
#include "settings/HomeTown.h"
#include "settings/SettingsFile.h"
#include "state/RunState.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <memory>
#include <zip.h>

namespace {

QStringList folderEntries(const QString& path) {
    return QDir(path).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The picture-selection tab and the settings controls the save and load use.
struct PanelFixture {
    QTemporaryDir dir;
    RunState state;
    platform::ScriptedDialogs dialogs;
    QWidget window;
    QWidget* tab = new QWidget(&window);
    QListWidget* table = new QListWidget(tab);
    QLineEdit* download = new QLineEdit(QStringLiteral("15"), &window);
    QLineEdit* slide = new QLineEdit(QStringLiteral("8"), &window);
    QLineEdit* display = new QLineEdit(QStringLiteral("Full_Screen"), &window);
    QLabel* ownPicture = new QLabel(&window);
    QFrame townFrame;
    HomeTown town{state, dialogs, &townFrame};
    std::unique_ptr<SettingsFile> settings;
    std::unique_ptr<SelectionTable> selection;
    std::unique_ptr<Collections> collections;
    int saveBars = 0;
    QList<bool> waitIco;
    QList<int> tabs;

    explicit PanelFixture(const QStringList& comments) {
        state.Lingua = 3;
        state.WORK_PATH_FILE_LIST = dir.path() + QLatin1Char('/');
        state.Skyglance_Collections_Dir = dir.filePath(QStringLiteral("Collections"));
        QDir().mkpath(state.Skyglance_Collections_Dir);
        for (int i = 0; i < comments.size(); ++i) {
            state.listURL[i] = QStringLiteral("http://a/%1.gif").arg(i);
            state.listURLcomment[i] = comments.at(i);
            state.listIdPicture[i] = static_cast<int16_t>(100 + i);
        }
        SettingsControls sc;
        sc.SSTCfg_timeDwLoad = download;
        sc.SSTCfg_timeRefresh = slide;
        sc.txtDisplay = display;
        sc.SSTCfg_LblinserisciImg = ownPicture;
        sc.Tabella_Mappe_Selezionate = table;
        settings = std::make_unique<SettingsFile>(state, dialogs, sc);
        selection = std::make_unique<SelectionTable>(state, dialogs, *settings, town,
                                                     SelectionControls{table}, tab);
        collections = std::make_unique<Collections>(state, dialogs, *settings, *selection, table);
        QObject::connect(collections.get(), &Collections::selectionSaved, [this] { ++saveBars; });
        QObject::connect(collections.get(), &Collections::readingCollection,
                         [this](bool reading) { waitIco.append(reading); });
        QObject::connect(collections.get(), &Collections::refillStarted,
                         [this](int index) { tabs.append(index); });
        collections->now = [] { return QDateTime(QDate(2021, 3, 3), QTime(9, 5, 7)); };
        selection->FillSelectionTable();
    }
    void tick(const QList<int>& rows) {
        for (int i = 0; i < table->count(); ++i) {
            table->item(i)->setCheckState(rows.contains(i) ? Qt::Checked : Qt::Unchecked);
        }
    }
    QList<int> ticked() const {
        QList<int> rows;
        for (int i = 0; i < table->count(); ++i) {
            if (table->item(i)->checkState() == Qt::Checked) {
                rows.append(i);
            }
        }
        return rows;
    }
    void load(const QString& path) {
        dialogs.queueFileName(path);
        collections->LoadCollection();
    }
};

// A zip archive written with libzip, entry by entry.
class ArchiveBuilder {
public:
    explicit ArchiveBuilder(const QString& path) {
        int error = 0;
        archive_ = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    }
    ~ArchiveBuilder() {
        if (archive_ != nullptr) {
            zip_discard(archive_);
        }
    }
    zip_int64_t add(const QString& name, const QByteArray& bytes, bool stored = false) {
        const QByteArray& kept = data_.emplace_back(bytes);
        zip_source_t* source = zip_source_buffer(archive_, kept.constData(),
                                                 static_cast<zip_uint64_t>(kept.size()), 0);
        const zip_int64_t index =
            zip_file_add(archive_, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (stored && index >= 0) {
            zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        }
        return index;
    }
    void addSymlink(const QString& name, const QByteArray& target) {
        const zip_int64_t index = add(name, target);
        constexpr zip_uint32_t kUnixSymlink = 0120777;
        zip_file_set_external_attributes(archive_, static_cast<zip_uint64_t>(index), 0,
                                         ZIP_OPSYS_UNIX, kUnixSymlink << 16);
    }
    bool close() {
        const bool ok = archive_ != nullptr && zip_close(archive_) == 0;
        if (ok) {
            archive_ = nullptr;
        }
        return ok;
    }

private:
    zip_t* archive_ = nullptr;
    std::deque<QByteArray> data_;
};

} // namespace

class TestCollections : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qunsetenv(kSiteEnvironmentVariable); }
    void savedCollectionHasTheFileFormatAndLoadsBackTheSameTicks();
    void loadingReadsLegacyFilesAndRefusesBadOnes();
    void versionCheckAndUpdateAgainstTheCatalogueService();
    void hostileOrDamagedPackagesChangeNothingOutsideTheirFiles();
};

void TestCollections::savedCollectionHasTheFileFormatAndLoadsBackTheSameTicks() {
    // Codes with dashes, a one-letter first word (the two rules take different
    // words), markup characters and letters beyond ASCII.
    PanelFixture f({QStringLiteral("Europe EUA first map"), QStringLiteral("Alps EU-MAP x"),
                    QStringLiteral("A CODE1 rest"), QStringLiteral("Tom & Jerry <b> TJ"),
                    QStringLiteral("Radar RAD loop"), QStringLiteral("Meteo Zürich-Nord x")});
    const QList<int> saved{0, 1, 2, 3, 5};
    f.tick(saved);
    f.collections->SSTCfg_BackUpcnf_Click();

    const QString base = f.state.Skyglance_Collections_Dir + QLatin1Char('/');
    const QString xmlPath = base + "Skyglance_Collection_03032021_090507.xml";
    QCOMPARE(f.collections->lastSavedFile(), xmlPath);
    QCOMPARE(f.dialogs.shownTexts(),
             QStringList{QString::fromUtf8("Votre Collection a été faite en toute sécurité:") +
                         "\r\n" + xmlPath});
    QCOMPARE(f.dialogs.shown().first().title, QString());
    QCOMPARE(f.saveBars, 1);
    QCOMPARE(readFile(base + "Skyglance_Collection_03032021_090507.dat"),
             readFile(f.settings->selectionFilePath()));
    const QStringList expected{"<?xml version=\"1.0\"?>",
                               "<SkyglanceCollection>",
                               "\t<SkyglanceVersion>5</SkyglanceVersion>",
                               "\t<Description>Skyglance5 Pictures Collection</Description>",
                               "\t<number>00001</number>",
                               "\t<ThisFile>Skyglance_Collection_03032021_090507.xml</ThisFile>",
                               "\t<Autor>Created by User</Autor>",
                               "\t<date>03-03-2021 09:05:07</date>",
                               "\t<PicList>",
                               "\t\t<PicItem>",
                               "\t\t\t<CodePic>EUA</CodePic>",
                               "\t\t\t<Description> - Europe EUA first map</Description>",
                               "\t\t</PicItem>",
                               "\t\t<PicItem>",
                               "\t\t\t<CodePic>EUMAP</CodePic>",
                               "\t\t\t<Description> - Alps EU-MAP x</Description>",
                               "\t\t</PicItem>",
                               "\t\t<PicItem>",
                               "\t\t\t<CodePic>rest</CodePic>",
                               "\t\t\t<Description> - A CODE1 rest</Description>",
                               "\t\t</PicItem>",
                               "\t\t<PicItem>",
                               "\t\t\t<CodePic>&amp;</CodePic>",
                               "\t\t\t<Description> - Tom _ Jerry _b_ TJ</Description>",
                               "\t\t</PicItem>",
                               "\t\t<PicItem>",
                               "\t\t\t<CodePic>ZürichNord</CodePic>",
                               "\t\t\t<Description> - Meteo Zürich-Nord x</Description>",
                               "\t\t</PicItem>",
                               "\t</PicList>",
                               "</SkyglanceCollection>",
                               ""};
    QCOMPARE(QString::fromUtf8(readFile(xmlPath)).split("\r\n"), expected);

    // Loading adds to the ticks already set; the refill restores them all.
    f.dialogs.clear();
    f.tick({4});
    f.state.GLOBAL_IMAGE_CURRENT_POINTER = 7;
    f.load(xmlPath);
    QCOMPARE(f.ticked(), (QList<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(f.dialogs.shownTexts(),
             QStringList{"Table reloaded, Please restart Skyglance to trim exact time for every "
                         "picture"});
    QCOMPARE(f.waitIco, (QList<bool>{true, false}));
    QCOMPARE(f.tabs, QList<int>{Collections::kStartQuitTab});
    QVERIFY(f.settings->unsaved());
    QCOMPARE(f.state.GLOBAL_IMAGE_CURRENT_POINTER, int16_t(0));

    // From nothing ticked, and twice over: exactly the saved ticks.
    f.tick({});
    f.load(xmlPath);
    f.load(xmlPath);
    QCOMPARE(f.ticked(), saved);

    // Saving with nothing ticked: an empty picture list.
    f.tick({});
    f.collections->now = [] { return QDateTime(QDate(2020, 3, 1), QTime(9, 5, 3)); };
    f.collections->SSTCfg_BackUpcnf_Click();
    QVERIFY(readFile(base + "Skyglance_Collection_03012020_090503.xml")
                .contains("\t<PicList>\r\n\t</PicList>\r\n"));

    // A collection file that cannot be written is reported, never "saved",
    // and leaves no copy of the selection behind.
    f.dialogs.clear();
    f.collections->now = [] { return QDateTime(QDate(2022, 1, 2), QTime(3, 4, 5)); };
    const QString blocked = base + "Skyglance_Collection_01022022_030405.xml";
    QVERIFY(QDir().mkpath(blocked + "/inside"));
    f.collections->SSTCfg_BackUpcnf_Click();
    QCOMPARE(f.dialogs.shownTexts(),
             QStringList{CollectionTexts::saveFailed(3) + "\r\n" + blocked});
    QCOMPARE(f.dialogs.shown().first().icon, platform::Dialogs::Icon::Critical);
    QVERIFY(!QFile::exists(base + "Skyglance_Collection_01022022_030405.dat"));
    QCOMPARE(f.collections->lastSavedFile(), base + "Skyglance_Collection_03012020_090503.xml");

    // Without the whole catalogue there is nothing to save or load.
    f.dialogs.clear();
    f.selection->ShowCatalogueUnavailable();
    f.collections->now = [] { return QDateTime(QDate(2022, 1, 2), QTime(3, 4, 6)); };
    f.collections->SSTCfg_BackUpcnf_Click();
    f.collections->LoadCollection();
    QCOMPARE(f.dialogs.shownTexts(), QStringList(2, CatalogueUnavailableText(3)));
    QVERIFY(!QFile::exists(base + "Skyglance_Collection_01022022_030406.xml"));
}

void TestCollections::loadingReadsLegacyFilesAndRefusesBadOnes() {
    PanelFixture f({QStringLiteral("Europe EUA first map"), QStringLiteral("Alps EU-MAP x"),
                    QStringLiteral("Meteo Zürich-Nord x"), QStringLiteral("Radar RAD loop")});
    const QString dir = f.state.Skyglance_Collections_Dir + QLatin1Char('/');

    // A file of the single-byte code page, without an encoding declaration.
    const QByteArray legacy = "<?xml version=\"1.0\"?>\r\n<SkyglanceCollection>\r\n\t<PicList>\r\n"
                              "\t\t<PicItem>\r\n\t\t\t<CodePic>Z\xfcrich-Nord</CodePic>\r\n"
                              "\t\t\t<Description> - Meteo Z\xfcrich-Nord x</Description>\r\n"
                              "\t\t</PicItem>\r\n\t\t<PicItem><CodePic> EUMAP </CodePic>"
                              "</PicItem>\r\n\t</PicList>\r\n</SkyglanceCollection>\r\n";
    writeFile(dir + "legacy.xml", legacy);
    f.load(dir + "legacy.xml");
    QCOMPARE(f.ticked(), (QList<int>{1, 2}));

    // The reader's rules: PicItems at any depth, up to the first without a
    // child element; plain CodePic children only; blanks trimmed, case kept.
    QCOMPARE(ReadCollectionCodes("<a><PicItem><x/><CodePic> A </CodePic><CodePic k='1'>B</CodePic>"
                                 "</PicItem><b><PicItem><CodePic>C<i>D</i></CodePic></PicItem></b>"
                                 "<PicItem/><PicItem><CodePic>E</CodePic></PicItem></a>"),
             (QStringList{"A", "CD"}));
    QVERIFY(!CollectionCodeMatchesEntry("eua", " - Europe EUA first map"));
    QVERIFY(CollectionCodeMatchesEntry("EU-MAP", " - Alps EU-MAP x"));
    QVERIFY(CollectionCodeMatchesEntry("EUMAP", " - Alps EU-MAP x"));
    QVERIFY(!CollectionCodeMatchesEntry("", " - Alps"));
    QCOMPARE(ReadCollectionCodes("<a><PicItem><CodePic>Z\xc3\xbcrich</CodePic></PicItem></a>"),
             QStringList{QString::fromUtf8("Zürich")});
    // Never resolved: DTDs (internal or external) and entities from outside.
    QVERIFY(!ReadCollectionCodes("<!DOCTYPE a [<!ENTITY e 'EUA'>]><a><PicItem><CodePic>&e;"
                                 "</CodePic></PicItem></a>"));
    QVERIFY(!ReadCollectionCodes("<!DOCTYPE a SYSTEM 'file:///etc/passwd'><a/>"));
    QVERIFY(!ReadCollectionCodes("<a><PicItem><CodePic>&ext;</CodePic></PicItem></a>"));
    QByteArray huge = "<a><!--" + QByteArray(kMaxCollectionFileBytes, ' ') + "--></a>";
    QVERIFY(!ReadCollectionCodes(huge));
    writeFile(dir + "huge.xml", huge);
    QVERIFY(!ReadCollectionFile(dir + "huge.xml"));

    // A broken file: the message, and nothing else changes.
    writeFile(dir + "broken.xml", "<a><PicItem><CodePic>RAD</CodePic></PicItem>");
    f.dialogs.clear();
    f.waitIco.clear();
    const QByteArray selectionBefore = readFile(f.settings->selectionFilePath());
    f.load(dir + "broken.xml");
    QCOMPARE(f.dialogs.shownTexts(), QStringList{"Error: Failed to load xml data from file."});
    QCOMPARE(f.waitIco, (QList<bool>{true, false}));
    QCOMPARE(f.ticked(), (QList<int>{1, 2}));
    QCOMPARE(readFile(f.settings->selectionFilePath()), selectionBefore);

    // No file chosen (cancel, or the blanks of an untouched name box).
    for (const QString& answer : {QString(), QStringLiteral("    ")}) {
        f.dialogs.clear();
        f.tabs.clear();
        f.load(answer);
        QCOMPARE(f.dialogs.shown().size(), 1);
        QCOMPARE(f.dialogs.shown().first().text, "INVALID FILE SELECTION - REPEAT PLEASE");
        QCOMPARE(f.dialogs.shown().first().icon, platform::Dialogs::Icon::Critical);
        QCOMPARE(f.tabs, QList<int>{Collections::kStartQuitTab});
        QCOMPARE(f.ticked(), (QList<int>{1, 2}));
    }
}

void TestCollections::versionCheckAndUpdateAgainstTheCatalogueService() {
    QCOMPARE(VersionFileFields("\"Skyglance_7.8.12\" , \"Collection_001\"\r\n"),
             (QStringList{"Skyglance_7.8.12", "Collection_001"}));
    QCOMPARE(VersionFileFields("A\r\nB\r\n\r\n"), (QStringList{"A", "B"}));
    const auto same = EvaluateVersionFile({"Skyglance_7.8.12", "Collection_001"}, "Collection_001");
    QCOMPARE(same->Aggiornare, QString(" "));
    QCOMPARE(same->whoWeAreColour, kWhoWeAreCurrentColour);
    QVERIFY(!same->collectionsUpdate);
    const auto other =
        EvaluateVersionFile({"skyglance_7.8.12", "Collection_001"}, "Collection_001");
    QCOMPARE(other->Aggiornare, QString("\r\nskyglance_7.8.12 AVAILABLE"));
    QCOMPARE(other->whoWeAreColour, kWhoWeAreOutdatedColour);

    if (CatalogueServiceLauncher::program().isEmpty()) {
        QSKIP("the catalogue service is not built");
    }
    QTemporaryDir dir;
    RunState state;
    state.Lingua = 1;
    state.WORK_PATH_FILE_LIST = dir.filePath("work") + '/';
    state.Skyglance_Collections_Dir = dir.filePath("Collections");
    QDir().mkpath(dir.filePath("work"));
    QDir().mkpath(state.Skyglance_Collections_Dir);
    platform::ScriptedDialogs dialogs;
    FetchPrimitives fetch(state);

    // A version file of one field decides nothing and fetches no package.
    nettest::HttpPeer peer(nettest::HttpPeer::Mode::Answer,
                           nettest::HttpPeer::response(200, "Skyglance_9.0.0"));
    VendorServices onePeer(peer.url());
    VersionUpdate broken(state, dialogs, fetch, onePeer);
    state.Aggiornare = QStringLiteral("before");
    broken.flagCollectionsUpdate = kTrue;
    broken.CheckVersion();
    broken.UpdateCollections();
    QCOMPARE(state.Aggiornare.toString(), QString("before"));
    QCOMPARE(broken.flagCollectionsUpdate, kFalse);
    QCOMPARE(peer.requestsSeen(), 1);
    QVERIFY(!QFile::exists(broken.localMarkPath()));

    CatalogueServiceLauncher service;
    QVERIFY2(
        service.start({"--version-name", "Skyglance_7.9.0", "--collections-set", "Collection_007"}),
        qPrintable(service.why()));
    const QString site = service.site;
    VendorServices vendor(site);
    VersionUpdate update(state, dialogs, fetch, vendor);
    QList<uint32_t> colours;
    QObject::connect(&update, &VersionUpdate::whoWeAreColourDecided,
                     [&colours](uint32_t colour) { colours.append(colour); });
    update.CheckVersion();
    QCOMPARE(state.Aggiornare.toString(),
             QString("\r\nSkyglance_7.9.0 AVAILABLE - COLLECTIONS AVAILABLE"));
    QCOMPARE(colours, QList<uint32_t>{kWhoWeAreOutdatedColour});
    QCOMPARE(readFile(update.localMarkPath()), QByteArray("Collection_001"));
    QCOMPARE(update.flagCollectionsUpdate, kTrue);

    update.UpdateCollections();
    QCOMPARE(dialogs.shownTexts(),
             QStringList{"Collections Upgraded - Automatic collections-files extraction"});
    QVERIFY2(update.lastExtraction().ok, qPrintable(update.lastExtraction().error));
    QCOMPARE(update.lastExtraction().skipped, 0);
    QCOMPARE(readFile(update.localMarkPath()), QByteArray("Collection_007"));
    // Only collection files and their selection copies: the package is gone.
    const QStringList files = folderEntries(state.Skyglance_Collections_Dir);
    QVERIFY(files.size() >= 3);
    for (const QString& name : files) {
        QVERIFY2(name.endsWith(".xml") || name.endsWith(".dat"), qPrintable(name));
        if (name.endsWith(".xml")) {
            const auto codes =
                ReadCollectionFile(QDir(state.Skyglance_Collections_Dir).filePath(name));
            QVERIFY(codes && !codes->isEmpty());
        }
    }

    // With the set in place, the next check clears the update.
    dialogs.clear();
    update.CheckVersion();
    QCOMPARE(state.Aggiornare.toString(), QString("\r\nSkyglance_7.9.0 AVAILABLE"));
    QCOMPARE(update.flagCollectionsUpdate, kFalse);
    update.UpdateCollections();
    QVERIFY(dialogs.shown().isEmpty());
}

void TestCollections::hostileOrDamagedPackagesChangeNothingOutsideTheirFiles() {
    QTemporaryDir root;
    const QString outside = root.filePath("outside");
    const QString collections = outside + "/Collections";
    QDir().mkpath(collections);
    writeFile(collections + "/old.xml", "<old/>");
    const QString absoluteTarget = root.filePath("absolute.xml");

    const QString hostile = root.filePath("hostile.zip");
    {
        ArchiveBuilder zip(hostile);
        zip.add("../escaped.xml", "<a/>");
        zip.add(absoluteTarget, "<a/>");
        zip.addSymlink("link.xml", root.filePath("target.xml").toUtf8());
        zip.add("big.xml", QByteArray(kMaxCollectionEntryBytes, 'x'));
        zip.add("run.sh", "#!/bin/sh\necho hi\n");
        zip.add("sub/inner.xml", "<a/>");
        zip.add("sub/", "");
        zip.add("good.xml", "<good/>");
        zip.add("LocalCollection.dat", "Collection_009");
        QVERIFY(zip.close());
    }
    const PackageExtraction result = ExtractCollectionsPackage(hostile, collections);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.extracted, 2);
    QCOMPARE(result.skipped, 7);
    QCOMPARE(folderEntries(outside), QStringList{"Collections"});
    QCOMPARE(folderEntries(collections),
             (QStringList{"LocalCollection.dat", "good.xml", "old.xml"}));
    QVERIFY(!QFile::exists(absoluteTarget));
    QCOMPARE(readFile(collections + "/LocalCollection.dat"), QByteArray("Collection_009"));

    // Damage found in the second entry, or a cut archive: nothing changes.
    const QString good = root.filePath("good.zip");
    {
        ArchiveBuilder zip(good);
        zip.add("first.xml", "<first/>", true);
        zip.add("LocalCollection.dat", "SECOND-SET-NAME", true);
        QVERIFY(zip.close());
    }
    QByteArray bytes = readFile(good);
    const qsizetype data = bytes.lastIndexOf("SECOND-SET-NAME");
    QVERIFY(data > 0);
    QByteArray corrupted = bytes;
    corrupted[data] = 'X';
    writeFile(root.filePath("corrupted.zip"), corrupted);
    writeFile(root.filePath("cut.zip"), bytes.left(bytes.size() / 2));
    writeFile(root.filePath("noise.zip"), QByteArray(4096, 'P'));
    for (const char* name : {"corrupted.zip", "cut.zip", "noise.zip"}) {
        const PackageExtraction damaged =
            ExtractCollectionsPackage(root.filePath(name), collections);
        QVERIFY2(!damaged.ok, name);
        QCOMPARE(folderEntries(collections),
                 (QStringList{"LocalCollection.dat", "good.xml", "old.xml"}));
        QCOMPARE(readFile(collections + "/LocalCollection.dat"), QByteArray("Collection_009"));
    }
}

QTEST_MAIN(TestCollections)
#include "test_collections.moc"
