// GIF decoding: the parser, its read primitives and failure rules, the frame
// decoder and strip, the LZW codec and the frame exporter.

#include "GifTestSupport.h"
#include "anigif/GifDecoding.h"
#include "anigif/GifLzw.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace giftest;
using anigif::GifDecoding;

namespace {

const QList<uint32_t> kGrey4 = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};

GifDecoding parse(const QByteArray& bytes, int* n = nullptr) {
    GifDecoding g;
    g.GifBytes = bytes;
    const int frames = g.ParseGif();
    if (n) {
        *n = frames;
    }
    return g;
}

// Packs codes least significant bit first, as the exporter must.
QByteArray packCodes(const QList<QPair<int, int>>& codes) {
    QByteArray out;
    uint32_t acc = 0;
    int bits = 0;
    for (const auto& [code, width] : codes) {
        acc |= uint32_t(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0) {
        out.append(char(acc & 0xFF));
    }
    return out;
}

std::vector<uint8_t> decodeAll(const QByteArray& subBlocks, int minCodeSize, int w, int h,
                               bool interlaced, anigif::LzwResult* result = nullptr) {
    std::vector<uint8_t> out(static_cast<std::size_t>(w) * h, 0xEE);
    anigif::LzwTarget t{out.data(), w, w, h, interlaced};
    const anigif::LzwResult r =
        anigif::LzwDecode(reinterpret_cast<const uint8_t*>(subBlocks.constData()),
                          static_cast<std::size_t>(subBlocks.size()), minCodeSize, t);
    if (result) {
        *result = r;
    }
    return out;
}

} // namespace

class TestAnigifDecoding : public QObject {
    Q_OBJECT

private slots:
    void readPrimitives();
    void signatures();
    void imageSizeFromFramesNotLogicalScreen();
    void disposalRules();
    void netscapeLoops();
    void zeroBytesAndUnknownIntroducer();
    void gceWithoutTransparency();
    void gceBelongsToNextImage();
    void truncationInFrameThreeDescriptor();
    void truncatedDataStillAccepted();
    void localTablesGetRowsInOrder();
    void noColourTableRejectsWholeFile();
    void globalTableCutShort();
    void frameLimit();
    void stripLayout();
    void stripOnlyFirstFrame();
    void hugeFrameRefusedNotAllocated();
    void lzwRoundTrip_data();
    void lzwRoundTrip();
    void lzwInterlaced();
    void lzwOddStreams();
    void exportTwoByTwo();
    void exportTransparentAndPictureLoads();
    void exportLongImageUsesClears();
};

void TestAnigifDecoding::readPrimitives() {
    GifDecoding g;
    g.GifBytes = QByteArray("\x01\x02\x03\x02\xAA\xBB\x00\x09", 8);
    g.Pos = 0;
    QCOMPARE(g.ReadByte(), uint8_t(1));
    QCOMPARE(g.ReadWord(), uint16_t(0x0302));
    // SkipSubBlocks: size 2, two bytes, terminator.
    g.SkipSubBlocks();
    QCOMPARE(g.Pos, 7);
    // ReadBytes past the end returns zeros and does not move.
    QCOMPARE(g.ReadBytes(4), QByteArray(4, '\0'));
    QCOMPARE(g.Pos, 7);
    QCOMPARE(g.ReadByte(), uint8_t(9));
    bool threw = false;
    try {
        g.ReadByte();
    } catch (const anigif::GifEndOfFile& e) {
        threw = true;
        QCOMPARE(e.Number, 53);
        QCOMPARE(QString(e.Description), QStringLiteral("End of File"));
        QCOMPARE(QString(e.Source), QStringLiteral("ReadGifFile"));
    }
    QVERIFY(threw);
    // ReadWord needs two bytes.
    g.Pos = 7;
    QVERIFY_THROWS_EXCEPTION(anigif::GifEndOfFile, g.ReadWord());
    // SkipSubBlocks never fails, also on a cut file.
    g.GifBytes = QByteArray("\x10\x01", 2);
    g.Pos = 0;
    g.SkipSubBlocks();
    QVERIFY(g.Pos > 1);
    // ReadColorTable needs the table plus one more byte.
    g.GifBytes = QByteArray(12, '\x7F');
    g.ColorTables.assign(1, anigif::ColorTableRow{});
    g.Pos = 0;
    QVERIFY_THROWS_EXCEPTION(anigif::GifEndOfFile, g.ReadColorTable(0, 2)); // 12 + 1 needed
    g.GifBytes.append('\0');
    g.Pos = 0;
    g.ReadColorTable(0, 2);
    QCOMPARE(g.ColorTables[0][0], 0x7F7F7Fu);
    QCOMPARE(g.ColorTables[0][256], 4u);
    QCOMPARE(g.Pos, 12);
}

