// The fleet store under a fleet's load, without HTTP: screens reporting on
// their schedule from many threads while the fleet page's list is read.
//
//   bench_fleet_store URL add N PREFIX     adds N screens; prints "NAME TOKEN"
//   bench_fleet_store URL load N SECONDS [INTERVAL_S [THREADS]]
//                                          adds N screens, then each reports
//                                          every INTERVAL_S (default 60) for
//                                          SECONDS, the list read every second
//   bench_fleet_store jpeg FILE            writes a 480 px wide screen JPEG
//
// URL is a postgresql:// address (scripts/start-postgres.sh starts one).
#include "FleetStore.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using skyglance::catalogue::FleetReport;
using skyglance::catalogue::FleetStore;
using Clock = std::chrono::steady_clock;

namespace {

std::int64_t unixMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Something like a weather picture: smooth colour with noise, so that the
// JPEG is as large as a real screen's (about 20 to 40 KB).
QImage screenPicture() {
    QImage image(480, 270, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 480, 270);
    sky.setColorAt(0, QColor(30, 80, 160));
    sky.setColorAt(1, QColor(200, 220, 240));
    painter.fillRect(image.rect(), sky);
    auto* random = QRandomGenerator::global();
    for (int i = 0; i < 4000; ++i) {
        painter.setPen(QColor::fromRgb(random->generate()));
        painter.drawPoint(random->bounded(480), random->bounded(270));
    }
    painter.end();
    return image;
}

class Percentiles {
public:
    void add(double ms) {
        std::lock_guard lock(mutex_);
        samples_.push_back(ms);
    }
    std::string summary() {
        std::lock_guard lock(mutex_);
        if (samples_.empty()) {
            return "no samples";
        }
        std::sort(samples_.begin(), samples_.end());
        const auto at = [&](double q) {
            return samples_[std::min(samples_.size() - 1,
                                     static_cast<std::size_t>(q * samples_.size()))];
        };
        char text[128];
        std::snprintf(text, sizeof text, "n=%zu p50=%.1f ms p99=%.1f ms max=%.1f ms",
                      samples_.size(), at(0.5), at(0.99), samples_.back());
        return text;
    }

private:
    std::mutex mutex_;
    std::vector<double> samples_;
};

std::vector<std::string> addScreens(FleetStore& store, int count, const std::string& prefix,
                                    std::vector<std::string>& tokens) {
    std::vector<std::string> names(static_cast<std::size_t>(count));
    tokens.assign(names.size(), {});
    std::atomic<int> next = 0;
    std::atomic<int> failed = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = next++; i < count; i = next++) {
                char name[64];
                std::snprintf(name, sizeof name, "%s-%05d", prefix.c_str(), i + 1);
                std::string error;
                names[i] = name;
                tokens[i] = store.addScreen(name, error);
                failed += tokens[i].empty() ? 1 : 0;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    if (failed > 0) {
        std::fprintf(stderr, "%d screens could not be added\n", failed.load());
    }
    return names;
}

int add(FleetStore& store, int count, const std::string& prefix) {
    const auto start = Clock::now();
    std::vector<std::string> tokens;
    const std::vector<std::string> names = addScreens(store, count, prefix, tokens);
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::printf("%s %s\n", names[i].c_str(), tokens[i].c_str());
    }
    std::fprintf(stderr, "added %d screens in %.0f ms\n", count, msSince(start));
    return 0;
}

struct LoadCounts {
    std::atomic<int> stored = 0;
    std::atomic<int> tooSoon = 0;
    std::atomic<int> failed = 0;
    std::atomic<int> late = 0; // stored more than a second after its turn
};

