// Frame composition and rendering: render modes, composition with and
// without mask, disposal 0 to 3, transparency, zoom by Stretch and AutoSize,
// offsets, BackColor and BackStyle, mirroring and the colour-table operations.

#include "GifTestSupport.h"
#include "anigif/FrameComposition.h"

#include <QtTest>

using namespace giftest;
using anigif::RenderMode;

namespace {

// Index 0 black, 1 red, 2 green, 3 blue, 4 white, 5 yellow ...
const QList<uint32_t> kTable = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                                0xFFFFFF, 0xFFFF00, 0x00FFFF, 0xFF00FF};
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kYellow = qRgb(255, 255, 0);

// A control of w x h (zoom mode `stretch`) holding the GIF, stopped on frame 1.
std::unique_ptr<ucAniGIF> makeControl(const QByteArray& gif, int w, int h, int stretch = 0) {
    auto c = std::make_unique<ucAniGIF>();
    c->resize(w, h);
    c->setStretch(stretch);
    c->setDelayAnimation(0);
    if (!c->LoadAnimatedGIF_Array(gif)) {
        return nullptr;
    }
    c->setAction(0);
    return c;
}

// Steps to frames 1..k in turn, painting each, and returns what frame k
// shows.
QImage showFrame(ucAniGIF& c, int k, int w, int h) {
    c.setAction(0);
    QImage img = renderControl(c, w, h);
    for (int i = 2; i <= k; ++i) {
        c.setAction(3);
        img = renderControl(c, w, h);
    }
    return img;
}

TestFrame frameWith(int left, int top, int w, int h, uint8_t index, int disposal = 0) {
    TestFrame f = solidFrame(left, top, w, h, index);
    f.disposal = disposal;
    f.delayCs = 10;
    return f;
}

} // namespace

class TestAnigifComposition : public QObject {
    Q_OBJECT

private slots:
    void renderModes();
    void oneFrameTransparentShowsForm();
    void cornerFrameKeepsFirstFrame();
    void disposal2MakesAreaTransparent();
    void disposal3RestoresPrevious();
    void allDisposal2PaintsFrameByFrame();
    void blackWhereNoFrameHasDrawn();
    void transparencyInComposite();
    void stretch1DirectAndComposite();
    void stretch3();
    void stretch4ResizesWithoutAutoSize();
    void autoSizeFitsControl();
    void offsets();
    void backStyleFillsImageExtent();
    void mirroring();
    void mirroringFlipsComposite();
    void getPaletteWithoutGlobalTable();
    void setPaletteShowsAtOnce();
    void cacheAndRestoreColorTables();
    void staleColourTableEntries();
    void opaqueFrameAfterTransparentFrameKeepsItsColours();
    void designTimeOutline();
    void paintOnlyShowsComposedFrame();
    void framesAdvancedUnpaintedAreComposed();
    void directModeConvertsWithinCap();
};

void TestAnigifComposition::renderModes() {
    auto mode = [](const std::vector<TestFrame>& frames, int w, int h) {
        auto c = makeControl(buildGif(w, h, kTable, frames), w, h);
        return c ? c->Composition().Mode : RenderMode::Direct;
    };
    QCOMPARE(mode({frameWith(0, 0, 4, 4, 1)}, 4, 4), RenderMode::Direct);
    QCOMPARE(mode({frameWith(0, 0, 4, 4, 1, 2), frameWith(0, 0, 2, 2, 2, 2)}, 4, 4),
             RenderMode::Direct);
    QCOMPARE(mode({frameWith(0, 0, 4, 4, 1), frameWith(0, 0, 2, 2, 2)}, 4, 4),
             RenderMode::Composite);
    QCOMPARE(mode({frameWith(0, 0, 4, 4, 1), frameWith(0, 0, 2, 2, 2, 3)}, 4, 4),
             RenderMode::CompositeWithMask);
    QCOMPARE(mode({frameWith(0, 0, 4, 4, 1, 2), frameWith(0, 0, 2, 2, 2, 1)}, 4, 4),
             RenderMode::CompositeWithMask);
    TestFrame t1 = frameWith(0, 0, 4, 4, 1);
    t1.transparent = true;
    QCOMPARE(mode({t1, frameWith(0, 0, 2, 2, 2)}, 4, 4), RenderMode::CompositeWithMask);
    TestFrame t2 = frameWith(0, 0, 2, 2, 2);
    t2.transparent = true;
    // A transparent later frame over a full opaque first frame: no mask.
    QCOMPARE(mode({frameWith(0, 0, 4, 4, 1), t2}, 4, 4), RenderMode::Composite);
    // ... but with a first frame smaller than the image: a mask.
    QCOMPARE(mode({frameWith(0, 0, 3, 4, 1), t2, frameWith(3, 0, 1, 4, 1)}, 4, 4),
             RenderMode::CompositeWithMask);
    // Design time: direct.
    ucAniGIF design;
    design.setDesignTime(true);
    QVERIFY(design.LoadAnimatedGIF_Array(
        buildGif(4, 4, kTable, {frameWith(0, 0, 4, 4, 1), frameWith(0, 0, 2, 2, 2)})));
    QCOMPARE(design.Composition().Mode, RenderMode::Direct);
}