void TestAnigifDecoding::signatures() {
    const QByteArray good = buildGif(1, 1, kGrey4, {solidFrame(0, 0, 1, 1, 3)});
    for (const char* sig : {"GIF89a", "gif89a", "Gif87a", "GIF87A"}) {
        QByteArray b = good;
        b.replace(0, 6, sig);
        int n = -1;
        parse(b, &n);
        QCOMPARE(n, 1);
    }
    QByteArray bad = good;
    bad.replace(0, 6, "GIF90a");
    int n = -1;
    parse(bad, &n);
    QCOMPARE(n, 0);
    parse(QByteArray("GIF8"), &n);
    QCOMPARE(n, 0);
    parse(QByteArray(), &n);
    QCOMPARE(n, 0);
    // A file of the signature and a little more: no frame, no failure.
    parse(QByteArray("GIF89a\x01\x00", 8), &n);
    QCOMPARE(n, 0);
}

void TestAnigifDecoding::imageSizeFromFramesNotLogicalScreen() {
    int n = 0;
    const GifDecoding g = parse(buildGif(200, 200, kGrey4, {solidFrame(10, 10, 50, 40, 1)}), &n);
    QCOMPARE(n, 1);
    QCOMPARE(g.ImageWidth, 60);
    QCOMPARE(g.ImageHeight, 50);
    QCOMPARE(g.Frame(1).Left, 10);
    QCOMPARE(g.Frame(1).Top, 10);
    QCOMPARE(g.Frame(1).Width, 50);
    QCOMPARE(g.Frame(1).Height, 40);
}

void TestAnigifDecoding::disposalRules() {
    std::vector<TestFrame> frames;
    for (int d : {3, 3, 4, 7, 2, 1}) {
        TestFrame f = solidFrame(0, 0, 2, 2, 1);
        f.disposal = d;
        f.delayCs = 7;
        frames.push_back(f);
    }
    int n = 0;
    const GifDecoding g = parse(buildGif(2, 2, kGrey4, frames), &n);
    QCOMPARE(n, 6);
    QCOMPARE(g.Frame(1).Disposal, uint8_t(0)); // a first frame's 3 becomes 0
    QCOMPARE(g.Frame(2).Disposal, uint8_t(3));
    QCOMPARE(g.Frame(3).Disposal, uint8_t(0)); // 4..7 become 0
    QCOMPARE(g.Frame(4).Disposal, uint8_t(0));
    QCOMPARE(g.Frame(5).Disposal, uint8_t(2));
    QCOMPARE(g.Frame(6).Disposal, uint8_t(1));
    QCOMPARE(g.Frame(1).FrameDelay, 70);
}

