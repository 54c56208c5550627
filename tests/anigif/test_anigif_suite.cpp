// The GIF conformance suite (tests/anigif/data/gif-suite) and the real files
// (tests/anigif/data/gif-real), rendered through the control's own code and
// compared pixel for pixel; and the anigif-render tool.
//
// Where the control's rules decide otherwise than the suite, the case is
// listed in kDeviations with the reason, and the test checks what the control
// does instead.

#include "GifTestSupport.h"

#include <QDir>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace giftest;

namespace {

// How a case that the control decides otherwise is checked.
enum class Rule {
    NoFrames,     // no frame (the load fails)
    Colour0,      // one frame; nothing decodable, every pixel keeps index 0
    OneFrameAsIs, // one frame where the suite has none (checked by size)
    StaleIndex,   // one frame; indices beyond the table show the strip's
                  // previous colour-table entry (the identity palette)
};

struct Deviation {
    const char* name;
    Rule rule;
    const char* why;
};

// Each case where the control's rules decide otherwise than the suite.
const Deviation kDeviations[] = {
    {"no-data", Rule::NoFrames,
     "no image descriptor: the parser accepts no frame, so the load fails (the suite shows a "
     "transparent logical screen)"},
    {"image-zero-width", Rule::NoFrames,
     "the only frame is 0 pixels wide: ImageWidth (largest Left + Width) is 0, no strip can "
     "be made, the load fails (the suite shows a transparent logical screen)"},
    {"image-zero-height", Rule::NoFrames,
     "the only frame is 0 pixels high: ImageHeight is 0, no strip, the load fails"},
    {"image-zero-size", Rule::NoFrames, "a 0 x 0 frame: no strip, the load fails"},
    {"invalid-code", Rule::Colour0,
     "the parser never looks into LZW data, so the frame is accepted; its first code is "
     "invalid, nothing is decoded and the frame keeps index 0 (the suite rejects the file)"},
    {"overflow-codes", Rule::Colour0,
     "minimum code size 12: the frame is accepted and decodes to nothing, index 0 stays"},
    {"overflow-codes-max", Rule::Colour0,
     "minimum code size 255: the frame is accepted and decodes to nothing, index 0 stays"},
    {"invalid-colors", Rule::StaleIndex,
     "index 2 in a 2-entry table: the strip's colour table only has its first 2 entries "
     "replaced, so index 2 shows the identity palette's entry (0, 0, 2)"},
    {"plain-text", Rule::OneFrameAsIs,
     "the plain-text extension is skipped like any other extension; the image after it is "
     "a frame of its own (the suite lists no frame)"},
};

const Deviation* deviationFor(const QString& name) {
    for (const Deviation& d : kDeviations) {
        if (name == QLatin1String(d.name)) {
            return &d;
        }
    }
    return nullptr;
}

// Cases where every image is a frame of its own for the control (one frame
// per image descriptor) while the suite merges images without a delay into
// the next frame. The suite's frames are compared with ours at the frames
// that end a suite frame: an image with a delay, or the last image.
const char* const kImagesAreFrames[] = {
    "images-combine",
    "images-overlap",
    "high-color",
    "dispose-restore-previous",
    "animation-multi-image",
    "animation-multi-image-explicit-zero-delay",
};

bool imagesAreFrames(const QString& name) {
    for (const char* n : kImagesAreFrames) {
        if (name == QLatin1String(n)) {
            return true;
        }
    }
    return false;
}

// Cases whose image size for the control (largest Left + Width, Top + Height;
// the logical screen is not used) differs from the suite's logical screen;
// their pixels inside the suite's canvas match (outside the frames the
// control shows its background, transparent here, as the suite does).
const char* const kOtherImageSize[] = {"image-inside-bg", "image-overlap-bg", "image-outside-bg",
                                       "missing-pixels"};

std::unique_ptr<ucAniGIF> loadControl(const QByteArray& bytes, bool* ok) {
    auto control = std::make_unique<ucAniGIF>();
    control->setStretch(0);
    control->setDelayAnimation(0);
    *ok = control->LoadAnimatedGIF_Array(bytes);
    return control;
}

} // namespace