void TestAnigifComposition::oneFrameTransparentShowsForm() {
    TestFrame f = frameWith(0, 0, 2, 2, 2);
    f.pixels = {2, 4, 4, 2};
    f.transparent = true;
    f.transparentIndex = 4;
    QWidget form;
    form.resize(10, 10);
    form.setAutoFillBackground(true);
    QPalette pal = form.palette();
    pal.setColor(QPalette::Window, Qt::magenta);
    form.setPalette(pal);
    auto* control = new ucAniGIF(&form);
    control->setGeometry(0, 0, 2, 2);
    control->setStretch(0);
    control->setDelayAnimation(0);
    QCOMPARE(control->BackStyle(), 0);
    QVERIFY(control->LoadAnimatedGIF_Array(buildGif(2, 2, kTable, {f})));
    const QImage shot = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shot.pixel(0, 0), kGreen);
    QCOMPARE(shot.pixel(1, 0), qRgb(255, 0, 255)); // the form through the transparent index
    QCOMPARE(shot.pixel(0, 1), qRgb(255, 0, 255));
    QCOMPARE(shot.pixel(1, 1), kGreen);
}

void TestAnigifComposition::cornerFrameKeepsFirstFrame() {
    const QByteArray gif =
        buildGif(20, 20, kTable, {frameWith(0, 0, 20, 20, 1, 1), frameWith(0, 0, 10, 10, 2, 1)});
    for (int backStyle : {0, 1}) {
        auto c = makeControl(gif, 20, 20);
        QVERIFY(c);
        c->setBackStyle(backStyle);
        c->setBackColor(0x00FFFF); // yellow in 0x00BBGGRR
        const QImage img = showFrame(*c, 2, 20, 20);
        QCOMPARE(img.pixel(5, 5), kGreen);
        QCOMPARE(img.pixel(15, 5), kRed);
        QCOMPARE(img.pixel(15, 15), kRed);
        QCOMPARE(img.pixel(5, 15), kRed);
    }
}

void TestAnigifComposition::disposal2MakesAreaTransparent() {
    // Frame 3 is transparent everywhere, so what shows is what frame 2's
    // disposal left.
    TestFrame f3 = frameWith(0, 0, 20, 20, 7);
    f3.transparent = true;
    f3.transparentIndex = 7;
    auto c =
        makeControl(buildGif(20, 20, kTable,
                             {frameWith(0, 0, 20, 20, 1, 1), frameWith(5, 5, 10, 10, 2, 2), f3}),
                    20, 20);
    QVERIFY(c);
    QCOMPARE(c->Composition().Mode, RenderMode::CompositeWithMask);
    const QImage f2 = showFrame(*c, 2, 20, 20);
    QCOMPARE(f2.pixel(10, 10), kGreen);
    c->setAction(3);
    const QImage img = renderControl(*c, 20, 20);
    QCOMPARE(qAlpha(img.pixel(10, 10)), 0); // transparent, not the GIF's background
    QCOMPARE(qAlpha(img.pixel(5, 5)), 0);
    QCOMPARE(img.pixel(4, 4), kRed);
    QCOMPARE(img.pixel(15, 15), kRed);
    // With BackStyle 1 the control's BackColor shows there.
    c->setBackStyle(1);
    c->setBackColor(0xFF0000); // blue in 0x00BBGGRR
    const QImage opaque = showFrame(*c, 3, 20, 20);
    QCOMPARE(opaque.pixel(10, 10), kBlue);
}