void TestAnigifDecoding::netscapeLoops() {
    int n = 0;
    GifDecoding g = parse(buildGif(1, 1, kGrey4, {solidFrame(0, 0, 1, 1, 1)}, 0xFFFF), &n);
    QCOMPARE(n, 1);
    QCOMPARE(g.Loops, 65535);

    QByteArray lower = buildGif(1, 1, kGrey4, {solidFrame(0, 0, 1, 1, 1)}, 7);
    lower.replace("NETSCAPE2.0", "netscape2.0");
    g = parse(lower, &n);
    QCOMPARE(g.Loops, 7);

    QByteArray other = buildGif(1, 1, kGrey4, {solidFrame(0, 0, 1, 1, 1)}, 7);
    other.replace("NETSCAPE2.0", "ANIMEXTS1.0");
    g = parse(other, &n);
    QCOMPARE(n, 1);
    QCOMPARE(g.Loops, 0);

    // A NETSCAPE block whose sub-block is not 3 bytes: no loop count, and
    // the sub-blocks are still skipped.
    QByteArray odd = buildGif(1, 1, kGrey4, {solidFrame(0, 0, 1, 1, 1)}, 7);
    const qsizetype at = odd.indexOf("NETSCAPE2.0") + 11;
    odd[at] = '\x02';
    odd.remove(at + 3, 1); // size 2: identifier, one byte; then the terminator
    g = parse(odd, &n);
    QCOMPARE(n, 1);
    QCOMPARE(g.Loops, 0);

    // No block at all: 0.
    g = parse(buildGif(1, 1, kGrey4, {solidFrame(0, 0, 1, 1, 1)}), &n);
    QCOMPARE(g.Loops, 0);
}

void TestAnigifDecoding::zeroBytesAndUnknownIntroducer() {
    const QByteArray one = buildGif(1, 1, kGrey4, {solidFrame(0, 0, 1, 1, 1)});
    QByteArray two = buildGif(1, 1, kGrey4, {solidFrame(0, 0, 1, 1, 1), solidFrame(0, 0, 1, 1, 2)});
    // Zero bytes before the second frame's extension are skipped.
    const qsizetype second = two.indexOf("\x21\xF9", 30);
    QVERIFY(second > 0);
    QByteArray zeros = two;
    zeros.insert(second, QByteArray(5, '\0'));
    int n = 0;
    parse(zeros, &n);
    QCOMPARE(n, 2);
    // An unknown introducer ends the parse like the trailer.
    QByteArray unknown = two;
    unknown.insert(second, '\x99');
    parse(unknown, &n);
    QCOMPARE(n, 1);
    Q_UNUSED(one);
}

void TestAnigifDecoding::gceWithoutTransparency() {
    // The transparent index byte holds 0x2C, which must not be read as an
    // image separator; TransparentIndex stays 0.
    TestFrame f = solidFrame(0, 0, 2, 2, 2);
    f.transparent = false;
    f.transparentIndex = 0x2C;
    int n = 0;
    const GifDecoding g = parse(buildGif(2, 2, kGrey4, {f}), &n);
    QCOMPARE(n, 1);
    QCOMPARE(g.Frame(1).Transparent, uint8_t(0));
    QCOMPARE(g.Frame(1).TransparentIndex, uint8_t(0));
    QCOMPARE(g.Frame(1).Width, 2);
    QCOMPARE(g.Frame(1).DataStart, 13 + 12);
    QCOMPARE(g.FrameBlocks[0].BlockStart, 13 + 12 + 8);

    TestFrame t = f;
    t.transparent = true;
    t.transparentIndex = 3;
    const GifDecoding g2 = parse(buildGif(2, 2, kGrey4, {t}), &n);
    QCOMPARE(g2.Frame(1).Transparent, uint8_t(1));
    QCOMPARE(g2.Frame(1).TransparentIndex, uint8_t(3));
}

