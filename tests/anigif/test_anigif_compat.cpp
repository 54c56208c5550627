// The compatibility surface: design time, the picture property,
// persistence, mouse events, help strings and the other properties.

#include "AnigifControlTest.h"

using namespace anigiftest;

void TestAnigifControl::designTime() {
    ucAniGIF c;
    c.setDesignTime(true);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    QCOMPARE(c.FrameCount(), 3);
    QCOMPARE(c.Gif().FrameStrip.size(), QSize(4, 4)); // frame 1 only
    QCOMPARE(c.Action(), 0);
    QCOMPARE(c.TimerIdentity(), 0);
    QVERIFY(!c.Gif().GifBytes.isEmpty()); // kept for saving
    anigif::PropertyBag bag;
    c.WriteProperties(bag);
    QCOMPARE(bag.ReadProperty("GIF").toByteArray(), animation(3));
    QCOMPARE(c.size(), QSize(4, 4));
}

void TestAnigifControl::animatedGifProperty() {
    ucAniGIF c;
    c.setDelayAnimation(0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(3)));
    c.setAction(3);
    const anigif::GifPicture p = c.AnimatedGIF();
    QVERIFY(!p.isNull());
    QCOMPARE(p.image.size(), QSize(4, 4));
    QCOMPARE(p.image.convertToFormat(QImage::Format_RGB32).pixel(1, 1), qRgb(0, 255, 0));
    QCOMPARE(p.gif.left(6), QByteArray("GIF89a"));
    // At run time an assignment does nothing.
    c.setAnimatedGIF(anigif::GifPicture{});
    QCOMPARE(c.FrameCount(), 3);

    ucAniGIF d;
    d.setDesignTime(true);
    QSignalSpy changed(&d, &ucAniGIF::PropertyChanged);
    d.setAnimatedGIF(p);
    QCOMPARE(d.FrameCount(), 1);
    QCOMPARE(changed.last().at(0).toString(), QStringLiteral("AnimatedGIF"));
    d.setAnimatedGIF(anigif::GifPicture{});
    QCOMPARE(d.FrameCount(), 0);
}

void TestAnigifControl::persistedStretch9() {
    ucAniGIF c;
    anigif::PropertyBag bag;
    bag.WriteProperty("GIF", animation(2));
    bag.WriteProperty("Stretch", 9);
    c.ReadProperties(bag);
    QCOMPARE(c.Stretch(), 1);
    QVERIFY(c.AutoSize());
}

void TestAnigifControl::persistenceRoundTrip() {
    // Defaults are not stored; the order of writing is fixed.
    ucAniGIF plain;
    anigif::PropertyBag bag;
    plain.WriteProperties(bag);
    QCOMPARE(bag.keys(), QStringList{"GIF"});

    ucAniGIF c;
    c.setDesignTime(true);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(2, 3)));
    c.setMinFrameDelay(70);
    c.setStretch(2);
    c.setAutoSize(true);
    c.setLoops(40000);
    c.setDelayAnimation(3);
    c.setMirrored(2);
    c.setMousePointer(2);
    c.setEnabled(false);
    c.setOffsetX(5);
    c.setOffsetY(-4);
    c.setBackColor(0x123456);
    c.setBackStyle(1);
    c.setSteppedDelay(33);
    bag.clear();
    c.WriteProperties(bag);
    QCOMPARE(bag.keys(),
             (QStringList{"GIF", "Delay", "Stretch", "Loops", "DelayLoad", "Mirror", "MousePointer",
                          "Enabled", "OffsetX", "OffsetY", "BkgFill", "BkgUsed", "StepDelay"}));
    QCOMPARE(bag.ReadProperty("Stretch").toInt(), 10);

    ucAniGIF r;
    r.setDesignTime(true);
    r.ReadProperties(bag);
    QCOMPARE(r.FrameCount(), 2);
    QCOMPARE(r.MinFrameDelay(), 70);
    QCOMPARE(r.Stretch(), 2);
    QVERIFY(r.AutoSize());
    QCOMPARE(r.Loops(), 40000); // the stored count overrides the file's 3
    QCOMPARE(r.DelayAnimation(), 3);
    QCOMPARE(r.Mirrored(), 2);
    QCOMPARE(r.MousePointer(), 2);
    QVERIFY(!r.Enabled());
    QCOMPARE(r.OffsetX(), 5);
    QCOMPARE(r.OffsetY(), -4);
    QCOMPARE(r.BackColor(), 0x123456);
    QCOMPARE(r.BackStyle(), 1);
    QCOMPARE(r.SteppedDelay(), 33);

    // "DelayLoad" -1 reads as 1; "Loops" absent reads 0 over the file's count.
    anigif::PropertyBag old;
    old.WriteProperty("GIF", animation(2, 3));
    old.WriteProperty("DelayLoad", -1);
    ucAniGIF o;
    o.setDesignTime(true);
    o.ReadProperties(old);
    QCOMPARE(o.DelayAnimation(), 1);
    QCOMPARE(o.Loops(), 0);
}