void TestAnigifComposition::disposal3RestoresPrevious() {
    TestFrame f3 = frameWith(0, 0, 1, 1, 7);
    f3.transparent = true;
    f3.transparentIndex = 7;
    auto c = makeControl(buildGif(20, 20, kTable,
                                  {frameWith(0, 0, 20, 20, 1, 1), frameWith(0, 0, 10, 10, 2, 1),
                                   frameWith(5, 5, 10, 10, 3, 3), f3}),
                         20, 20);
    QVERIFY(c);
    const QImage f3img = showFrame(*c, 3, 20, 20);
    QCOMPARE(f3img.pixel(7, 7), kBlue);
    c->setAction(3);
    const QImage img = renderControl(*c, 20, 20);
    QCOMPARE(img.pixel(7, 7), kGreen); // what frame 2 left there
    QCOMPARE(img.pixel(12, 12), kRed); // what frame 1 left there
    QCOMPARE(img.pixel(2, 2), kGreen);
}

void TestAnigifComposition::allDisposal2PaintsFrameByFrame() {
    auto c = makeControl(
        buildGif(10, 10, kTable, {frameWith(0, 0, 10, 10, 1, 2), frameWith(0, 0, 5, 5, 2, 2)}), 10,
        10);
    QVERIFY(c);
    QCOMPARE(c->Composition().Mode, RenderMode::Direct);
    QVERIFY(!c->Composition().HasComposite());
    const QImage img = showFrame(*c, 2, 10, 10);
    QCOMPARE(img.pixel(2, 2), kGreen);
    QCOMPARE(qAlpha(img.pixel(7, 7)), 0); // frame 2 alone
}

void TestAnigifComposition::blackWhereNoFrameHasDrawn() {
    auto c = makeControl(
        buildGif(10, 10, kTable, {frameWith(0, 0, 5, 5, 1, 1), frameWith(5, 5, 5, 5, 2, 1)}), 10,
        10);
    QVERIFY(c);
    QCOMPARE(c->Composition().Mode, RenderMode::Composite);
    const QImage one = showFrame(*c, 1, 10, 10);
    QCOMPARE(one.pixel(2, 2), kRed);
    QCOMPARE(one.pixel(7, 7), kBlack);
    QCOMPARE(one.pixel(7, 2), kBlack);
    c->setAction(3);
    const QImage two = renderControl(*c, 10, 10);
    QCOMPARE(two.pixel(2, 2), kRed);
    QCOMPARE(two.pixel(7, 7), kGreen);
    QCOMPARE(two.pixel(2, 7), kBlack);
}

void TestAnigifComposition::transparencyInComposite() {
    TestFrame f2 = frameWith(0, 0, 4, 1, 2);
    f2.pixels = {2, 6, 6, 3};
    f2.transparent = true;
    f2.transparentIndex = 6;
    auto c = makeControl(buildGif(4, 1, kTable, {frameWith(0, 0, 4, 1, 1, 1), f2}), 4, 1);
    QVERIFY(c);
    const QImage img = showFrame(*c, 2, 4, 1);
    QCOMPARE(img.pixel(0, 0), kGreen);
    QCOMPARE(img.pixel(1, 0), kRed);
    QCOMPARE(img.pixel(2, 0), kRed);
    QCOMPARE(img.pixel(3, 0), kBlue);
}

void TestAnigifComposition::stretch1DirectAndComposite() {
    // Direct mode (one frame): the frame is drawn 200 x 100 at the left.
    {
        auto c = makeControl(buildGif(100, 50, kTable, {frameWith(0, 0, 100, 50, 1)}), 300, 100, 1);
        QVERIFY(c);
        QCOMPARE(c->Composition().ZoomX, 2.0f);
        QCOMPARE(c->Composition().ZoomY, 2.0f);
        QCOMPARE(c->size(), QSize(300, 100)); // no AutoSize: unchanged
        const QImage img = renderControl(*c, 300, 100);
        QCOMPARE(img.pixel(10, 10), kRed);
        QCOMPARE(img.pixel(199, 99), kRed);
        QCOMPARE(qAlpha(img.pixel(205, 50)), 0);
    }
    // Composite mode: the composite is stretched onto the whole control.
    {
        auto c =
            makeControl(buildGif(100, 50, kTable,
                                 {frameWith(0, 0, 100, 50, 1, 1), frameWith(0, 0, 10, 10, 2, 1)}),
                        300, 100, 1);
        QVERIFY(c);
        QCOMPARE(c->Composition().Mode, RenderMode::Composite);
        const QImage img = renderControl(*c, 300, 100);
        QCOMPARE(img.pixel(250, 50), kRed);
        QCOMPARE(img.pixel(299, 99), kRed);
        // Enlarged pixels are repeated, never blended: the 10 x 10 square of
        // frame 2 becomes 30 x 20 with sharp edges.
        const QImage second = showFrame(*c, 2, 300, 100);
        QCOMPARE(second.pixel(29, 19), kGreen);
        QCOMPARE(second.pixel(30, 19), kRed);
        QCOMPARE(second.pixel(29, 20), kRed);
    }
}