void TestAnigifDecoding::gceBelongsToNextImage() {
    TestFrame a = solidFrame(0, 0, 1, 1, 1);
    a.gce = false;
    TestFrame b = solidFrame(0, 0, 1, 1, 2);
    b.delayCs = 5;
    QByteArray bytes = buildGif(1, 1, kGrey4, {a, b});
    // A comment and a second graphic control extension between b's first
    // extension and its image: the second one replaces the first.
    const qsizetype gce = bytes.indexOf("\x21\xF9\x04");
    QVERIFY(gce > 0);
    const QByteArray extra =
        QByteArray("\x21\xFE\x02hi\x00", 6) + QByteArray("\x21\xF9\x04\x09\x0C\x00\x02\x00", 8);
    bytes.insert(gce + 8, extra);
    int n = 0;
    const GifDecoding g = parse(bytes, &n);
    QCOMPARE(n, 2);
    QCOMPARE(g.Frame(1).FrameDelay, 0);
    QCOMPARE(g.Frame(1).DataStart, g.FrameBlocks[0].BlockStart);
    QCOMPARE(g.Frame(2).FrameDelay, 120);
    QCOMPARE(g.Frame(2).Disposal, uint8_t(2));
    QCOMPARE(g.Frame(2).Transparent, uint8_t(1));
    QCOMPARE(g.Frame(2).TransparentIndex, uint8_t(2));
    QCOMPARE(g.Frame(2).DataStart, int(gce + 8 + 6));
    // The block runs from the separator to the data terminator.
    const auto& blk = g.FrameBlocks[1];
    QCOMPARE(bytes.at(blk.BlockStart), '\x2C');
    QCOMPARE(bytes.at(blk.BlockStart + blk.BlockSize - 1), '\0');
    QCOMPARE(bytes.at(blk.BlockStart + blk.BlockSize), '\x3B');
}

void TestAnigifDecoding::truncationInFrameThreeDescriptor() {
    const QByteArray bytes =
        buildGif(4, 4, kGrey4,
                 {solidFrame(0, 0, 4, 4, 1), solidFrame(0, 0, 2, 2, 2), solidFrame(1, 1, 3, 3, 3)});
    int n = 0;
    const GifDecoding whole = parse(bytes, &n);
    QCOMPARE(n, 3);
    const int third = whole.FrameBlocks[2].BlockStart;
    parse(bytes.left(third + 6), &n); // inside the descriptor
    QCOMPARE(n, 2);
    parse(bytes.left(third), &n);
    QCOMPARE(n, 2);
}

void TestAnigifDecoding::truncatedDataStillAccepted() {
    const QByteArray bytes = buildGif(8, 8, kGrey4, {solidFrame(0, 0, 8, 8, 2)});
    const int cut = static_cast<int>(bytes.size()) - 4; // inside the data sub-block
    GifDecoding g;
    g.GifBytes = bytes.left(cut);
    QCOMPARE(g.ParseGif(), 1);
    QVERIFY(g.FrameBlocks[0].BlockStart + g.FrameBlocks[0].BlockSize > cut);
    QVERIFY(g.DecodeFrames(1, true)); // decodes what is there, reads nothing beyond
    QCOMPARE(g.FrameStrip.size(), QSize(8, 8));

    // A strip of one frame is decoded in place: a cut 7-wide noise frame
    // keeps its first pixels in row order, and every other byte of the
    // strip, the row padding included, stays zero.
    TestFrame noise;
    noise.width = 7;
    noise.height = 6;
    QRandomGenerator rng(7);
    for (int i = 0; i < 7 * 6; ++i) {
        noise.pixels.push_back(static_cast<uint8_t>(1 + rng.bounded(3)));
    }
    const QByteArray whole = buildGif(7, 6, kGrey4, {noise});
    GifDecoding cutNoise;
    cutNoise.GifBytes = whole.left(whole.size() - 6);
    QCOMPARE(cutNoise.ParseGif(), 1);
    QVERIFY(cutNoise.DecodeFrames(1, true));
    const QImage& strip = cutNoise.FrameStrip;
    QCOMPARE(strip.bytesPerLine(), 8);
    int kept = 0;
    while (kept < 42 && strip.constScanLine(kept / 7)[kept % 7] == noise.pixels[kept]) {
        ++kept;
    }
    QVERIFY(kept > 0 && kept < 42);
    for (int i = kept; i < 6 * 8; ++i) {
        const int x = i < 42 ? i % 7 : 7; // then the padding column
        const int y = i < 42 ? i / 7 : i - 42;
        QCOMPARE(int(strip.constScanLine(y)[x]), 0);
    }
}