// Report j is screen j % N's (j / N)-th; the screens' turns are spread
// evenly over the interval, as a real fleet's are.
void reportOnSchedule(FleetStore& store, const std::vector<std::string>& names,
                      const std::string& jpeg, Clock::time_point start, double intervalS,
                      long total, std::atomic<long>& next, LoadCounts& counts,
                      Percentiles& latency) {
    const auto count = static_cast<long>(names.size());
    FleetReport report;
    report.version = "7.8.12";
    report.since = "2026-12-10T09:00:00Z";
    report.network = "up";
    report.thumbnailJpeg = jpeg;
    for (long j = next++; j < total; j = next++) {
        const double dueS = static_cast<double>(j / count) * intervalS +
                            static_cast<double>(j % count) * intervalS / count;
        const auto due = start + std::chrono::microseconds(static_cast<long>(dueS * 1e6));
        std::this_thread::sleep_until(due);
        report.name = names[static_cast<std::size_t>(j % count)];
        report.slide = static_cast<int>(j % 7);
        const auto sent = Clock::now();
        const FleetStore::Outcome outcome = store.storeReport(report, unixMs(), 10000);
        latency.add(msSince(sent));
        counts.late += msSince(due) > 1000 ? 1 : 0;
        (outcome == FleetStore::Outcome::Stored    ? counts.stored
         : outcome == FleetStore::Outcome::TooSoon ? counts.tooSoon
                                                   : counts.failed)++;
    }
}

int load(FleetStore& store, int count, double seconds, double intervalS, int threadCount) {
    std::vector<std::string> tokens;
    auto start = Clock::now();
    const std::vector<std::string> names = addScreens(store, count, "load", tokens);
    std::printf("added %d screens in %.0f ms\n", count, msSince(start));
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        screenPicture().save(&buffer, "JPEG", 80);
    }
    const long total = static_cast<long>(seconds / intervalS * count);
    std::atomic<long> next = 0;
    LoadCounts counts;
    Percentiles reportLatency;
    Percentiles listLatency;
    std::atomic<bool> done = false;
    start = Clock::now();
    std::thread reader([&] {
        while (!done) {
            const auto asked = Clock::now();
            const auto screens = store.screens(unixMs(), 180000);
            listLatency.add(msSince(asked));
            if (!screens || static_cast<int>(screens->size()) < count) {
                std::fprintf(stderr, "the list has %zu screens\n", screens ? screens->size() : 0);
            }
            std::this_thread::sleep_until(asked + std::chrono::seconds(1));
        }
    });
    std::vector<std::thread> workers;
    for (int t = 0; t < threadCount; ++t) {
        workers.emplace_back([&] {
            reportOnSchedule(store, names, jpeg.toStdString(), start, intervalS, total, next,
                             counts, reportLatency);
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    done = true;
    reader.join();
    const double took = msSince(start) / 1000;
    std::printf("%ld reports of %d screens every %.0f s (%.0f/s asked, %.0f/s done), "
                "%d-byte thumbnails, %d threads:\n",
                total, count, intervalS, count / intervalS, total / took,
                static_cast<int>(jpeg.size()), threadCount);
    std::printf("  stored %d, too soon %d, failed %d, more than 1 s late %d\n",
                counts.stored.load(), counts.tooSoon.load(), counts.failed.load(),
                counts.late.load());
    std::printf("  storeReport: %s\n", reportLatency.summary().c_str());
    std::printf("  screens() of %d, every second: %s\n", count, listLatency.summary().c_str());
    return counts.tooSoon + counts.failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "jpeg") {
        return screenPicture().save(QString::fromStdString(args[1]), "JPEG", 80) ? 0 : 1;
    }
    if (args.size() < 3 || (args[1] != "add" && args[1] != "load")) {
        std::fprintf(stderr,
                     "usage: %s URL add N PREFIX | URL load N SECONDS [INTERVAL_S "
                     "[THREADS]] | jpeg FILE\n",
                     argv[0]);
        return 64;
    }
    std::string error;
    const auto store = skyglance::catalogue::openPostgresFleetStore(args[0], error);
    if (!store) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const int count = std::stoi(args[2]);
    if (args[1] == "add") {
        return add(*store, count, args.size() > 3 ? args[3] : "screen");
    }
    return load(*store, count, args.size() > 3 ? std::stod(args[3]) : 120,
                args.size() > 4 ? std::stod(args[4]) : 60,
                args.size() > 5 ? std::stoi(args[5]) : 16);
}
