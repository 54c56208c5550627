// Pictures from the network onto the screen: the loader against the real
// catalogue service serving a site folder made by the test, and the main
// window rendered offscreen with a slide in each display mode.
#include "CatalogueServiceLauncher.h"
#include "FileHelpers.h"
#include "anigif/ucAniGIF.h"
#include "app/ShowAssembly.h"
#include "download/PictureLoading.h"
#include "platform/Dialogs.h"
#include "run/DownloadCycle.h"
#include "run/Scheduler.h"
#include "settings/SettingsFile.h"
#include "shell/FormPicture.h"
#include "show/PictureBox.h"
#include "show/Presenter.h"
#include "show/StatusBar.h"
#include "ui/ConfigurationPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage solid(int w, int h, QColor colour, QImage::Format format = QImage::Format_RGB32) {
    QImage image(w, h, format);
    image.fill(colour);
    return image;
}

// A home of its own and a window on a 1920 x 1080 screen.
struct Fixture {
    TemporaryHome home;
    platform::ScriptedDialogs dialogs;
    std::unique_ptr<FormPicture> form;
    Fixture() {
        FormPicture::Options options;
        options.screenPixels = QSize(1920, 1080);
        options.dialogs = &dialogs;
        form = ShowAssembly::build(options);
        form->Form_Load();
        form->generalClock.stop();
    }
    RunState& state() { return form->state; }
    const Slide& slideAt(int s) { return form->cycles().slides().at(s); }
    // A slide as a source code leaves it before its fetch.
    void preset(int s, int kind, bool loaded = true) {
        Slide slide = slideAt(s);
        slide.kind = kind;
        slide.loaded = loaded;
        form->cycles().putSlide(slide);
    }
    // The picture at `address` loaded as slide s, kept as the cycle keeps it.
    void load(const QString& address, int s) {
        DownloadCycles& cycles = form->cycles();
        cycles.putSlide(
            form->pictureLoading().Load_JPG_GIF_PNG_On_Array(address, slideAt(s), cycles));
    }
    QString workFile(const QString& suffix) const {
        return home.path() + QStringLiteral("/Skyglance7_Work/Skyglance7_Img") + suffix;
    }
    bool sameAsErrorPicture(int slide) {
        return slideAt(slide).picture.cacheKey() == form->ErrLoadPicture.cacheKey();
    }
};

void saveShot(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("SKYGLANCE_TEST_SHOTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
    }
}

} // namespace

class TestPictureDisplay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void stillPicturesByExtension();
    void failuresBecomeTheErrorPicture();
    void animatedGifCopiesAreNumberedInOrder();
    void pageImagesComeFromThePageImageFile();
    void fullScreenSlideFillsTheAreaAboveTheBar();
    void normalSlideIsCentredAtNaturalSize();
    void animatedGifSlidePlaysInThePictureFrame();

private:
    QString url(const QString& path) const { return service_.site + QLatin1Char('/') + path; }

    QTemporaryDir site_;
    CatalogueServiceLauncher service_;
};

void TestPictureDisplay::initTestCase() {
    const QString d = site_.path();
    QVERIFY(solid(640, 480, Qt::blue).save(d + "/photo.jpg", "JPEG"));
    QImage transparent = solid(40, 30, Qt::transparent, QImage::Format_ARGB32);
    QPainter(&transparent).fillRect(0, 0, 10, 10, Qt::red);
    QVERIFY(transparent.save(d + "/clear.png", "PNG"));
    QVERIFY(transparent.save(d + "/upper.PNG", "PNG"));
    writeFile(d + "/broken.jpg", "<html>not a picture</html>");
    QVERIFY(
        QFile::copy(QStringLiteral(SKYGLANCE_TESTDATA "/animated-red-blue.gif"), d + "/loop.gif"));
    QVERIFY(QFile::copy(d + "/loop.gif", d + "/loop2.gif"));
    QVERIFY2(service_.start({"--site", d}), qPrintable(service_.why()));
}