void TestAnigifDecoding::localTablesGetRowsInOrder() {
    TestFrame a = solidFrame(0, 0, 1, 1, 1);
    a.localTable = {0xFF0000, 0x00FF00};
    TestFrame b = solidFrame(0, 0, 1, 1, 1);
    TestFrame c = solidFrame(0, 0, 1, 1, 1);
    c.localTable = {0x0000FF, 0x123456, 0x654321};
    int n = 0;
    const GifDecoding g = parse(buildGif(1, 1, kGrey4, {a, b, c}), &n);
    QCOMPARE(n, 3);
    QCOMPARE(g.Frame(1).ColorTable, 1);
    QCOMPARE(g.Frame(2).ColorTable, 0);
    QCOMPARE(g.Frame(3).ColorTable, 2);
    QCOMPARE(g.ColorTables[1][0], 0xFF0000u);
    QCOMPARE(g.ColorTables[1][256], 2u);
    QCOMPARE(g.ColorTables[2][1], 0x123456u);
    QCOMPARE(g.ColorTables[2][256], 4u);
    QCOMPARE(g.ColorTables[0][256], 4u);
    QCOMPARE(g.ColorTables[0][3], 0xFFFFFFu);
}

void TestAnigifDecoding::noColourTableRejectsWholeFile() {
    TestFrame a = solidFrame(0, 0, 1, 1, 1);
    a.localTable = {0xFF0000, 0x00FF00};
    const TestFrame b = solidFrame(0, 0, 1, 1, 1); // no local, no global
    int n = -1;
    parse(buildGif(1, 1, {}, {a, b}), &n);
    QCOMPARE(n, 0);
    const GifDecoding g = parse(buildGif(1, 1, {}, {a}), &n);
    QCOMPARE(n, 1);
    QCOMPARE(g.ColorTables[0][256], 0u); // row 0 never filled
}

void TestAnigifDecoding::globalTableCutShort() {
    const QByteArray bytes = buildGif(1, 1, kGrey4, {solidFrame(0, 0, 1, 1, 1)});
    int n = -1;
    parse(bytes.left(13 + 12), &n); // the table but not one byte more
    QCOMPARE(n, 0);
    parse(bytes.left(13 + 5), &n);
    QCOMPARE(n, 0);
}

void TestAnigifDecoding::frameLimit() {
    // 32768 one-pixel frames: the 32768th would overflow the counter.
    QByteArray bytes = buildGif(1, 1, kGrey4, {});
    bytes.chop(1);
    QByteArray frame("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x4C\x01\x00", 15);
    for (int i = 0; i < 32768; ++i) {
        bytes.append(frame);
    }
    bytes.append('\x3B');
    int n = 0;
    const GifDecoding g = parse(bytes, &n);
    QCOMPARE(n, 32767);
    QCOMPARE(g.FrameCount(), 32767);
}

void TestAnigifDecoding::stripLayout() {
    TestFrame a = solidFrame(0, 0, 3, 2, 1);
    TestFrame b = solidFrame(1, 1, 2, 4, 2);
    TestFrame c = solidFrame(0, 0, 5, 1, 3);
    GifDecoding g;
    g.GifBytes = buildGif(5, 5, kGrey4, {a, b, c});
    QCOMPARE(g.ParseGif(), 3);
    QVERIFY(g.DecodeFrames(1, false));
    QCOMPARE(g.FrameStrip.format(), QImage::Format_Indexed8);
    QCOMPARE(g.FrameStrip.size(), QSize(3 + 2 + 5, 4));
    QCOMPARE(g.FrameStrip.colorCount(), 256);
    QCOMPARE(g.FrameStrip.color(7), qRgb(0, 0, 7)); // identity palette
    QCOMPARE(g.FrameStrip.pixelIndex(0, 0), 1);
    QCOMPARE(g.FrameStrip.pixelIndex(3, 0), 0); // frame 2 not yet decoded
    QVERIFY(g.DecodeFrames(2, false));
    QCOMPARE(g.Frame(2).StripX, 3);
    QCOMPARE(g.Frame(3).StripX, 5);
    QCOMPARE(g.FrameStrip.pixelIndex(3, 3), 2);
    QCOMPARE(g.FrameStrip.pixelIndex(9, 0), 3);
    QCOMPARE(g.FrameStrip.pixelIndex(9, 1), 0); // below frame 3's height
    QCOMPARE(g.FrameStrip.pixelIndex(0, 2), 0); // below frame 1's height
    QVERIFY(g.FrameBlocks.empty());             // released after the last frame
}