class TestAnigifSuite : public QObject {
    Q_OBJECT

private slots:
    void suite_data();
    void suite();
    void deviationListIsComplete();
    void realFilesMatchQtReader_data();
    void realFilesMatchQtReader();
    void truncatedInterlacedKeepsIndexZero();
    void renderTool();
    void renderToolRejectsNonGif();
};

void TestAnigifSuite::suite_data() {
    QTest::addColumn<QString>("name");
    const QStringList tests =
        QString::fromUtf8(readFile(dataPath("gif-suite/TESTS"))).split('\n', Qt::SkipEmptyParts);
    QVERIFY(tests.size() > 80);
    for (const QString& t : tests) {
        QTest::newRow(qPrintable(t.trimmed())) << t.trimmed();
    }
}

void TestAnigifSuite::suite() {
    QFETCH(QString, name);
    const SuiteCase c = readSuiteCase(name);
    const QByteArray bytes = readFile(dataPath("gif-suite/" + c.input));
    QVERIFY2(!bytes.isEmpty(), qPrintable(c.input));
    bool ok = false;
    auto control = loadControl(bytes, &ok);
    const int n = control->FrameCount();

    if (const Deviation* d = deviationFor(name)) {
        switch (d->rule) {
        case Rule::NoFrames:
            QVERIFY(!ok);
            QCOMPARE(n, 0);
            QCOMPARE(control->CurrentFrame(), 0);
            return;
        case Rule::OneFrameAsIs:
            QVERIFY(ok);
            QCOMPARE(n, 1);
            QCOMPARE(control->ActualWidth(), c.width);
            QCOMPARE(control->ActualHeight(), c.height);
            return;
        case Rule::Colour0:
        case Rule::StaleIndex: {
            QVERIFY(ok);
            QCOMPARE(n, 1);
            const int w = control->ActualWidth();
            const int h = control->ActualHeight();
            control->resize(w, h);
            const QImage got = renderControl(*control, w, h);
            QList<uint32_t> table;
            QVERIFY(control->GetPalette(0, table));
            if (d->rule == Rule::StaleIndex) {
                QCOMPARE(got.pixel(0, 0), qRgb(0, 0, 2));
                return;
            }
            // Pixels decoded before the bad code keep their colour; the rest
            // show colour 0. Every pixel is one of the table's colours and
            // the last pixel is colour 0.
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    QVERIFY(table.contains(got.pixel(x, y) & 0xFFFFFFu));
                }
            }
            QCOMPARE(got.pixel(w - 1, h - 1) & 0xFFFFFFu, table.value(0));
            return;
        }
        }
    }

    QCOMPARE(n, static_cast<int>(c.frames.size()) == 0 ? 0 : n);
    if (c.frames.isEmpty()) {
        QVERIFY(!ok);
        QCOMPARE(n, 0);
        return;
    }
    QVERIFY(ok);

    // Which of our frames shows each suite frame.
    const bool force =
        readFile(dataPath("gif-suite/" + name + ".conf")).contains("force-animation = yes");
    QList<int> ours;
    if (imagesAreFrames(name) && !force) {
        for (int k = 1; k <= n; ++k) {
            if (control->Gif().Frame(k).FrameDelay > 0 || k == n) {
                ours.append(k);
            }
        }
        QVERIFY(n > c.frames.size());
    } else {
        QCOMPARE(n, static_cast<int>(c.frames.size()));
        for (int k = 1; k <= n; ++k) {
            ours.append(k);
        }
    }
    QCOMPARE(ours.size(), c.frames.size());

    bool otherSize = false;
    for (const char* s : kOtherImageSize) {
        otherSize = otherSize || name == QLatin1String(s);
    }
    if (!otherSize) {
        QCOMPARE(control->ActualWidth(), c.width);
        QCOMPARE(control->ActualHeight(), c.height);
    } else {
        QVERIFY(control->ActualWidth() != c.width || control->ActualHeight() != c.height);
    }

    // Loops: "infinite" is 0 (endless), else the file's count.
    if (c.loopCount == QLatin1String("infinite")) {
        QCOMPARE(control->Loops(), 0);
    } else {
        QCOMPARE(control->Loops(), c.loopCount.toInt());
    }

    control->resize(c.width, c.height);
    control->setAction(0);
    int shown = 1;
    for (int j = 0; j < c.frames.size(); ++j) {
        // Paint every frame on the way (a paint only shows what is composed).
        while (shown < ours[j]) {
            renderControl(*control, c.width, c.height);
            control->setAction(3);
            ++shown;
        }
        QCOMPARE(control->CurrentFrame(), ours[j]);
        const QImage got = renderControl(*control, c.width, c.height);
        const QImage want = readRgba(c.frames[j].pixels, c.width, c.height);
        QVERIFY2(!want.isNull(), qPrintable(c.frames[j].pixels));
        QString first;
        const qint64 diff = countDifferences(got, want, &first);
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("frame %1 (ours %2): %3 pixels differ, %4")
                                           .arg(j)
                                           .arg(ours[j])
                                           .arg(diff)
                                           .arg(first)));
        if (c.frames[j].delay) {
            QCOMPARE(control->Gif().Frame(ours[j]).FrameDelay, *c.frames[j].delay * 10);
        }
    }
}

