// Benchmarks of the animated-GIF control (not a test):
//
// 1. Decoding throughput, in one run, of our decoder (parse + LZW into the
//    8-bit strip), giflib 5.2 (DGifSlurp), Qt's own GIF reader (QImageReader,
//    every frame) and, where its release was found at build time, Wuffs
//    (every frame into one indexed canvas) on harvesters.gif (one large
//    frame), gifplayer-muybridge.gif (380 small frames), hibiscus.regular.gif
//    and bricks-dither.gif. Throughput is counted in pixel indices (the sum of
//    the frames' areas) per second.
// 2. The cost of playing: CPU time per shown frame of a 1920 x 1080 control
//    showing a synthetic radar loop (opaque full frames; transparent
//    overlays; and a smaller loop zoomed to the screen), and memory.
//
// At the end it prints the ratios (ours against giflib, Qt and Wuffs) and
// the memory notes. Compare ratios within one run: the machine is shared.

#include "anigif/GifLzw.h"
#include "anigif/ucAniGIF.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gif_lib.h>
#include <map>
#include <memory>
#include <string>
#include <sys/resource.h>
#ifdef ANIGIF_BENCH_WUFFS
#include "wuffs_reference.h"
#endif

namespace {

QByteArray readData(const char* name) {
    QFile f(QStringLiteral(ANIGIF_BENCH_DATA "/") + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_anigif: cannot read %s\n", name);
        std::exit(2);
    }
    return f.readAll();
}

const char* const kFiles[] = {"harvesters", "gifplayer-muybridge", "hibiscus.regular",
                              "bricks-dither"};
constexpr int kFileCount = 4;

const QByteArray& fileBytes(int which) {
    static std::map<int, QByteArray> cache;
    auto it = cache.find(which);
    if (it == cache.end()) {
        it = cache.emplace(which, readData((std::string(kFiles[which]) + ".gif").c_str())).first;
    }
    return it->second;
}

const char* fileName(int which) {
    return kFiles[which];
}

// The pixel indices a file holds: the sum of its frames' areas.
int64_t indexCount(const QByteArray& bytes) {
    anigif::GifDecoding g;
    g.GifBytes = bytes;
    g.ParseGif();
    int64_t total = 0;
    for (const auto& f : g.Frames) {
        total += int64_t(f.Width) * f.Height;
    }
    return total;
}

// ---------------------------------------------------------------------------
// 1. Decoding

void BM_Decode_Ours(benchmark::State& state) {
    const QByteArray& bytes = fileBytes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        anigif::GifDecoding g;
        g.GifBytes = bytes;
        const int n = g.ParseGif();
        const bool ok = g.DecodeFrames(1, n == 1) && (n == 1 || g.DecodeFrames(2, false));
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(g.FrameStrip.constBits());
    }
    state.SetBytesProcessed(state.iterations() * indexCount(bytes));
    state.SetLabel(fileName(static_cast<int>(state.range(0))));
}

struct MemoryInput {
    const uint8_t* data;
    int size;
    int pos;
};

int readMemory(GifFileType* gif, GifByteType* out, int n) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const int take = std::min(n, in->size - in->pos);
    if (take > 0) {
        std::memcpy(out, in->data + in->pos, static_cast<size_t>(take));
        in->pos += take;
    }
    return std::max(take, 0);
}

void BM_Decode_Giflib(benchmark::State& state) {
    const QByteArray& bytes = fileBytes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        MemoryInput in{reinterpret_cast<const uint8_t*>(bytes.constData()),
                       static_cast<int>(bytes.size()), 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&in, readMemory, &error);
        if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("giflib failed");
            if (gif != nullptr) {
                DGifCloseFile(gif, &error);
            }
            break;
        }
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &error);
    }
    state.SetBytesProcessed(state.iterations() * indexCount(bytes));
    state.SetLabel(fileName(static_cast<int>(state.range(0))));
}

void BM_Decode_QtReader(benchmark::State& state) {
    const QByteArray& bytes = fileBytes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "gif");
        int frames = 0;
        while (reader.canRead()) {
            const QImage image = reader.read();
            if (image.isNull()) {
                break;
            }
            benchmark::DoNotOptimize(image.constBits());
            ++frames;
        }
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(state.iterations() * indexCount(bytes));
    state.SetLabel(fileName(static_cast<int>(state.range(0))));
}