void TestAnigifControl::mouseEvents() {
    QWidget form;
    form.resize(40, 40);
    auto* c = new ucAniGIF(&form);
    c->setGeometry(5, 5, 20, 20);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy down(c, &ucAniGIF::MouseDown);
    QSignalSpy up(c, &ucAniGIF::MouseUp);
    QSignalSpy click(c, &ucAniGIF::Click);
    QTest::mouseClick(c, Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 4));
    QCOMPARE(down.count(), 1);
    QCOMPARE(down.at(0).at(0).value<short>(), short(1));
    QCOMPARE(down.at(0).at(1).value<short>(), short(1));
    QCOMPARE(down.at(0).at(2).toFloat(), 3.0f);
    QCOMPARE(down.at(0).at(3).toFloat(), 4.0f);
    QCOMPARE(up.count(), 1);
    QCOMPARE(click.count(), 1);
    QTest::mouseClick(c, Qt::RightButton, Qt::ControlModifier, QPoint(1, 1));
    QCOMPARE(down.at(1).at(0).value<short>(), short(2));
    QCOMPARE(down.at(1).at(1).value<short>(), short(2));
    QCOMPARE(click.count(), 1);
}

void TestAnigifControl::helpStrings() {
    QCOMPARE(ucAniGIF::HelpString("Loops"),
             QStringLiteral("The number of loops that will occur before animation stops. Zero "
                            "will loop infintely"));
    QCOMPARE(ucAniGIF::HelpString("DelayAnimation"),
             QStringLiteral("During runtime, animation is paused until the first frame is "
                            "loaded and displayed"));
    QCOMPARE(ucAniGIF::HelpString("LoadAnimatedGIF_Remote"),
             QStringLiteral("Optional method to assign a GIF"));
    QCOMPARE(ucAniGIF::HelpString("CacheColorTables"),
             QStringLiteral("Have control save GIF color tables in preparation of callig "
                            "SetPalette and later restoring original palette"));
    QCOMPARE(ucAniGIF::HelpString("Refresh"),
             QStringLiteral("Forces a complete repaint of a object"));
    QCOMPARE(ucAniGIF::HelpString("NoSuchMember"), QString());
}

void TestAnigifControl::otherProperties() {
    ucAniGIF c;
    QSignalSpy changed(&c, &ucAniGIF::PropertyChanged);
    c.setDelayAnimation(5);
    QCOMPARE(c.DelayAnimation(), 1);
    c.setDelayAnimation(0);
    QCOMPARE(c.DelayAnimation(), 0);
    c.setBackStyle(2);
    QCOMPARE(c.BackStyle(), 0);
    c.setFrameCount(7);
    QCOMPARE(c.FrameCount(), 0);
    QVERIFY(c.LoadAnimatedGIF_Array(animation(2)));
    QCOMPARE(c.ActualWidth(), 4);
    QCOMPARE(c.ActualHeight(), 4);
    c.setMouseIcon(QPixmap(4, 4));
    c.setMousePointer(99);
    QCOMPARE(c.MousePointer(), 99);
    c.setMouseIcon(QPixmap());
    QCOMPARE(c.MousePointer(), 0);
    QStringList names;
    for (const auto& args : changed) {
        names.append(args.at(0).toString());
    }
    QCOMPARE(names.count("DelayAnimation"), 1); // 5 is ignored, 0 a change
    const qsizetype reports = changed.count();
    c.setDelayAnimation(0); // no change: nothing reported
    QCOMPARE(changed.count(), reports);
    QVERIFY(names.contains("MouseIcon"));
    QVERIFY(names.contains("MousePointer"));
    // The property system sees the control's names.
    QCOMPARE(c.property("Stretch").toInt(), 1);
    QVERIFY(c.setProperty("MinFrameDelay", 20));
    QCOMPARE(c.MinFrameDelay(), 20);
    QCOMPARE(c.property("CurrentFrame").toInt(), 1);
}