void TestAnigifSuite::deviationListIsComplete() {
    // Every listed case exists in the suite.
    const QString tests = QString::fromUtf8(readFile(dataPath("gif-suite/TESTS")));
    for (const Deviation& d : kDeviations) {
        QVERIFY2(tests.contains(QLatin1String(d.name)), d.name);
        QVERIFY(QString::fromLatin1(d.why).size() > 20);
    }
    for (const char* n : kImagesAreFrames) {
        QVERIFY2(tests.contains(QLatin1String(n)), n);
    }
}

void TestAnigifSuite::realFilesMatchQtReader_data() {
    QTest::addColumn<QString>("file");
    for (const char* f :
         {"animated-red-blue.gif", "bricks-dither.gif", "gifplayer-muybridge.gif", "harvesters.gif",
          "hat.gif", "hibiscus.regular.gif", "hippopotamus.interlaced.gif",
          "hippopotamus.regular.gif", "muybridge.gif"}) {
        QTest::newRow(f) << QString::fromLatin1(f);
    }
}

void TestAnigifSuite::realFilesMatchQtReader() {
    QFETCH(QString, file);
    const QString path = dataPath("gif-real/" + file);
    ucAniGIF control;
    control.setStretch(0);
    control.setDelayAnimation(0);
    QVERIFY(control.LoadAnimatedGIF_File(path));
    QImageReader reader(path);
    QCOMPARE(control.FrameCount(), reader.imageCount());
    QCOMPARE(QSize(control.ActualWidth(), control.ActualHeight()), reader.size());
    control.resize(control.ActualWidth(), control.ActualHeight());
    control.setAction(0);
    QImage firstFrame;
    for (int k = 1; k <= control.FrameCount(); ++k) {
        const QImage want = reader.read().convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!want.isNull());
        const QImage got = renderControl(control, want.width(), want.height());
        if (k == 1) {
            firstFrame = want;
        }
        QString first;
        const qint64 diff = countDifferences(got, want, &first);
        QVERIFY2(diff == 0,
                 qPrintable(
                     QStringLiteral("frame %1: %2 pixels differ, %3").arg(k).arg(diff).arg(first)));
        control.setAction(3);
    }
    // The second loop starts with the same first frame.
    QCOMPARE(control.CurrentFrame(), 1);
    const QImage again = renderControl(control, firstFrame.width(), firstFrame.height());
    QCOMPARE(countDifferences(again, firstFrame), 0);
}