void TestPictureDisplay::stillPicturesByExtension() {
    Fixture f;
    f.load(url("photo.jpg"), 0);
    QCOMPARE(f.slideAt(0).kind, 1);
    QVERIFY(f.slideAt(0).loaded);
    QCOMPARE(f.slideAt(0).picture.size(), QSize(640, 480));
    QVERIFY(QFile::exists(f.workFile(".jpg")));
    // The thumbnail shares the slide's picture.
    QCOMPARE(f.form->Miniatura->picture().cacheKey(), f.slideAt(0).picture.cacheKey());

    // A PNG is flattened onto white.
    f.load(url("clear.png"), 1);
    const QImage png = f.slideAt(1).picture;
    QCOMPARE(png.pixelColor(30, 20), QColor(Qt::white));
    QCOMPARE(png.pixelColor(2, 2), QColor(Qt::red));
    QVERIFY(!png.hasAlphaChannel());

    // ".PNG" is not ".png": the standard loader keeps the transparency.
    f.load(url("upper.PNG"), 2);
    QVERIFY(f.slideAt(2).loaded);
    QCOMPARE(f.slideAt(2).picture.pixelColor(30, 20).alpha(), 0);
    QVERIFY(QFile::exists(f.workFile(".PNG")));

    // A query string after the extension: stored under a safe name, decoded
    // by content, never written outside the work folder.
    f.load(url("photo.jpg?t=1/../../x"), 4);
    QVERIFY(f.slideAt(4).loaded);
    QCOMPARE(f.slideAt(4).picture.size(), QSize(640, 480));
    QVERIFY(QFile::exists(f.workFile(".img")));
    QCOMPARE(QDir(f.home.path()).entryList(QDir::Files), QStringList{});

    // A GIF of kind 0 gives its first frame as a still picture.
    f.load(url("loop.gif"), 3);
    QCOMPARE(f.slideAt(3).kind, 1);
    QVERIFY(!f.slideAt(3).picture.isNull());
    QCOMPARE(f.form->cycles().slides().nextLoopNumber(), int16_t(1));
}

void TestPictureDisplay::failuresBecomeTheErrorPicture() {
    Fixture f;
    QCOMPARE(f.form->ErrLoadPicture.size(), QSize(1024, 768));
    f.preset(0, 4);
    f.load(url("missing.jpg"), 0);
    f.load(url("broken.jpg"), 1);
    f.load("http://127.0.0.1:9/dead.gif", 2);
    for (int slide = 0; slide < 3; ++slide) {
        QVERIFY(!f.slideAt(slide).loaded);
        QCOMPARE(f.slideAt(slide).kind, 1);
        QVERIFY(f.sameAsErrorPicture(slide));
    }
    QVERIFY(f.dialogs.shown().isEmpty());
    QCOMPARE(f.form->cycles().slides().nextLoopNumber(), int16_t(1));
}

void TestPictureDisplay::animatedGifCopiesAreNumberedInOrder() {
    Fixture f;
    f.preset(0, 4);
    f.preset(1, 4);
    f.preset(2, 4);
    f.load(url("loop.gif"), 0);
    f.load(url("loop2.gif"), 1);
    f.load(url("photo.jpg") + "?x=clear.png", 2);
    QCOMPARE(f.form->cycles().slides().nextLoopNumber(), int16_t(3));
    QVERIFY(QFile::exists(f.workFile("_ANIGIF_1.gif")));
    QVERIFY(QFile::exists(f.workFile("_ANIGIF_2.gif")));
    QCOMPARE(f.slideAt(0).kind, 4);
    QCOMPARE(f.slideAt(1).kind, 4);
    // A kind-4 slide whose address ends in .png becomes a still picture.
    QCOMPARE(f.slideAt(2).kind, 1);
    QVERIFY(!QFile::exists(f.workFile("_ANIGIF_3.gif")));
    QVERIFY(!QFile::exists(f.workFile("_ANIGIF_3.png")));
}

void TestPictureDisplay::pageImagesComeFromThePageImageFile() {
    Fixture f;
    const QString pageImage = f.state().Skyglance_PHP_Dir + "/PHP.gif";
    QVERIFY(QFile::copy(QStringLiteral(SKYGLANCE_TESTDATA "/animated-red-blue.gif"), pageImage));
    f.preset(0, 6);
    // The address itself is never fetched: nothing listens there.
    f.load("http://127.0.0.1:9/page.html", 0);
    QCOMPARE(f.slideAt(0).kind, 4);
    QVERIFY(f.slideAt(0).loaded);
    QVERIFY(!f.slideAt(0).picture.isNull());
    QVERIFY(QFile::exists(f.workFile("_ANIGIF_1.gif")));
    QCOMPARE(f.form->cycles().slides().nextLoopNumber(), int16_t(2));

    // A ".php" address of another kind is neither fetched nor loaded.
    f.preset(1, 0, false);
    f.load("http://127.0.0.1:9/map.php", 1);
    QVERIFY(f.slideAt(1).loaded);
    QVERIFY(f.slideAt(1).picture.isNull());
    QCOMPARE(f.slideAt(1).kind, 0);
}