void TestAnigifComposition::stretch3() {
    const QByteArray gif = buildGif(100, 50, kTable, {frameWith(0, 0, 100, 50, 1)});
    auto big = makeControl(gif, 300, 200, 3);
    QVERIFY(big);
    QCOMPARE(big->Composition().ZoomX, 1.0f);
    auto small = makeControl(gif, 50, 40, 3);
    QVERIFY(small);
    QCOMPARE(small->Composition().ZoomX, 0.5f);
    QCOMPARE(small->Composition().ZoomY, 0.5f);
    const QImage img = renderControl(*small, 50, 40);
    QCOMPARE(img.pixel(40, 20), kRed);
    QCOMPARE(qAlpha(img.pixel(40, 30)), 0);
    // Stretch 2: each direction on its own.
    auto two = makeControl(gif, 300, 100, 2);
    QVERIFY(two);
    QCOMPARE(two->Composition().ZoomX, 3.0f);
    QCOMPARE(two->Composition().ZoomY, 2.0f);
}

void TestAnigifComposition::stretch4ResizesWithoutAutoSize() {
    auto c = makeControl(buildGif(100, 50, kTable, {frameWith(0, 0, 100, 50, 1)}), 300, 200, 4);
    QVERIFY(c);
    QVERIFY(!c->AutoSize());
    QCOMPARE(c->size(), QSize(100, 50));
    QCOMPARE(c->Composition().ZoomX, 1.0f);
}

void TestAnigifComposition::autoSizeFitsControl() {
    auto c = makeControl(buildGif(100, 50, kTable, {frameWith(0, 0, 100, 50, 1)}), 300, 300, 1);
    QVERIFY(c);
    QCOMPARE(c->size(), QSize(300, 300));
    c->setAutoSize(true);
    QCOMPARE(c->size(), QSize(300, 150));
    QCOMPARE(c->Stretch(), 1);
}

void TestAnigifComposition::offsets() {
    // Direct mode zoomed: the offset is zoomed too.
    auto c = makeControl(buildGif(10, 10, kTable, {frameWith(0, 0, 10, 10, 1)}), 20, 20, 1);
    QVERIFY(c);
    QCOMPARE(c->Composition().ZoomX, 2.0f);
    c->setOffsetX(3);
    c->setOffsetY(1);
    QImage img = renderControl(*c, 40, 40);
    QCOMPARE(qAlpha(img.pixel(5, 5)), 0);
    QCOMPARE(img.pixel(6, 2), kRed);
    QCOMPARE(img.pixel(25, 21), kRed);
    // Composite mode: offsets are not zoomed.
    auto m = makeControl(
        buildGif(10, 10, kTable, {frameWith(0, 0, 10, 10, 1, 1), frameWith(0, 0, 2, 2, 2, 1)}), 10,
        10, 0);
    QVERIFY(m);
    m->setOffsetX(4);
    img = showFrame(*m, 2, 20, 20);
    QCOMPARE(qAlpha(img.pixel(3, 0)), 0);
    QCOMPARE(img.pixel(4, 0), kGreen);
    QCOMPARE(img.pixel(6, 0), kRed);
}

void TestAnigifComposition::backStyleFillsImageExtent() {
    TestFrame f = frameWith(2, 2, 2, 2, 1);
    f.transparent = true;
    f.transparentIndex = 1;
    auto c = makeControl(buildGif(4, 4, kTable, {f}), 8, 8);
    QVERIFY(c);
    c->setBackStyle(1);
    c->setBackColor(0x0000FF); // red in 0x00BBGGRR
    const QImage img = renderControl(*c, 8, 8);
    QCOMPARE(img.pixel(0, 0), kRed);      // the image's extent is filled
    QCOMPARE(img.pixel(3, 3), kRed);      // transparent frame pixels show it
    QCOMPARE(qAlpha(img.pixel(6, 6)), 0); // beyond the image: not filled
    // An invalid colour is refused; the old one stays.
    c->setBackColor(0x05000000);
    QCOMPARE(c->BackColor(), 0x0000FF);
    c->setBackColor(ucAniGIF::kSystemButtonFace);
    QCOMPARE(c->BackColor(), ucAniGIF::kSystemButtonFace);
}