void TestAnigifDecoding::stripOnlyFirstFrame() {
    GifDecoding g;
    g.GifBytes = buildGif(9, 9, kGrey4, {solidFrame(0, 0, 3, 2, 1), solidFrame(0, 0, 9, 9, 2)});
    QCOMPARE(g.ParseGif(), 2);
    QVERIFY(g.DecodeFrames(1, true));
    QCOMPARE(g.FrameStrip.size(), QSize(3, 2));
}

void TestAnigifDecoding::hugeFrameRefusedNotAllocated() {
    // A 65535 x 65535 frame in a tiny file: refused cleanly.
    TestFrame f = solidFrame(0, 0, 1, 1, 1);
    QByteArray bytes = buildGif(1, 1, kGrey4, {f});
    const qsizetype sep = bytes.indexOf('\x2C', 13);
    bytes[sep + 5] = '\xFF';
    bytes[sep + 6] = '\xFF';
    bytes[sep + 7] = '\xFF';
    bytes[sep + 8] = '\xFF';
    GifDecoding g;
    g.GifBytes = bytes;
    QCOMPARE(g.ParseGif(), 1);
    QCOMPARE(g.ImageWidth, 65535);
    QVERIFY(!g.DecodeFrames(1, true));
    QVERIFY(g.FrameStrip.isNull());
    // The same through the control: the load fails.
    ucAniGIF control;
    QVERIFY(!control.LoadAnimatedGIF_Array(bytes));
    QCOMPARE(control.FrameCount(), 0);
}

void TestAnigifDecoding::lzwRoundTrip_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("colours");
    QTest::newRow("1x1") << 1 << 1 << 2;
    QTest::newRow("2x2") << 2 << 2 << 4;
    QTest::newRow("noise 256") << 300 << 200 << 256; // many clears
    QTest::newRow("noise 16") << 97 << 61 << 16;
    QTest::newRow("flat") << 640 << 480 << 1; // very long strings
    QTest::newRow("column") << 1 << 5000 << 3;
}

void TestAnigifDecoding::lzwRoundTrip() {
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, colours);
    QRandomGenerator rng(static_cast<quint32>(w * 7919 + h));
    std::vector<uint8_t> pixels(static_cast<std::size_t>(w) * h);
    for (auto& p : pixels) {
        p = colours == 1 ? 5 : static_cast<uint8_t>(rng.bounded(colours));
    }
    QByteArray blocks;
    anigif::LzwEncode8(pixels.data(), w, h, w, blocks);
    anigif::LzwResult r;
    const auto back = decodeAll(blocks, 8, w, h, false, &r);
    // Decoding stops once every pixel is there (the end code follows).
    QCOMPARE(r.end, anigif::LzwEnd::ImageFull);
    QCOMPARE(r.pixels, int64_t(w) * h);
    QVERIFY(back == pixels);
    // Every data sub-block but the last holds 254 bytes.
    qsizetype pos = 0;
    while (pos < blocks.size() && blocks[pos] != 0) {
        const int size = static_cast<uint8_t>(blocks[pos]);
        pos += size + 1;
        if (pos < blocks.size() - 1) {
            QCOMPARE(size, 254);
        }
    }
    QCOMPARE(pos, blocks.size() - 1);
    // Qt's reader agrees on a whole file made of these bytes.
    TestFrame f;
    f.width = w;
    f.height = h;
    f.pixels = pixels;
    QList<uint32_t> table;
    for (int i = 0; i < 256; ++i) {
        table.append(uint32_t(i * 0x010101));
    }
    const QImage q = QImage::fromData(buildGif(w, h, table, {f}), "GIF");
    QCOMPARE(q.size(), QSize(w, h));
    QCOMPARE(qBlue(q.pixel(w - 1, h - 1)), int(pixels.back()));
}