void TestPictureDisplay::fullScreenSlideFillsTheAreaAboveTheBar() {
    Fixture f;
    f.form->show();
    f.form->panel().txtDisplay->setText("Full_Screen");
    const QImage picture = solid(1024, 768, QColor(20, 160, 60));
    f.form->presenter().ShowPicture(picture);
    QVERIFY(f.form->fotoBrowser->isVisible());
    const QRect box = f.form->fotoBrowser->geometry();
    const QRect bar = f.form->statusBar().whoWeAre->geometry();
    QCOMPARE(bar.bottom(), 1079);
    QCOMPARE(bar.height(), 43);
    // 4:3 into 1920 x 1036.8: the full height, centred, proportions kept.
    QVERIFY(qAbs(box.height() - 1037) <= 1);
    QVERIFY(qAbs(box.width() - 1382) <= 2);
    QVERIFY(qAbs(box.center().x() - 960) <= 1);
    QCOMPARE(box.top(), 0);
    QVERIFY(box.bottom() <= bar.top());

    const QImage shot = f.form->grab().toImage();
    saveShot(*f.form, "full-screen");
    QCOMPARE(shot.pixelColor(960, 500), QColor(20, 160, 60));
    QCOMPARE(shot.pixelColor(100, 500), QColor(Qt::black)); // left of the picture
    QVERIFY(shot.pixelColor(bar.center()) != QColor(20, 160, 60));

    // Painting again does not scale again.
    const int scaled = f.form->fotoBrowser->scaleCount();
    f.form->fotoBrowser->repaint();
    f.form->grab();
    QCOMPARE(f.form->fotoBrowser->scaleCount(), scaled);
}

void TestPictureDisplay::normalSlideIsCentredAtNaturalSize() {
    Fixture f;
    f.form->show();
    f.form->panel().txtDisplay->setText("Normal");
    f.form->presenter().ShowPicture(solid(400, 300, QColor(200, 40, 40)));
    QVERIFY(!f.form->settings().fullScreen());
    QCOMPARE(f.form->fotoBrowser->geometry(), QRect(760, 390, 400, 300));
    saveShot(*f.form, "normal");
    // Larger than the screen: centred all the same.
    f.form->presenter().ShowPicture(solid(2400, 1400, QColor(200, 40, 40)));
    QCOMPARE(f.form->fotoBrowser->geometry().center(), QPoint(959, 539));
    QCOMPARE(f.form->fotoBrowser->size(), QSize(2400, 1400));
}

void TestPictureDisplay::animatedGifSlidePlaysInThePictureFrame() {
    Fixture f;
    f.form->show();
    f.form->panel().txtDisplay->setText("Full_Screen");
    f.preset(0, 4);
    f.load(url("loop.gif"), 0);
    f.state().GLOBAL_IMAGE_CURRENT_POINTER = 0;
    f.form->scheduler().showSlide(0);
    QVERIFY(!f.form->fotoBrowser->isVisible());
    QVERIFY(f.form->ucAniGIF1->isVisible());
    QCOMPARE(f.form->ucAniGIF1->geometry(), f.form->fotoBrowser->geometry());
    QCOMPARE(f.form->ucAniGIF1->property("loadedFile").toString(), f.workFile("_ANIGIF_1.gif"));
    QCOMPARE(f.form->ucAniGIF1->DelayAnimation(), 1);
    QVERIFY(f.form->ucAniGIF1->FrameCount() > 1);
    // The control paints the loop where the still picture would have been.
    QTest::qWait(100);
    const QImage shot = f.form->grab().toImage();
    saveShot(*f.form, "animated-gif");
    const QColor centre = shot.pixelColor(f.form->fotoBrowser->geometry().center());
    QVERIFY2(centre != QColor(Qt::black), qPrintable(centre.name()));

    // The next still slide hides the GIF control again.
    f.state().GLOBAL_IMAGE_CURRENT_POINTER = 1;
    f.preset(1, 1);
    f.form->presenter().ShowPicture(solid(300, 200, Qt::gray));
    QVERIFY(!f.form->ucAniGIF1->isVisible());
    QVERIFY(f.form->fotoBrowser->isVisible());
}

QTEST_MAIN(TestPictureDisplay)
#include "test_picture_display.moc"
