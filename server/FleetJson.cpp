#include "FleetJson.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <tuple>

namespace skyglance::catalogue {
namespace {

// Longer texts are no report of this program's.
constexpr qsizetype kMaxShortText = 256;
constexpr qsizetype kMaxAddress = 8192;
constexpr double kMaxCount = 1e9;

bool readText(const QJsonObject& object, const char* key, qsizetype limit, std::string& out,
              std::string& problem) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined()) {
        return true;
    }
    if (!value.isString() || value.toString().size() > limit) {
        problem = std::string("\"") + key + "\" is not a text of at most " + std::to_string(limit) +
                  " characters";
        return false;
    }
    out = value.toString().toStdString();
    return true;
}

template <typename Number>
bool readWhole(const QJsonObject& object, const char* key, double low, double high, Number& out,
               std::string& problem) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined()) {
        return true;
    }
    const double number = value.toDouble(std::nan(""));
    if (!value.isDouble() || number != std::floor(number) || number < low || number > high) {
        problem = std::string("\"") + key + "\" is not a whole number in range";
        return false;
    }
    out = static_cast<Number>(number);
    return true;
}

bool readThumbnail(const QJsonObject& object, std::string& jpeg, std::string& problem) {
    const QJsonValue value = object.value(QLatin1String("thumbnail"));
    if (value.isUndefined() || (value.isString() && value.toString().isEmpty())) {
        return true;
    }
    const auto decoded = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!value.isString() || !decoded) {
        problem = "\"thumbnail\" is not base64";
        return false;
    }
    const QByteArray& bytes = *decoded;
    if (static_cast<std::size_t>(bytes.size()) > kMaxThumbnailBytes || bytes.size() < 2 ||
        static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xD8) {
        problem = "\"thumbnail\" is not a JPEG of at most 200 KiB";
        return false;
    }
    jpeg.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

bool readFields(const QJsonObject& o, FleetReport& r, std::string& problem) {
    if (!o.value("version").isString() || !o.value("lastGood").isBool()) {
        problem = "\"version\" and \"lastGood\" are needed";
        return false;
    }
    r.lastGood = o.value("lastGood").toBool();
    return readText(o, "name", kMaxShortText, r.name, problem) &&
           readText(o, "version", kMaxShortText, r.version, problem) &&
           readText(o, "since", kMaxShortText, r.since, problem) &&
           readText(o, "address", kMaxAddress, r.address, problem) &&
           readText(o, "cycleStarted", kMaxShortText, r.cycleStarted, problem) &&
           readText(o, "network", kMaxShortText, r.network, problem) &&
           readText(o, "service", kMaxShortText, r.service, problem) &&
           readWhole(o, "slide", -1, kMaxCount, r.slide, problem) &&
           readWhole(o, "cycleMs", 0, 1e12, r.cycleMs, problem) &&
           readWhole(o, "fetched", 0, kMaxCount, r.fetched, problem) &&
           readWhole(o, "failed", 0, kMaxCount, r.failed, problem) &&
           readThumbnail(o, r.thumbnailJpeg, problem);
}

// "2026-12-10T09:40:00Z": whole seconds, as Qt's ISO date writes them; made
// here because QDateTime costs more than the rest of a screen's object.
std::string isoTime(std::int64_t unixMs) {
    using namespace std::chrono;
    const sys_time<milliseconds> time{milliseconds(unixMs)};
    const sys_days day = floor<days>(time);
    const year_month_day date(day);
    const hh_mm_ss clock(floor<seconds>(time - day));
    std::array<char, 32> text{};
    const int length =
        std::snprintf(text.data(), text.size(), "%04d-%02u-%02uT%02d:%02d:%02dZ", int(date.year()),
                      unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                      int(clock.minutes().count()), int(clock.seconds().count()));
    return std::string(text.data(), static_cast<std::size_t>(std::max(length, 0)));
}

// A JSON string: quotes, backslashes and control characters escaped; the
// texts are UTF-8 already (they were read from JSON, or checked).
void appendString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    std::size_t plain = 0; // where the run of characters that need no escape began
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c != '"' && c != '\\' && byte >= 0x20) {
            continue;
        }
        out.append(text.substr(plain, i - plain));
        plain = i + 1;
        if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += '\\';
            out += c;
        }
    }
    out.append(text.substr(plain));
    out += '"';
}

void appendField(std::string& out, std::string_view key, std::string_view text,
                 bool first = false) {
    if (!first) {
        out += ',';
    }
    appendString(out, key);
    out += ':';
    appendString(out, text);
}

void appendNumber(std::string& out, std::string_view key, std::int64_t number) {
    out += ',';
    appendString(out, key);
    out += ':';
    out += std::to_string(number);
}

int stateRank(const FleetScreen& screen) {
    return screen.silent ? 0 : screen.last.lastGood ? 1 : 2;
}

} // namespace

std::optional<FleetReport> parseFleetReport(std::string_view body, std::string& problem) {
    if (body.size() > kMaxReportBytes) {
        problem = "the report is over 256 KiB";
        return std::nullopt;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(body.data(), static_cast<qsizetype>(body.size())), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        problem = "the report is not a JSON object";
        return std::nullopt;
    }
    FleetReport report;
    if (!readFields(document.object(), report, problem)) {
        return std::nullopt;
    }
    return report;
}

std::string fleetState(const FleetScreen& screen) {
    return screen.silent ? "silent" : screen.last.lastGood ? "last good" : "live";
}

std::vector<const FleetScreen*> worstFirst(const std::vector<FleetScreen>& screens) {
    std::vector<const FleetScreen*> order;
    order.reserve(screens.size());
    for (const FleetScreen& screen : screens) {
        order.push_back(&screen);
    }
    std::sort(order.begin(), order.end(), [](const FleetScreen* a, const FleetScreen* b) {
        const int rankA = stateRank(*a);
        const int rankB = stateRank(*b);
        const int failedA = -a->last.failed;
        const int failedB = -b->last.failed;
        return std::tie(rankA, failedA, a->last.name) < std::tie(rankB, failedB, b->last.name);
    });
    return order;
}

std::string fleetJson(const std::vector<const FleetScreen*>& screens) {
    std::string out = "[";
    out.reserve(screens.size() * 400);
    for (const FleetScreen* listed : screens) {
        const FleetScreen& screen = *listed;
        const FleetReport& r = screen.last;
        out += out.size() > 1 ? ",{" : "{";
        appendField(out, "name", r.name, true);
        appendField(out, "state", fleetState(screen));
        out += ",\"reportedAt\":";
        if (screen.reportedAtMs > 0) {
            appendString(out, isoTime(screen.reportedAtMs));
        } else {
            out += "null";
        }
        appendField(out, "version", r.version);
        out += std::string(",\"lastGood\":") + (r.lastGood ? "true" : "false");
        appendField(out, "since", r.since);
        appendNumber(out, "slide", r.slide);
        appendField(out, "address", r.address);
        appendField(out, "cycleStarted", r.cycleStarted);
        appendNumber(out, "cycleMs", r.cycleMs);
        appendNumber(out, "fetched", r.fetched);
        appendNumber(out, "failed", r.failed);
        appendField(out, "network", r.network);
        appendField(out, "service", r.service);
        out += '}';
    }
    out += ']';
    return out;
}

} // namespace skyglance::catalogue