void TestAnigifSuite::truncatedInterlacedKeepsIndexZero() {
    // The file ends inside the image data: the frame is accepted, the rows
    // decoded before the cut match the complete file, the others keep
    // index 0 (colour 0 of the table).
    ucAniGIF full;
    ucAniGIF cut;
    QVERIFY(full.LoadAnimatedGIF_File(dataPath("gif-real/hippopotamus.interlaced.gif")));
    QVERIFY(cut.LoadAnimatedGIF_File(dataPath("gif-real/hippopotamus.interlaced.truncated.gif")));
    QCOMPARE(cut.FrameCount(), 1);
    const int w = full.ActualWidth();
    const int h = full.ActualHeight();
    full.setStretch(0);
    cut.setStretch(0);
    full.resize(w, h);
    cut.resize(w, h);
    const QImage a = renderControl(full, w, h);
    const QImage b = renderControl(cut, w, h);
    QList<uint32_t> table;
    QVERIFY(cut.GetPalette(0, table));
    // The first interlace pass (rows 0, 8, 16, 24) arrives first.
    for (int y = 0; y < h; y += 8) {
        for (int x = 0; x < w; ++x) {
            QCOMPARE(b.pixel(x, y), a.pixel(x, y));
        }
    }
    QCOMPARE(b.pixel(w - 1, h - 1) & 0xFFFFFFu, table.value(0));
}

void TestAnigifSuite::renderTool() {
    QTemporaryDir out;
    QVERIFY(out.isValid());
    QProcess tool;
    tool.start(QStringLiteral(ANIGIF_RENDER),
               {dataPath("gif-real/animated-red-blue.gif"), out.path()});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    const QStringList lines =
        QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), QStringLiteral("frames 4"));
    QCOMPARE(lines.value(1), QStringLiteral("size 64 48"));
    QCOMPARE(lines.value(2), QStringLiteral("loops 2"));
    QCOMPARE(lines.value(3), QStringLiteral("frame 1 delay 100"));
    QCOMPARE(lines.size(), 3 + 4);

    // The written frames are what the control shows, frame after frame.
    QImageReader reader(dataPath("gif-real/animated-red-blue.gif"));
    for (int k = 1; k <= 4; ++k) {
        const QImage written(QDir(out.path()).filePath(QStringLiteral("frame-%1.png").arg(k)));
        QCOMPARE(written.size(), QSize(64, 48));
        const QImage want = reader.read().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(countDifferences(written.convertToFormat(QImage::Format_ARGB32), want), 0);
    }

    // A transparent background stays transparent (alpha) in the PNG.
    QTemporaryDir out2;
    QProcess tool2;
    tool2.start(QStringLiteral(ANIGIF_RENDER),
                {dataPath("gif-suite/transparent.gif"), out2.path()});
    QVERIFY(tool2.waitForFinished(60000));
    QCOMPARE(tool2.exitCode(), 0);
    const QImage t(QDir(out2.path()).filePath("frame-1.png"));
    const QImage want = readRgba("four-colors-transparent.rgba", 2, 2);
    QCOMPARE(countDifferences(t.convertToFormat(QImage::Format_ARGB32), want), 0);
}

void TestAnigifSuite::renderToolRejectsNonGif() {
    QTemporaryDir out;
    QProcess tool;
    tool.start(QStringLiteral(ANIGIF_RENDER), {dataPath("gif-suite/README.md"), out.path()});
    QVERIFY(tool.waitForFinished(60000));
    QVERIFY(tool.exitCode() != 0);
    QVERIFY(!QFile::exists(QDir(out.path()).filePath("frame-1.png")));

    // A one-pixel frame placed at (65000, 40000): a few bytes ask for an
    // image of 65001 x 40001 pixels (10 GB). The tool refuses it as the
    // control refuses such a composite, without allocating it.
    QTemporaryDir big;
    const QString file = QDir(big.path()).filePath("far.gif");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(buildGif(1, 1, {0x000000, 0xFF0000}, {solidFrame(65000, 40000, 1, 1, 1)}));
    f.close();
    QProcess tool2;
    tool2.start(QStringLiteral(ANIGIF_RENDER), {file, big.path()});
    QVERIFY(tool2.waitForFinished(60000));
    QCOMPARE(tool2.exitCode(), 1);
    QVERIFY(tool2.readAllStandardOutput().contains("size 65001 40001"));
    QVERIFY(tool2.readAllStandardError().contains("exceeds the limit"));
    QVERIFY(!QFile::exists(QDir(big.path()).filePath("frame-1.png")));
}

QTEST_MAIN(TestAnigifSuite)
#include "test_anigif_suite.moc"