void TestAnigifComposition::mirroring() {
    TestFrame f1 = frameWith(0, 0, 100, 10, 1, 1);
    TestFrame f2 = frameWith(10, 0, 20, 10, 2, 1);
    for (int x = 0; x < 20; ++x) {
        f2.pixels[static_cast<std::size_t>(x)] = x < 5 ? 3 : 2; // first row: blue then green
    }
    auto c = makeControl(buildGif(100, 10, kTable, {f1, f2}), 100, 10);
    QVERIFY(c);
    c->setMirrored(1);
    QCOMPARE(c->Mirrored(), 1);
    QCOMPARE(c->Gif().Frame(2).Left, 70);
    const QImage img = showFrame(*c, 2, 100, 10);
    QCOMPARE(img.pixel(89, 0), kBlue); // the blue run now ends the frame
    QCOMPARE(img.pixel(85, 0), kBlue);
    QCOMPARE(img.pixel(84, 0), kGreen);
    QCOMPARE(img.pixel(70, 0), kGreen);
    QCOMPARE(img.pixel(69, 0), kRed);
    // Top-bottom as well (style 3), and back to 0.
    c->setMirrored(3);
    QCOMPARE(c->Gif().Frame(2).Left, 70);
    QCOMPARE(c->Gif().Frame(2).Top, 0);
    c->setMirrored(0);
    QCOMPARE(c->Gif().Frame(2).Left, 10);
    c->setMirrored(5); // ignored
    QCOMPARE(c->Mirrored(), 0);

    // The stored style applies to a GIF loaded later.
    ucAniGIF later;
    later.resize(100, 10);
    later.setStretch(0);
    later.setDelayAnimation(0);
    later.setMirrored(1);
    QVERIFY(later.LoadAnimatedGIF_Array(buildGif(100, 10, kTable, {f1, f2})));
    QCOMPARE(later.Gif().Frame(2).Left, 70);
    QCOMPARE(later.Gif().Frame(1).Left, 0);
}

void TestAnigifComposition::mirroringFlipsComposite() {
    TestFrame f2 = frameWith(3, 0, 1, 1, 1, 1);
    f2.transparent = true;
    f2.transparentIndex = 1;
    auto c = makeControl(buildGif(4, 1, kTable, {frameWith(0, 0, 2, 1, 2, 1), f2}), 4, 1);
    QVERIFY(c);
    QCOMPARE(c->Composition().Mode, RenderMode::CompositeWithMask);
    QImage img = showFrame(*c, 2, 4, 1);
    QCOMPARE(img.pixel(0, 0), kGreen);
    QCOMPARE(qAlpha(img.pixel(3, 0)), 0);
    c->setMirrored(1);
    img = renderControl(*c, 4, 1); // frame 2 again, over the flipped composite
    QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
    QCOMPARE(img.pixel(3, 0), kGreen);
}

void TestAnigifComposition::getPaletteWithoutGlobalTable() {
    TestFrame f = frameWith(0, 0, 1, 1, 1);
    f.localTable = {0x112233, 0x445566};
    TestFrame g2 = frameWith(0, 0, 1, 1, 0);
    g2.localTable = {0x010203, 0x040506, 0x070809};
    auto c = makeControl(buildGif(1, 1, {}, {f, g2}), 1, 1);
    QVERIFY(c);
    QList<uint32_t> entries = {1, 2, 3};
    QVERIFY(c->GetPalette(0, entries));
    QCOMPARE(entries.size(), 0);
    QVERIFY(c->GetPalette(1, entries));
    QCOMPARE(entries, (QList<uint32_t>{0x112233, 0x445566}));
    QVERIFY(c->GetPalette(2, entries));
    QCOMPARE(entries.size(), 4);
    QVERIFY(!c->GetPalette(3, entries));
    QVERIFY(!c->GetPalette(-1, entries));

    auto g = makeControl(
        buildGif(1, 1, kTable, {frameWith(0, 0, 1, 1, 1), frameWith(0, 0, 1, 1, 1)}), 1, 1);
    QVERIFY(g);
    QVERIFY(g->GetPalette(0, entries));
    QCOMPARE(entries.size(), 8);
    QCOMPARE(entries[1], 0xFF0000u);
    QVERIFY(!g->GetPalette(1, entries)); // frame 1 uses the global table

    ucAniGIF empty;
    QVERIFY(!empty.GetPalette(0, entries));
}

