// The cost of a page capture beyond its fixed waits (2 s + 4 s + 1 s at the
// normal timing, scaled away here), against the bare minimum the browser
// engine needs for the same page: load, render, grab, write a BMP. Run
// offscreen (as root the engine also needs QTWEBENGINE_DISABLE_SANDBOX=1):
//   QT_QPA_PLATFORM=offscreen QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
//   build/bench/download/bench_page_capture
#include "app/ShowAssembly.h"
#include "browser/Browser.h"
#include "download/PageCapture.h"
#include "platform/Dialogs.h"
#include "platform/Timing.h"
#include "shell/FormPicture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

constexpr QSize kScreen(1920, 1080);

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

// A forecast page of the usual weight: a table, styles and a picture.
QString makePage() {
    QString rows;
    for (int day = 0; day < 7; ++day) {
        rows += QStringLiteral("<tr><td>Day %1</td><td>Showers</td><td>%2 &deg;C</td></tr>")
                    .arg(day)
                    .arg(10 + day);
    }
    QImage map(800, 600, QImage::Format_RGB32);
    map.fill(QColor(40, 90, 160));
    map.save(scratch().filePath(QStringLiteral("map.png")));
    const QString html =
        QStringLiteral("<html><head><style>body{font:18px sans-serif;background:#eef}"
                       "td{padding:8px;border:1px solid #88a}</style></head><body>"
                       "<h1>Forecast</h1><img src='map.png'><table>%1</table></body></html>")
            .arg(rows);
    const QString path = scratch().filePath(QStringLiteral("page.html"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(html.toUtf8());
    }
    return QUrl::fromLocalFile(path).toString();
}

const QString& pageAddress() {
    static const QString address = makePage();
    return address;
}

struct Window {
    platform::ScriptedDialogs dialogs;
    std::unique_ptr<FormPicture> form;
    Window() {
        qputenv("HOME", scratch().path().toLocal8Bit());
        FormPicture::Options options;
        options.screenPixels = kScreen;
        options.dialogs = &dialogs;
        form = ShowAssembly::build(options);
        form->show();
        form->Form_Load();
        form->generalClock.stop();
    }
};

// The program's capture with its fixed waits scaled down (the load limit
// with them, still far above what this page needs); the waits themselves are
// taken off the time reported.
void BM_CapturePage(benchmark::State& state) {
    constexpr double kScale = 0.02;
    platform::setTimeScale(kScale);
    const int fixedMs = platform::scaledMs(kCaptureFirstWaitMs) +
                        platform::scaledMs(kCaptureSettleWaitMs) +
                        platform::scaledMs(kCaptureTopmostWaitMs);
    Window window;
    PageCapture& capture = window.form->pageCapture();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        capture.captureAddress = pageAddress();
        capture.CapturePage();
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (!capture.lastPageFinished() || capture.Picture_HTTP().size() != kScreen) {
            state.SkipWithError("the capture did not finish");
            break;
        }
        state.SetIterationTime(std::max(0.0, seconds - fixedMs / 1000.0));
    }
}

// The floor: the same page loaded in a bare view of the same size, grabbed and
// written as BMP.
void BM_BareLoadGrabSave(benchmark::State& state) {
    platform::setTimeScale(1.0);
    platform::BrowserView view;
    view.resize(kScreen);
    view.show();
    const QString file = scratch().filePath(QStringLiteral("bare.bmp"));
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        view.navigate(pageAddress());
        if (!view.waitForNavigation(30000)) {
            state.SkipWithError("the page did not load");
            break;
        }
        const QImage shot = view.renderAt(kScreen);
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || !shot.save(&out, "BMP") || !out.commit()) {
            state.SkipWithError("the BMP could not be written");
            break;
        }
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
}

BENCHMARK(BM_BareLoadGrabSave)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();
BENCHMARK(BM_CapturePage)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
