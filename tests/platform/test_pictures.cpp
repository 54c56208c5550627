// The committed pictures of resources/pictures: each decodes at the size the
// layout counts on, the bar pictures share one strip colour, and the resource
// file lists exactly these files.
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Expected {
    const char* fileName;
    QSize size;
    bool onStatusBar;
};

const QList<Expected>& expectedPictures() {
    static const QList<Expected> pictures{
        {"ImageLogo.png", {1280, 720}, false},
        {"btSetup.png", {94, 32}, true},
        {"btWait.png", {94, 32}, true},
        {"btLogo.png", {210, 32}, true},
        {"btTermina.png", {32, 32}, true},
        {"btHelp.png", {32, 32}, true},
        {"BtAnimation.png", {32, 32}, true},
        {"ImageConnesso.png", {32, 32}, true},
        {"ImageDisconnesso.png", {32, 32}, true},
        {"ErrLoadPicture.png", {1024, 768}, false},
        {"MessaggioAggiornate.png", {600, 200}, false},
        {"pic_not_available.gif", {640, 480}, false},
        // The configuration panel's icons and tab backgrounds, drawn at
        // twice the size they are shown at.
        {"IcoSwapSST0.png", {96, 96}, false},
        {"IcoSwapSST1.png", {96, 96}, false},
        {"IcoSwapSST2.png", {96, 96}, false},
        {"IcoSwapSST3.png", {96, 96}, false},
        {"Image3.png", {96, 96}, false},
        {"RunTeamViewer.png", {96, 96}, false},
        {"IcoSwapSST6.png", {96, 96}, false},
        {"SSTCfg_cmdConferma.png", {96, 96}, false},
        {"SSTCfg_cmdConferma_BW.png", {96, 96}, false},
        {"SSTCfg_ExitProgram.png", {96, 96}, false},
        {"SSTCfg_ExitProgram_BW.png", {96, 96}, false},
        {"SSTCfg_salvaConfig.png", {96, 96}, false},
        {"Cleanup.png", {96, 96}, false},
        {"Connection.png", {96, 96}, false},
        {"SSTCfg_BackUpcnf.png", {96, 96}, false},
        {"SSTCfg_Loadcnf.png", {96, 96}, false},
        {"Wait_Ico.png", {96, 96}, false},
        {"SSTCfg_FileUser.png", {96, 96}, false},
        {"SSTCfg_resetUserImg.png", {96, 96}, false},
        {"PanelHelp.png", {96, 96}, false},
        {"infoStatusBar.png", {96, 96}, false},
        {"YourTownIco.png", {96, 96}, false},
        {"SSTCfg_Aggiorna.png", {96, 96}, false},
        {"SSTCfg_Download.png", {96, 96}, false},
        {"dyMode.png", {96, 96}, false},
        {"ClearListDB.png", {96, 96}, false},
        {"PanelTab0.png", {946, 608}, false},
        {"PanelTab1.png", {946, 608}, false},
        {"PanelTab2.png", {946, 608}, false},
        {"PanelTab3.png", {946, 608}, false},
        {"PanelTab4.png", {946, 608}, false},
    };
    return pictures;
}

QString picturePath(const QString& fileName) {
    return QDir(QStringLiteral(SKYGLANCE_PICTURES_DIR)).filePath(fileName);
}

int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

QSet<QString> filesListedInResourceFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QSet<QString> files;
    QString prefix;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("qresource"))
            prefix = xml.attributes().value(QLatin1String("prefix")).toString();
        else if (xml.name() == QLatin1String("file"))
            files.insert(prefix + QLatin1Char('/') + xml.readElementText());
    }
    return xml.hasError() ? QSet<QString>{} : files;
}

} // namespace

class PicturesTest : public QObject {
    Q_OBJECT

private slots:
    void eachPictureDecodesAtItsSize_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QSize>("size");
        for (const Expected& picture : expectedPictures())
            QTest::newRow(picture.fileName)
                << QString::fromLatin1(picture.fileName) << picture.size;
    }

    void eachPictureDecodesAtItsSize() {
        QFETCH(QString, fileName);
        QFETCH(QSize, size);
        QImageReader reader(picturePath(fileName));
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        QCOMPARE(reader.format(), fileName.section(QLatin1Char('.'), -1).toLatin1());
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), size);
        QVERIFY(!reader.jumpToNextImage()); // one still frame, also for the GIF
        // Guards against a blank drawing slipping through: background, shape
        // and anti-aliased edges at the least.
        QVERIFY(distinctColours(image) > 2);
    }

    // The pictures sit side by side on the strip: their top and bottom rows
    // must all be one dark colour or seams show between them.
    void barPicturesShareOneDarkStripColour() {
        QSet<QRgb> edgeColours;
        for (const Expected& picture : expectedPictures()) {
            if (!picture.onStatusBar)
                continue;
            const QImage image(picturePath(QString::fromLatin1(picture.fileName)));
            QVERIFY2(!image.isNull(), picture.fileName);
            for (int x = 0; x < image.width(); ++x) {
                edgeColours.insert(image.pixel(x, 0));
                edgeColours.insert(image.pixel(x, image.height() - 1));
            }
        }
        QCOMPARE(edgeColours.size(), 1);
        QVERIFY(QColor::fromRgb(*edgeColours.cbegin()).lightness() < 64);
    }

    void resourceFileListsEveryPictureUnderItsPrefix() {
        QSet<QString> expected;
        for (const Expected& picture : expectedPictures())
            expected.insert(QStringLiteral("/pictures/") + QString::fromLatin1(picture.fileName));
        QCOMPARE(filesListedInResourceFile(picturePath(QStringLiteral("pictures.qrc"))), expected);
    }
};

QTEST_MAIN(PicturesTest)
#include "test_pictures.moc"