void TestAnigifComposition::setPaletteShowsAtOnce() {
    auto c = makeControl(buildGif(2, 2, kTable, {frameWith(0, 0, 2, 2, 1)}), 2, 2);
    QVERIFY(c);
    QCOMPARE(renderControl(*c, 2, 2).pixel(0, 0), kRed);
    QList<uint32_t> entries;
    QVERIFY(c->GetPalette(0, entries));
    entries[1] = 0x00FF00;
    QVERIFY(c->SetPalette(0, &entries));
    QCOMPARE(renderControl(*c, 2, 2).pixel(0, 0), kGreen);
    // A short or missing array changes nothing.
    QList<uint32_t> shortList = {0x123456};
    QVERIFY(!c->SetPalette(0, &shortList));
    QVERIFY(!c->SetPalette(0, nullptr));
    QCOMPARE(renderControl(*c, 2, 2).pixel(0, 0), kGreen);
    QVERIFY(!c->SetPalette(1, &entries)); // frame 1 has no local table
    // The values are kept as set; painting uses their low 24 bits.
    entries[1] = 0xAB0000FFu;
    QVERIFY(c->SetPalette(0, &entries));
    QList<uint32_t> back;
    QVERIFY(c->GetPalette(0, back));
    QCOMPARE(back, entries);
    QCOMPARE(renderControl(*c, 2, 2).pixel(0, 0), kBlue);
}

void TestAnigifComposition::cacheAndRestoreColorTables() {
    auto c = makeControl(buildGif(2, 2, kTable, {frameWith(0, 0, 2, 2, 1)}), 2, 2);
    QVERIFY(c);
    QVERIFY(!c->RestoreColorTables(false));
    QVERIFY(c->CacheColorTables());
    QVERIFY(!c->CacheColorTables());
    QList<uint32_t> entries;
    QVERIFY(c->GetPalette(0, entries));
    entries[1] = 0x0000FF;
    QVERIFY(c->SetPalette(0, &entries));
    QCOMPARE(renderControl(*c, 2, 2).pixel(0, 0), kBlue);
    QVERIFY(c->RestoreColorTables(false));
    QCOMPARE(renderControl(*c, 2, 2).pixel(0, 0), kRed);
    QVERIFY(c->RestoreColorTables(true));
    QVERIFY(!c->RestoreColorTables(true));
    // Loading another GIF discards the cache.
    QVERIFY(c->CacheColorTables());
    QVERIFY(c->LoadAnimatedGIF_Array(buildGif(2, 2, kTable, {frameWith(0, 0, 2, 2, 2)})));
    QVERIFY(!c->RestoreColorTables(true));
}

void TestAnigifComposition::staleColourTableEntries() {
    // Frame 2 has a 2-entry local table and uses index 5: only the first 2
    // entries of the strip's colour table are replaced, so index 5 shows
    // the entry frame 1's 8-entry table left there (yellow).
    TestFrame f2 = frameWith(0, 0, 2, 1, 1, 1);
    f2.pixels = {1, 5};
    f2.localTable = {0x000000, 0x00FFFF};
    auto c = makeControl(buildGif(2, 1, kTable, {frameWith(0, 0, 2, 1, 1, 1), f2}), 2, 1);
    QVERIFY(c);
    const QImage img = showFrame(*c, 2, 2, 1);
    QCOMPARE(img.pixel(0, 0), qRgb(0, 255, 255));
    QCOMPARE(img.pixel(1, 0), kYellow);
}

void TestAnigifComposition::opaqueFrameAfterTransparentFrameKeepsItsColours() {
    // Frame 2 is transparent at index 5 (yellow), which frame 1 uses: when
    // the animation wraps to frame 1, index 5 must be yellow again, not the
    // black the transparent copy put into the strip's colour table.
    TestFrame f1 = frameWith(0, 0, 4, 1, 5, 1);
    TestFrame f2 = frameWith(1, 0, 2, 1, 5, 1);
    f2.pixels = {5, 2};
    f2.transparent = true;
    f2.transparentIndex = 5;
    for (int mode : {0, 1}) { // composite without mask; direct (all disposal 2)
        TestFrame a = f1;
        TestFrame b = f2;
        if (mode == 1) {
            a.disposal = 2;
            b.disposal = 2;
        }
        auto c = makeControl(buildGif(4, 1, kTable, {a, b}), 4, 1);
        QVERIFY(c);
        QCOMPARE(c->Composition().Mode, mode == 0 ? RenderMode::Composite : RenderMode::Direct);
        QImage img = showFrame(*c, 2, 4, 1);
        QCOMPARE(img.pixel(2, 0), kGreen);
        c->setAction(3); // wraps to frame 1
        img = renderControl(*c, 4, 1);
        QCOMPARE(img.pixel(0, 0), kYellow);
        QCOMPARE(img.pixel(1, 0), kYellow);
    }
}

