// The address rules of the source codes and the numbered series, which need
// neither network nor browser.
#include "download/PictureSeries.h"
#include "download/SlideSink.h"
#include "download/SourceCodes.h"
#include "platform/Dialogs.h"
#include "state/RunState.h"

#include <QtTest>

namespace {

QString town(int index) {
    static const QStringList values = {"Rome", "New+York", "ny", "us", "Naples", "Italy"};
    return values.value(index, QStringLiteral("OPTION%1").arg(index - 5));
}

} // namespace

class TestSourceRules : public QObject {
    Q_OBJECT
private slots:
    void parameterTagsAreReplaced();
    void parameterValuesAreMadeFitForAnAddress();
    void seriesAddressesAreRead();
    void seriesNumbersArePaddedAndBounded();
    void seriesFillsTheNextSlidesAndKeepsItsRow();
};

void TestSourceRules::parameterTagsAreReplaced() {
    QCOMPARE(ExpandParameters("3ttp://h/f?c=<p01>&n=<p06>", town),
             QStringLiteral("http://h/f?c=Rome&n=Italy"));
    QCOMPARE(ExpandParameters("3ttp://h/<p01>/<p01>", town), QStringLiteral("http://h/Rome/Rome"));
    QCOMPARE(ExpandParameters("3ttp://h/?a=<p14>", town), QStringLiteral("http://h/?a=OPTION8"));
    // A "<" that begins no tag, a tag out of range, and a cut tag stay as written.
    QCOMPARE(ExpandParameters("3ttp://h/?a=1<2&b=<p15>&c=<P01>&d=<p0", town),
             QStringLiteral("http://h/?a=1<2&b=<p15>&c=<P01>&d=<p0"));
    QCOMPARE(ParameterTagAt("<p10>", 0), 10);
    QCOMPARE(ParameterTagAt("x<p00>", 1), 0);
}

void TestSourceRules::parameterValuesAreMadeFitForAnAddress() {
    QCOMPARE(EncodeParameterValue(QString::fromUtf8("São Paulo")),
             QStringLiteral("S%C3%A3o%20Paulo"));
    QCOMPARE(EncodeParameterValue("New+York"), QStringLiteral("New+York"));
    QCOMPARE(EncodeParameterValue("a&b#c?d\te"), QStringLiteral("a%26b%23c%3Fd%09e"));
    QCOMPARE(EncodeParameterValue("50%"), QStringLiteral("50%"));
    const auto blanks = [](int) { return QStringLiteral("St. Moritz"); };
    QCOMPARE(ExpandParameters("3ttp://h/?t=<p01>", blanks),
             QStringLiteral("http://h/?t=St.%20Moritz"));
}

void TestSourceRules::seriesAddressesAreRead() {
    SeriesScan scan = ScanSeriesAddress("5ttp://host/map_*.png,1,1,3,2");
    QVERIFY(scan.series);
    QCOMPARE(scan.series->base, QStringLiteral("host/map_"));
    QCOMPARE(scan.series->suffix, QStringLiteral(".png"));
    QCOMPARE(SeriesNumbers(*scan.series), (QList<int>{1, 2, 3}));
    QCOMPARE(SeriesPictureAddress(*scan.series, 2), QStringLiteral("http://host/map_02.png"));

    scan = ScanSeriesAddress("5ttp://h/t_*.jpg, 10 ,-5,3,0");
    QCOMPARE(SeriesNumbers(*scan.series), (QList<int>{10, 5, 0}));

    // A missing delimiter: nothing, and how far the scan got.
    scan = ScanSeriesAddress("5ttp://host/map.png");
    QVERIFY(!scan.series);
    QCOMPARE(scan.examined, 12);
    QVERIFY(!ScanSeriesAddress("5ttp://h/m*.png,1,1").series);
    QVERIFY(!ScanSeriesAddress("5tt").series);

    QCOMPARE(ReadSeriesNumber("  42abc"), 42);
    QCOMPARE(ReadSeriesNumber(""), 0);
    QCOMPARE(ReadSeriesNumber("-7"), -7);
    QCOMPARE(ReadSeriesNumber("99999999999999999999"), std::numeric_limits<int>::max());
}

