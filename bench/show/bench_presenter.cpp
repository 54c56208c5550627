// Showing a slide: the time from ShowPicture to the painted frame, and the
// memory that loaded slides take. Run offscreen (as root the engine also
// needs QTWEBENGINE_DISABLE_SANDBOX=1):
//   QT_QPA_PLATFORM=offscreen build/bench/show/bench_presenter
#include "app/ShowAssembly.h"
#include "download/PictureLoading.h"
#include "platform/Dialogs.h"
#include "run/DownloadCycle.h"
#include "shell/FormPicture.h"
#include "show/PictureBox.h"
#include "show/Presenter.h"
#include "ui/ConfigurationPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QWindow>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

// A picture with detail everywhere, so the encoders cannot cheat.
QString makePicture(int w, int h, const char* format, int seed) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, w, h);
    gradient.setColorAt(0, QColor::fromHsv(seed * 37 % 360, 180, 220));
    gradient.setColorAt(1, QColor::fromHsv(seed * 91 % 360, 200, 90));
    painter.fillRect(image.rect(), gradient);
    for (int i = 0; i < 400; ++i) {
        painter.setPen(QColor::fromHsv((i * 13 + seed) % 360, 255, 255));
        painter.drawLine((i * 97) % w, (i * 57) % h, (i * 31) % w, (i * 71) % h);
    }
    painter.end();
    const QString path = scratch().filePath(QStringLiteral("pic-%1-%2x%3.%4")
                                                .arg(seed)
                                                .arg(w)
                                                .arg(h)
                                                .arg(QString::fromLatin1(format).toLower()));
    image.save(path, format, 90);
    return path;
}

struct Window {
    platform::ScriptedDialogs dialogs;
    std::unique_ptr<FormPicture> form;
    Window() {
        qputenv("HOME", scratch().path().toLocal8Bit());
        FormPicture::Options options;
        options.screenPixels = QSize(1920, 1080);
        options.dialogs = &dialogs;
        form = ShowAssembly::build(options);
        form->Form_Load();
        form->generalClock.stop();
        form->panel().txtDisplay->setText(QStringLiteral("Full_Screen"));
        form->show();
        // Paints reach the widgets only once the window is exposed.
        QElapsedTimer waited;
        waited.start();
        while ((form->windowHandle() == nullptr || !form->windowHandle()->isExposed()) &&
               waited.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
    }
};

Window& window() {
    static Window w;
    return w;
}

void showToPaintedFrame(benchmark::State& state, const QString& file) {
    FormPicture& form = *window().form;
    const QImage picture = decodePictureFile(file);
    const QImage other = picture.copy(); // alternate so every round shows a new slide
    bool flip = false;
    const int scaledBefore = form.fotoBrowser->scaleCount();
    for (auto _ : state) {
        form.presenter().ShowPicture(flip ? other : picture);
        form.fotoBrowser->repaint();
        flip = !flip;
    }
    state.counters["scaled_per_slide"] = benchmark::Counter(
        form.fotoBrowser->scaleCount() - scaledBefore, benchmark::Counter::kAvgIterations);
}

void BM_ShowJpeg3840x2160(benchmark::State& state) {
    static const QString file = makePicture(3840, 2160, "JPEG", 1);
    showToPaintedFrame(state, file);
}

void BM_ShowPng1024x768(benchmark::State& state) {
    static const QString file = makePicture(1024, 768, "PNG", 2);
    showToPaintedFrame(state, file);
}

// Repaints of a shown slide: no scaling, only a copy to the screen.
void BM_RepaintShownSlide(benchmark::State& state) {
    FormPicture& form = *window().form;
    form.presenter().ShowPicture(decodePictureFile(makePicture(3840, 2160, "JPEG", 3)));
    form.fotoBrowser->repaint();
    for (auto _ : state) {
        form.fotoBrowser->repaint();
    }
}

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

// 50 loaded 1920 x 1080 slides, each held by the slide table, the thumbnail
// and (for the last) the picture box, against 50 times their decoded size.
void BM_FiftySlidesMemory(benchmark::State& state) {
    FormPicture& form = *window().form;
    QStringList files;
    for (int i = 0; i < 50; ++i) {
        files.append(makePicture(1920, 1080, "JPEG", 10 + i));
    }
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 50; ++i) {
            Slide empty = form.cycles().slides().at(i);
            empty.picture = QImage();
            form.cycles().putSlide(empty);
        }
        form.Miniatura->clear();
        form.fotoBrowser->clear();
        const long before = residentKiB();
        state.ResumeTiming();
        for (int i = 0; i < 50; ++i) {
            Slide slide = form.cycles().slides().at(i);
            slide.picture = decodePictureFile(files.at(i));
            form.cycles().putSlide(slide);
            const QImage& picture = slide.picture;
            form.Miniatura->setPicture(picture);
            form.Miniatura->repaint();
        }
        form.presenter().ShowPicture(form.cycles().slides().at(49).picture);
        form.fotoBrowser->repaint();
        state.PauseTiming();
        const double decodedKiB = 50.0 * 1920 * 1080 * 4 / 1024;
        state.counters["grown_MiB"] = (residentKiB() - before) / 1024.0;
        state.counters["decoded_50x_MiB"] = decodedKiB / 1024;
        state.counters["ratio"] = (residentKiB() - before) / decodedKiB;
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_ShowJpeg3840x2160)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowPng1024x768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintShownSlide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiftySlidesMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