void TestAnigifComposition::designTimeOutline() {
    ucAniGIF c;
    c.setDesignTime(true);
    c.resize(50, 50);
    c.setBackStyle(1);
    c.setBackColor(0xFFFFFF);
    QVERIFY(c.LoadAnimatedGIF_Array(buildGif(10, 6, kTable, {frameWith(0, 0, 10, 6, 1)})));
    // At design time the control takes the image's own size.
    QCOMPARE(c.size(), QSize(10, 6));
    const QImage img = renderControl(c, 10, 6);
    QCOMPARE(img.pixel(0, 0), kBlack); // dotted outline
    QCOMPARE(img.pixel(5, 3), kRed);
}

void TestAnigifComposition::paintOnlyShowsComposedFrame() {
    // Frame 2 (disposal 2) is half transparent over frame 1: every paint of
    // it, whatever asks for one, shows frame 1 through its transparent half;
    // its disposal applies only when frame 3 begins.
    TestFrame f2 = frameWith(0, 0, 4, 1, 2, 2);
    f2.pixels = {2, 7, 7, 2};
    f2.transparent = true;
    f2.transparentIndex = 7;
    TestFrame f3 = frameWith(0, 0, 4, 1, 7, 1);
    f3.transparent = true;
    f3.transparentIndex = 7;
    auto c = makeControl(buildGif(4, 1, kTable, {frameWith(0, 0, 4, 1, 1, 1), f2, f3}), 4, 1);
    QVERIFY(c);
    QCOMPARE(c->Composition().Mode, RenderMode::CompositeWithMask);
    c->setAction(3);
    QCOMPARE(c->Composition().ComposedFrame(), 2);
    auto check = [&](const char* after) {
        const QImage img = renderControl(*c, 4, 1);
        QVERIFY2(img.pixel(0, 0) == kGreen && img.pixel(1, 0) == kRed && img.pixel(2, 0) == kRed &&
                     img.pixel(3, 0) == kGreen,
                 after);
    };
    check("first paint");
    check("second paint");
    c->Refresh();
    check("Refresh");
    c->setOffsetX(0); // paused: repaints
    check("OffsetX");
    QList<uint32_t> entries;
    QVERIFY(c->GetPalette(0, entries));
    QVERIFY(c->SetPalette(0, &entries));
    check("SetPalette");
    c->setStretch(2);
    c->setStretch(0);
    check("Stretch");
    c->resize(8, 2);
    c->resize(4, 1);
    check("resize");
    QCOMPARE(c->CurrentFrame(), 2);
    // Frame 3 (all transparent) begins: frame 2's area is cleared first.
    c->setAction(3);
    const QImage three = renderControl(*c, 4, 1);
    for (int x = 0; x < 4; ++x) {
        QCOMPARE(qAlpha(three.pixel(x, 0)), 0);
    }

    // A palette change recolours the frame shown, also in the composite.
    auto p = makeControl(buildGif(4, 1, kTable, {frameWith(0, 0, 4, 1, 1, 1), f2, f3}), 4, 1);
    QVERIFY(p);
    p->setAction(3);
    QVERIFY(p->GetPalette(0, entries));
    entries[2] = 0x0000FF;
    QVERIFY(p->SetPalette(0, &entries));
    QCOMPARE(renderControl(*p, 4, 1).pixel(0, 0), kBlue);
    QCOMPARE(renderControl(*p, 4, 1).pixel(1, 0), kRed);
}