void TestSourceRules::seriesNumbersArePaddedAndBounded() {
    QCOMPARE(SeriesNumberText(7, 0), QStringLiteral("7"));
    QCOMPARE(SeriesNumberText(1234, 2), QStringLiteral("1234"));
    QCOMPARE(SeriesNumberText(-5, 3), QStringLiteral("0-5"));
    QCOMPARE(SeriesNumberText(1, 1000000).size(), kMaxSeriesWidth);

    SeriesAddress series;
    series.count = 0;
    QVERIFY(SeriesNumbers(series).isEmpty());
    series.count = -3;
    QVERIFY(SeriesNumbers(series).isEmpty());
    // The running number is 16-bit: the series ends where it would leave.
    series = SeriesAddress{};
    series.start = 32760;
    series.step = 5;
    series.count = 10;
    QCOMPARE(SeriesNumbers(series), (QList<int>{32760, 32765}));
    series.start = 40000;
    QVERIFY(SeriesNumbers(series).isEmpty());
    series.start = 0;
    series.step = 0;
    series.count = 30000;
    QCOMPARE(SeriesNumbers(series).size(), kSlideLimit);

    QCOMPARE(SlidesOfAddress("5ttp://h/m*.png,1,1,3,2", 0), 3);
    QCOMPARE(SlidesOfAddress("5ttp://h/m*.png,1,1,3,2", 1998), 2);
    QCOMPARE(SlidesOfAddress("5ttp://h/m.png", 0), 0);
    QCOMPARE(SlidesOfAddress("http://h/m.png", 0), 1);
    QCOMPARE(SlidesOfAddress("http://h/m.png", kSlideLimit), 0);
}

void TestSourceRules::seriesFillsTheNextSlidesAndKeepsItsRow() {
    RunState state;
    platform::ScriptedDialogs dialogs;
    struct : PictureLoader {
        QStringList loaded;
        QList<int> slides;
        Slide Load_JPG_GIF_PNG_On_Array(const QString& address, Slide slide, SlideSink&) override {
            loaded << address;
            slides << slide.position;
            return slide;
        }
    } loader;
    struct : SlideSink {
        SlideList list;
        const SlideList& slides() const override { return list; }
        void putSlide(const Slide& slide) override { list.put(slide); }
        void loopFileWritten() override { list.loopFileWritten(); }
    } sink;
    const QStringList& loaded = loader.loaded;
    const QList<int>& slides = loader.slides;
    PictureSeries series(state, dialogs, loader);
    int marks = 0;
    QObject::connect(&series, &PictureSeries::slideFilled, [&] { ++marks; });
    sink.list.restartMap();
    sink.list.appendToMap(8); // entry 0: row 7
    sink.list.appendToMap(3); // entry 1: row 2, the series
    sink.list.appendToMap(5); // entry 2: row 4

    state.tmpStrUrl = QStringLiteral("5ttp://h/s_*.png,1,1,3,2");
    QCOMPARE(series.ExpandSeries(1, 1, sink), 3);
    QCOMPARE(loaded, (QStringList{"http://h/s_01.png", "http://h/s_02.png", "http://h/s_03.png"}));
    QCOMPARE(slides, (QList<int>{1, 2, 3}));
    QCOMPARE(marks, 3);
    // Every slide of the series carries the series' row; the entry behind it
    // keeps its own, to be placed on the next free slide.
    QCOMPARE(sink.list.at(2).catalogueRow, 2);
    QCOMPARE(sink.list.at(3).catalogueRow, 2);
    QCOMPARE(sink.list.entryId(2), int16_t(5));

    state.tmpStrUrl = QStringLiteral("5ttp://h/no-star.png,1,1,3");
    QCOMPARE(series.ExpandSeries(1, 1, sink), 0);
    QCOMPARE(dialogs.shownTexts(), QStringList{"Proc ZizozEdezuvu Error 19"});
    state.tmpStrUrl = QStringLiteral("5ttp://h/s_*.png,1,1,0,2");
    QCOMPARE(series.ExpandSeries(1, 1, sink), 0);
    QCOMPARE(loaded.size(), 3);
    // No room behind the last slide.
    state.tmpStrUrl = QStringLiteral("5ttp://h/s_*.png,1,1,5,2");
    QCOMPARE(series.ExpandSeries(1, kSlideLimit - 2, sink), 2);
}

QTEST_GUILESS_MAIN(TestSourceRules)
#include "test_source_rules.moc"
