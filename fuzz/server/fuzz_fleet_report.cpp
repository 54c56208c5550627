// Any screen that has a token may send the catalogue service any report
// body: it is read as a report or refused, what is kept stays within its
// bounds, and the fleet's JSON made from it is JSON that names the screen.
#include "FleetJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace skyglance::catalogue;
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    std::string problem;
    const auto report = parseFleetReport(body, problem);
    check(report.has_value() == problem.empty());
    if (!report) {
        return 0;
    }
    const std::string& jpeg = report->thumbnailJpeg;
    check(jpeg.empty() || (jpeg.size() <= kMaxThumbnailBytes && jpeg.size() >= 2 &&
                           static_cast<unsigned char>(jpeg[0]) == 0xFF &&
                           static_cast<unsigned char>(jpeg[1]) == 0xD8));
    check(report->version.size() + report->address.size() <= size * 3);
    FleetScreen screen;
    screen.last = *report;
    screen.last.name = "screen";
    screen.silent = false;
    screen.reportedAtMs = 1;
    const std::string json = fleetJson({&screen});
    const QJsonDocument back =
        QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())));
    check(back.isArray() && back.array().size() == 1 &&
          back.array().at(0).toObject().value("name").toString() == "screen");
    return 0;
}