#ifdef ANIGIF_BENCH_WUFFS
void BM_Decode_Wuffs(benchmark::State& state) {
    const QByteArray& bytes = fileBytes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const int frames = wuffs_reference_decode(
            reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
        if (frames < 0) {
            state.SkipWithError("Wuffs failed");
            break;
        }
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(state.iterations() * indexCount(bytes));
    state.SetLabel(fileName(static_cast<int>(state.range(0))));
}
#endif

BENCHMARK(BM_Decode_Ours)->DenseRange(0, kFileCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_Giflib)->DenseRange(0, kFileCount - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_QtReader)->DenseRange(0, kFileCount - 1)->Unit(benchmark::kMillisecond);
#ifdef ANIGIF_BENCH_WUFFS
BENCHMARK(BM_Decode_Wuffs)->DenseRange(0, kFileCount - 1)->Unit(benchmark::kMillisecond);
#endif

// ---------------------------------------------------------------------------
// 2. Playing a radar loop

void putWord(QByteArray& out, int v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

// A synthetic radar loop: a map (smooth relief in 192 colours, with coast
// and border lines) and rain echoes (64 colours) that drift from frame to
// frame. kind 0: every frame a full opaque picture; kind 1: frame 1 the map
// with rain, later frames transparent overlays of the rain area only.
QByteArray radarLoop(int w, int h, int frames, int kind) {
    QByteArray out("GIF89a");
    putWord(out, w);
    putWord(out, h);
    out.append('\xF7');
    out.append('\0');
    out.append('\0');
    for (int i = 0; i < 256; ++i) {
        int r;
        int g;
        int b;
        if (i < 192) { // relief: green to brown to white
            r = 40 + i;
            g = 90 + i / 2;
            b = 40 + i / 3;
        } else { // rain: light blue to red
            const int t = (i - 192) * 4;
            r = t;
            g = 200 - t / 2;
            b = 255 - t;
        }
        out.append(static_cast<char>(std::min(r, 255)));
        out.append(static_cast<char>(std::min(g, 255)));
        out.append(static_cast<char>(std::min(b, 255)));
    }
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);

    std::vector<uint8_t> map(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double v = 0.5 + 0.25 * std::sin(x * 0.013) * std::cos(y * 0.017) +
                             0.2 * std::sin((x + 2 * y) * 0.004);
            int idx = static_cast<int>(v * 180.0);
            if ((x * 7 + y * 3) % 211 == 0 || std::abs((x - 3 * y / 2) % 400) < 2) {
                idx = 191; // lines
            }
            map[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(std::clamp(idx, 0, 191));
        }
    }
    auto rainAt = [&](int f, int x, int y) -> int {
        const double cx = w * 0.3 + f * w * 0.02;
        const double cy = h * 0.4 + f * h * 0.01;
        const double d = std::hypot((x - cx) / (w * 0.25), (y - cy) / (h * 0.3));
        if (d > 1.0) {
            return -1;
        }
        const double cell = 0.5 + 0.5 * std::sin(x * 0.05 + f) * std::sin(y * 0.04 - f);
        const double v = (1.0 - d) * 0.7 + cell * 0.3;
        return v < 0.25 ? -1 : 192 + static_cast<int>(v * 63.0);
    };

    std::vector<uint8_t> pixels;
    for (int f = 0; f < frames; ++f) {
        int left = 0;
        int top = 0;
        int fw = w;
        int fh = h;
        const bool overlay = kind == 1 && f > 0;
        if (overlay) {
            left = w / 20;
            top = h / 10;
            fw = w * 3 / 4;
            fh = h * 3 / 4;
        }
        pixels.assign(static_cast<size_t>(fw) * fh, 0);
        for (int y = 0; y < fh; ++y) {
            for (int x = 0; x < fw; ++x) {
                const int rain = rainAt(f, left + x, top + y);
                uint8_t v;
                if (overlay) {
                    v = rain < 0 ? 0 : static_cast<uint8_t>(rain); // 0 = transparent
                } else {
                    v = rain < 0 ? map[static_cast<size_t>(top + y) * w + left + x]
                                 : static_cast<uint8_t>(rain);
                }
                pixels[static_cast<size_t>(y) * fw + x] = v;
            }
        }
        out.append("\x21\xF9\x04", 3);
        out.append(static_cast<char>((1 << 2) | (overlay ? 1 : 0)));
        putWord(out, 25);
        out.append('\0');
        out.append('\0');
        out.append('\x2C');
        putWord(out, left);
        putWord(out, top);
        putWord(out, fw);
        putWord(out, fh);
        out.append('\0');
        out.append('\x08');
        anigif::LzwEncode8(pixels.data(), fw, fh, fw, out);
    }
    out.append('\x3B');
    return out;
}

struct LoopCase {
    const char* name;
    int w;
    int h;
    int kind;
};
const LoopCase kLoops[] = {
    {"1920x1080 full opaque frames, 1:1", 1920, 1080, 0},
    {"1920x1080 transparent overlays, 1:1", 1920, 1080, 1},
    {"960x540 full frames zoomed to 1920x1080", 960, 540, 0},
};
constexpr int kLoopFrames = 12;

const QByteArray& loopBytes(int which) {
    static std::map<int, QByteArray> cache;
    auto it = cache.find(which);
    if (it == cache.end()) {
        const LoopCase& c = kLoops[which];
        it = cache.emplace(which, radarLoop(c.w, c.h, kLoopFrames, c.kind)).first;
    }
    return it->second;
}

struct MemoryNote {
    std::string name;
    qint64 fileBytes;
    qint64 stripBytes;
    qint64 compositeBytes;
    double decodeMs;
};
std::vector<MemoryNote>& memoryNotes() {
    static std::vector<MemoryNote> notes;
    return notes;
}

void BM_PlayFrame(benchmark::State& state) {
    const int which = static_cast<int>(state.range(0));
    const QByteArray& bytes = loopBytes(which);
    // As the slide show holds it: a child of a full-screen form, zoom mode 1.
    QWidget form;
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.setGeometry(0, 0, 1920, 1080);
    auto* owned = new ucAniGIF(&form);
    ucAniGIF& control = *owned;
    control.setGeometry(0, 0, 1920, 1080);
    control.setStretch(1);
    control.setDelayAnimation(0);
    form.show();
    QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    if (!control.LoadAnimatedGIF_Array(bytes)) {
        state.SkipWithError("load failed");
        return;
    }
    const double decodeMs = t.nsecsElapsed() / 1e6;
    control.setAction(0);
    QCoreApplication::processEvents();
    // Count the paints, to be sure every step is painted.
    struct PaintCounter : QObject {
        int64_t paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    control.installEventFilter(&counter);
    for (auto _ : state) {
        control.setAction(3); // the next frame, painted at once
    }
    control.removeEventFilter(&counter);
    state.counters["paints_per_frame"] =
        static_cast<double>(counter.paints) / static_cast<double>(state.iterations());
    const auto& gif = control.Gif();
    state.counters["zoom"] = control.Composition().ZoomX;
    state.SetLabel(kLoops[which].name);
    if (memoryNotes().size() < static_cast<size_t>(which + 1)) {
        const QImage& comp = control.Composition().Composite;
        memoryNotes().push_back({kLoops[which].name, bytes.size(), gif.FrameStrip.sizeInBytes(),
                                 comp.isNull() ? 0 : comp.sizeInBytes(), decodeMs});
    }
}

BENCHMARK(BM_PlayFrame)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------
// Collects the results to print the ratios.

// Keeps each benchmark's time in ns: the median when repetitions are asked
// for (--benchmark_repetitions=N), else the single run.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> realNs;
    std::map<std::string, double> cpuNs;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.error_occurred) {
                continue;
            }
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            const bool single = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
            if (median || single) {
                const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(r.time_unit);
                realNs[r.run_name.str()] = r.GetAdjustedRealTime() * toNs;
                cpuNs[r.run_name.str()] = r.GetAdjustedCPUTime() * toNs;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // CPU time, not wall time: on a shared machine the wall time also counts
    // the waits for a core.
    std::printf("\nDecoding (CPU time per whole file; ratio > 1 means ours is faster; "
                "Wuffs 0 = not built):\n");
    for (int which = 0; which < kFileCount; ++which) {
        const std::string arg = "/" + std::to_string(which);
        const double ours = reporter.cpuNs["BM_Decode_Ours" + arg];
        const double gl = reporter.cpuNs["BM_Decode_Giflib" + arg];
        const double qt = reporter.cpuNs["BM_Decode_QtReader" + arg];
        const double wu = reporter.cpuNs["BM_Decode_Wuffs" + arg];
        if (ours <= 0) {
            continue;
        }
        const double indices = static_cast<double>(indexCount(fileBytes(which)));
        std::printf("  %-20s ours %6.3f ms (%6.1f MB/s)  giflib %6.3f  Qt %6.3f  Wuffs %6.3f ms"
                    "   giflib/ours %.2f  Qt/ours %.2f  Wuffs/ours %.2f\n",
                    fileName(which), ours / 1e6, indices / ours * 1e3, gl / 1e6, qt / 1e6, wu / 1e6,
                    gl / ours, qt / ours, wu / ours);
    }
    std::printf("\nPlaying (process CPU time per shown frame, 1920x1080 control):\n");
    for (int which = 0; which < 3; ++which) {
        const double cpu =
            reporter.cpuNs["BM_PlayFrame/" + std::to_string(which) + "/process_time"];
        if (cpu > 0) {
            // A radar loop typically shows 2 to 10 frames a second.
            std::printf("  %-42s %6.2f ms CPU per frame (%.1f%% of one core at 10 frames/s)\n",
                        kLoops[which].name, cpu / 1e6, cpu / 1e6 * 10.0 / 1000.0 * 100.0);
        }
    }
    std::printf("\nMemory (%d-frame loops; the strip holds one byte per pixel of the summed "
                "frame widths, no per-frame RGB copies):\n",
                kLoopFrames);
    for (const MemoryNote& m : memoryNotes()) {
        std::printf("  %-42s file %5.1f MB  strip %6.1f MB  composite %5.1f MB  decoded in "
                    "%.0f ms\n",
                    m.name.c_str(), m.fileBytes / 1e6, m.stripBytes / 1e6, m.compositeBytes / 1e6,
                    m.decodeMs);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("  peak resident set of this benchmark process: %.0f MB\n",
                usage.ru_maxrss / 1024.0);
    benchmark::Shutdown();
    return 0;
}