void TestAnigifComposition::framesAdvancedUnpaintedAreComposed() {
    // Each frame adds one column: after frame 4 the composite holds all four,
    // whether or not anything was painted on the way.
    std::vector<TestFrame> frames = {frameWith(0, 0, 4, 1, 1, 1)};
    for (int k = 1; k < 4; ++k) {
        TestFrame f = frameWith(k, 0, 1, 1, static_cast<uint8_t>(1 + k), 1);
        f.delayCs = 1;
        frames.push_back(f);
    }
    frames[0].delayCs = 1;
    const QByteArray gif = buildGif(4, 1, kTable, frames, 1);
    const QList<QRgb> want = {kRed, kGreen, kBlue, qRgb(255, 255, 255)};
    auto shows = [&](ucAniGIF& c) {
        const QImage img = renderControl(c, 4, 1);
        for (int x = 0; x < 4; ++x) {
            if (img.pixel(x, 0) != want[x]) {
                return false;
            }
        }
        return true;
    };

    // Stepping without painting.
    auto s = makeControl(gif, 4, 1);
    QVERIFY(s);
    s->setAction(3);
    s->setAction(3);
    s->setAction(3);
    QVERIFY(shows(*s));

    // Playing while never shown (the clock runs, Qt paints nothing).
    ucAniGIF hidden;
    hidden.resize(4, 1);
    hidden.setStretch(0);
    hidden.setMinFrameDelay(10);
    QSignalSpy ended(&hidden, &ucAniGIF::LoopsEnded);
    QVERIFY(hidden.LoadAnimatedGIF_Array(gif));
    QVERIFY(ended.wait(5000));
    QCOMPARE(hidden.CurrentFrame(), 4);
    QVERIFY(shows(hidden));

    // Shown, hidden within the 20 ms deferral, shown again later.
    QWidget form;
    form.resize(20, 20);
    auto* c = new ucAniGIF(&form);
    c->setGeometry(0, 0, 4, 1);
    c->setStretch(0);
    c->setMinFrameDelay(10);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy cEnded(c, &ucAniGIF::LoopsEnded);
    QVERIFY(c->LoadAnimatedGIF_Array(gif));
    QVERIFY(c->DeferredDecodePending());
    c->hide(); // Action 2: the deferred decode runs, then the pause
    QVERIFY(!c->DeferredDecodePending());
    QCOMPARE(c->Action(), 2);
    QCOMPARE(c->TimerIdentity(), 0);
    QTest::qWait(60);
    QCOMPARE(c->CurrentFrame(), 1);
    c->show();
    QCOMPARE(c->Action(), 1);
    QVERIFY(cEnded.wait(5000));
    QVERIFY(shows(*c));
    const QImage shot =
        form.grab(QRect(0, 0, 4, 1)).toImage().convertToFormat(QImage::Format_RGB32);
    for (int x = 0; x < 4; ++x) {
        QCOMPARE(shot.pixel(x, 0), want[x]);
    }
}

void TestAnigifComposition::directModeConvertsWithinCap() {
    // Every frame has disposal 2 (direct mode): a paint converts no more of
    // a frame than the composite's cap, however large the frame.
    TestFrame big = frameWith(0, 0, 400, 200, 1, 2);
    for (int y = 0; y < 200; ++y) {
        std::fill_n(big.pixels.begin() + y * 400 + 200, 200, uint8_t(2)); // right half green
    }
    const QByteArray gif = buildGif(400, 200, kTable, {big, frameWith(0, 0, 4, 4, 3, 2)});
    const qint64 cap = 10000;

    // Zoomed out (0.1): the whole frame shows, more than the cap.
    ucAniGIF c;
    c.setMaxCompositePixels(cap);
    c.resize(40, 40);
    c.setDelayAnimation(0);
    QVERIFY(c.LoadAnimatedGIF_Array(gif));
    c.setAction(0);
    QCOMPARE(c.Composition().Mode, RenderMode::Direct);
    QCOMPARE(c.Composition().ZoomX, 0.1f);
    QImage img = renderControl(c, 40, 40);
    QVERIFY(c.Composition().ScratchPixels() <= cap);
    QCOMPARE(img.pixel(5, 10), kRed);
    QCOMPARE(img.pixel(35, 10), kGreen);
    QCOMPARE(img.pixel(0, 0), kRed);
    QCOMPARE(img.pixel(39, 19), kGreen);
    QCOMPARE(qAlpha(img.pixel(20, 25)), 0);

    // Not zoomed: only the visible part is converted.
    ucAniGIF d;
    d.setStretch(0);
    d.resize(40, 40);
    d.setDelayAnimation(0);
    QVERIFY(d.LoadAnimatedGIF_Array(gif));
    d.setAction(0);
    d.setOffsetX(-190);
    img = renderControl(d, 40, 40);
    QVERIFY(d.Composition().ScratchPixels() < 50 * 50);
    QCOMPARE(img.pixel(0, 0), kRed);
    QCOMPARE(img.pixel(9, 39), kRed);
    QCOMPARE(img.pixel(10, 0), kGreen);
    QCOMPARE(img.pixel(39, 39), kGreen);
}

QTEST_MAIN(TestAnigifComposition)
#include "test_anigif_composition.moc"