void TestAnigifDecoding::lzwInterlaced() {
    const int w = 7;
    const int h = 19;
    TestFrame f;
    f.width = w;
    f.height = h;
    f.interlaced = true;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            f.pixels.push_back(static_cast<uint8_t>(y * 3 + (x & 1)));
        }
    }
    QList<uint32_t> table;
    for (int i = 0; i < 64; ++i) {
        table.append(uint32_t(i));
    }
    GifDecoding g;
    g.GifBytes = buildGif(w, h, table, {f});
    QCOMPARE(g.ParseGif(), 1);
    QVERIFY(g.DecodeFrames(1, true));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            QCOMPARE(g.FrameStrip.pixelIndex(x, y), y * 3 + (x & 1));
        }
    }
}

void TestAnigifDecoding::lzwOddStreams() {
    anigif::LzwResult r;
    // No clear code first, no end code: min size 2, codes 1, 1 (3 bits).
    QByteArray noClear;
    noClear.append(char(1));
    noClear.append(packCodes({{1, 3}, {1, 3}}));
    noClear.append('\0');
    auto out = decodeAll(noClear, 2, 2, 1, false, &r);
    QCOMPARE(out[0], uint8_t(1));
    QCOMPARE(out[1], uint8_t(1));
    QCOMPARE(r.end, anigif::LzwEnd::ImageFull);

    // Too many pixels: the extra ones are dropped.
    QByteArray extra;
    const QByteArray codes = packCodes({{4, 3}, {1, 3}, {1, 3}, {1, 3}, {5, 3}});
    extra.append(char(codes.size()));
    extra.append(codes);
    extra.append('\0');
    out = decodeAll(extra, 2, 1, 1, false, &r);
    QCOMPARE(out[0], uint8_t(1));
    QCOMPARE(r.pixels, 1);

    // Too few pixels: the rest keep what they held.
    out = decodeAll(extra, 2, 3, 3, false, &r);
    QCOMPARE(r.end, anigif::LzwEnd::EndCode);
    QCOMPARE(r.pixels, 3);
    QCOMPARE(out[3], uint8_t(0xEE));

    // An invalid code stops decoding; what came before stays.
    QByteArray bad;
    const QByteArray badCodes = packCodes({{4, 3}, {2, 3}, {7, 3}, {1, 3}});
    bad.append(char(badCodes.size()));
    bad.append(badCodes);
    bad.append('\0');
    out = decodeAll(bad, 2, 4, 1, false, &r);
    QCOMPARE(r.end, anigif::LzwEnd::InvalidCode);
    QCOMPARE(out[0], uint8_t(2));
    QCOMPARE(out[1], uint8_t(0xEE));

    // Code sizes outside 2..11 decode nothing.
    out = decodeAll(extra, 12, 1, 1, false, &r);
    QCOMPARE(r.end, anigif::LzwEnd::BadCodeSize);
    out = decodeAll(extra, 1, 1, 1, false, &r);
    QCOMPARE(r.end, anigif::LzwEnd::BadCodeSize);

    // Empty data and a cut sub-block.
    out = decodeAll(QByteArray(), 8, 2, 2, false, &r);
    QCOMPARE(r.pixels, 0);
    out = decodeAll(QByteArray("\x09\x00", 2), 8, 2, 2, false, &r);
    QCOMPARE(r.end, anigif::LzwEnd::DataExhausted);
}

void TestAnigifDecoding::exportTwoByTwo() {
    GifDecoding g;
    g.GifBytes = buildGif(2, 2, kGrey4, {solidFrame(0, 0, 2, 2, 1)});
    QCOMPARE(g.ParseGif(), 1);
    QVERIFY(g.DecodeFrames(1, true));
    const QByteArray out = g.ExportFrame(1);

    QByteArray want("GIF89a\x02\x00\x02\x00\x87\x00\x00", 13);
    QByteArray table(768, '\0');
    for (int i = 0; i < 4; ++i) {
        const uint32_t c = kGrey4[i];
        table[3 * i] = char(c >> 16);
        table[3 * i + 1] = char(c >> 8);
        table[3 * i + 2] = char(c);
    }
    want.append(table);
    want.append(QByteArray("\x2C\x00\x00\x00\x00\x02\x00\x02\x00\x00\x08", 11));
    const QByteArray data = packCodes({{256, 9}, {1, 9}, {258, 9}, {1, 9}, {257, 9}});
    want.append(char(data.size()));
    want.append(data);
    want.append('\0');
    want.append('\x3B');
    QCOMPARE(out.toHex(), want.toHex());
    QCOMPARE(out.size(), 781 + 11 + 1 + 6 + 1 + 1);
    QCOMPARE(g.ExportFrame(0), QByteArray());
    QCOMPARE(g.ExportFrame(2), QByteArray());
}

void TestAnigifDecoding::exportTransparentAndPictureLoads() {
    TestFrame f = solidFrame(3, 4, 3, 2, 1);
    f.pixels = {0, 1, 2, 3, 2, 1};
    f.transparent = true;
    f.transparentIndex = 2;
    f.localTable = {0x112233, 0x445566, 0x778899, 0xAABBCC};
    GifDecoding g;
    g.GifBytes = buildGif(6, 6, kGrey4, {f});
    QCOMPARE(g.ParseGif(), 1);
    QVERIFY(g.DecodeFrames(1, true));
    const QByteArray out = g.ExportFrame(1);
    QCOMPARE(out.mid(6, 4), QByteArray("\x03\x00\x02\x00", 4));
    QCOMPARE(out.mid(13, 3), QByteArray("\x11\x22\x33", 3));
    QCOMPARE(out.mid(781, 8), QByteArray("\x21\xF9\x04\x01\x00\x00\x02\x00", 8));
    QCOMPARE(out.at(789), '\x2C');
    QCOMPARE(out.at(789 + 10), '\x08');
    const QImage image = QImage::fromData(out, "GIF").convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(3, 2));
    QCOMPARE(image.pixel(0, 0), qRgb(0x11, 0x22, 0x33));
    QCOMPARE(image.pixel(1, 0), qRgb(0x44, 0x55, 0x66));
    QCOMPARE(qAlpha(image.pixel(2, 0)), 0);
    QCOMPARE(image.pixel(0, 1), qRgb(0xAA, 0xBB, 0xCC));
}

void TestAnigifDecoding::exportLongImageUsesClears() {
    // A real photo exported and read back by Qt: same indices, same colours.
    GifDecoding g;
    g.GifBytes = readFile(dataPath("gif-real/hibiscus.regular.gif"));
    QCOMPARE(g.ParseGif(), 1);
    QVERIFY(g.DecodeFrames(1, true));
    const QByteArray out = g.ExportFrame(1);
    GifDecoding back;
    back.GifBytes = out;
    QCOMPARE(back.ParseGif(), 1);
    QVERIFY(back.DecodeFrames(1, true));
    for (int y = 0; y < g.Frame(1).Height; ++y) {
        QVERIFY(std::memcmp(g.FrameStrip.constScanLine(y), back.FrameStrip.constScanLine(y),
                            static_cast<std::size_t>(g.Frame(1).Width)) == 0);
    }
    const QImage qt = QImage::fromData(out, "GIF");
    const QImage orig = QImage(dataPath("gif-real/hibiscus.regular.gif"));
    QCOMPARE(qt.convertToFormat(QImage::Format_RGB32), orig.convertToFormat(QImage::Format_RGB32));
}

QTEST_MAIN(TestAnigifDecoding)
#include "test_anigif_decoding.moc"
