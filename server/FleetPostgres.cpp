// The fleet store on PostgreSQL, shared by several service instances: the
// rate check and the write of a report are one statement, so two instances
// never both take a report of the same screen inside the gap.
#include "FleetStore.h"
#include "FleetTokens.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <libpq-fe.h>
#include <mutex>
#include <numeric>
#include <string_view>
#include <utility>
#include <vector>

namespace skyglance::catalogue {
namespace {

// Connections one store keeps open at most; the service's worker threads
// beyond that wait their turn rather than flood the database.
constexpr std::size_t kMaxConnections = 8;
// How long a caller waits for one of them before failing; each use is
// bounded by the statement and TCP time limits below.
constexpr std::chrono::seconds kMaxConnectionWait{15};
// Bounds on what is read back: thumbnails (a report's whole body is at most
// 256 KiB), and screens listed.
constexpr int kMaxThumbnailBytes = 512 * 1024;
constexpr int kMaxScreens = 100000;
constexpr std::size_t kMaxNameBytes = 200;
constexpr std::size_t kMaxTokenBytes = 1024;

// Created when missing. The advisory lock serialises two instances starting
// at once, whose CREATE ... IF NOT EXISTS could otherwise both try to create.
const char* const kSchema = R"sql(
BEGIN;
SELECT pg_advisory_xact_lock(3171520042);
CREATE TABLE IF NOT EXISTS fleet_screens (
    name text PRIMARY KEY,
    token_hash text NOT NULL UNIQUE);
CREATE TABLE IF NOT EXISTS fleet_reports (
    name text PRIMARY KEY REFERENCES fleet_screens (name),
    reported_at_ms bigint NOT NULL,
    version text NOT NULL,
    last_good boolean NOT NULL,
    since text NOT NULL,
    slide integer NOT NULL,
    address text NOT NULL,
    cycle_started text NOT NULL,
    cycle_ms bigint NOT NULL,
    fetched integer NOT NULL,
    failed integer NOT NULL,
    network text NOT NULL,
    service text NOT NULL,
    thumbnail bytea NOT NULL);
COMMIT;
)sql";

// The check and the write in one: an existing report is replaced only when
// it is at least the gap ($15) old; RETURNING says whether it was. An
// unknown screen breaks the foreign key and nothing is stored.
const char* const kStoreReport = R"sql(
INSERT INTO fleet_reports AS r (name, reported_at_ms, version, last_good, since, slide,
    address, cycle_started, cycle_ms, fetched, failed, network, service, thumbnail)
VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14)
ON CONFLICT (name) DO UPDATE SET
    reported_at_ms = EXCLUDED.reported_at_ms, version = EXCLUDED.version,
    last_good = EXCLUDED.last_good, since = EXCLUDED.since, slide = EXCLUDED.slide,
    address = EXCLUDED.address, cycle_started = EXCLUDED.cycle_started,
    cycle_ms = EXCLUDED.cycle_ms, fetched = EXCLUDED.fetched, failed = EXCLUDED.failed,
    network = EXCLUDED.network, service = EXCLUDED.service, thumbnail = EXCLUDED.thumbnail
WHERE r.reported_at_ms <= EXCLUDED.reported_at_ms - $15::bigint
RETURNING 1
)sql";

// Unordered: sorting 10,000 names under the database's collation costs more
// than the rest of the query; they are sorted here, byte by byte.
const char* const kScreens = R"sql(
SELECT s.name, coalesce(r.reported_at_ms, 0), r.version, r.last_good, r.since, r.slide,
    r.address, r.cycle_started, r.cycle_ms, r.fetched, r.failed, r.network, r.service
FROM fleet_screens s LEFT JOIN fleet_reports r USING (name)
LIMIT $1
)sql";

struct ConnectionCloser {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
using Connection = std::unique_ptr<PGconn, ConnectionCloser>;

struct ResultClearer {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultClearer>;

// One statement parameter: text, or binary bytes (a bytea).
struct Param {
    std::string value;
    bool binary = false;
};

std::string trimmedMessage(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

// Opens a connection with time limits of its own, so that neither a
// database that is away nor one that stopped answering holds a caller long;
// the address comes last, so that its own settings win over these.
Connection connectTo(const std::string& url, std::string& error) {
    const std::pair<const char*, const char*> settings[] = {
        {"connect_timeout", "5"},
        {"application_name", "skyglance-catalogue"},
        {"client_encoding", "UTF8"},
        {"options", "-c statement_timeout=10000 -c client_min_messages=warning"},
        {"keepalives_idle", "10"},
        {"keepalives_interval", "5"},
        {"keepalives_count", "2"},
        {"tcp_user_timeout", "15000"},
        {"dbname", url.c_str()}};
    std::vector<const char*> keywords;
    std::vector<const char*> values;
    for (const auto& [keyword, value] : settings) {
        keywords.push_back(keyword);
        values.push_back(value);
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    Connection connection(PQconnectdbParams(keywords.data(), values.data(), 1));
    if (!connection || PQstatus(connection.get()) != CONNECTION_OK) {
        error = "cannot connect to PostgreSQL: " +
                (connection ? trimmedMessage(PQerrorMessage(connection.get()))
                            : std::string("out of memory"));
        return nullptr;
    }
    return connection;
}

// A bounded set of connections shared by the calling threads. A connection
// found broken (the database restarted, or went away) is closed with every
// idle one, which the same cause broke too; the next use opens anew.
class ConnectionPool {
public:
    explicit ConnectionPool(std::string url) : url_(std::move(url)) {}

    Connection acquire(std::string& error) {
        std::unique_lock lock(mutex_);
        if (!freed_.wait_for(lock, kMaxConnectionWait,
                             [this] { return !idle_.empty() || open_ < kMaxConnections; })) {
            error = "every connection to PostgreSQL is busy";
            return nullptr;
        }
        if (!idle_.empty()) {
            Connection connection = std::move(idle_.back());
            idle_.pop_back();
            return connection;
        }
        ++open_;
        lock.unlock();
        Connection connection = connectTo(url_, error);
        if (!connection) {
            release(nullptr);
        }
        return connection;
    }

    // Gives a connection back. A broken one is closed with the idle ones;
    // none (it could not be opened) only frees its place.
    void release(Connection connection) {
        std::vector<Connection> closing;
        {
            std::lock_guard lock(mutex_);
            if (connection && PQstatus(connection.get()) == CONNECTION_OK) {
                idle_.push_back(std::move(connection));
            } else {
                if (connection) {
                    closing = std::move(idle_);
                    idle_.clear();
                    open_ -= closing.size();
                }
                --open_;
            }
        }
        freed_.notify_all();
        closing.clear();
        connection.reset();
    }

private:
    const std::string url_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<Connection> idle_;
    std::size_t open_ = 0;
};

bool succeeded(const PGresult* result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

std::string textAt(const PGresult* result, int row, int column) {
    if (PQgetisnull(result, row, column)) {
        return {};
    }
    return std::string(PQgetvalue(result, row, column),
                       static_cast<std::size_t>(PQgetlength(result, row, column)));
}

template <class Number> Number numberAt(const PGresult* result, int row, int column) {
    Number number{};
    const char* text = PQgetvalue(result, row, column);
    std::from_chars(text, text + PQgetlength(result, row, column), number);
    return number;
}

class PostgresFleetStore final : public FleetStore {
public:
    explicit PostgresFleetStore(const std::string& url) : pool_(url) {}

    bool createSchema(std::string& error) {
        Connection connection = pool_.acquire(error);
        if (!connection) {
            return false;
        }
        const Result result(PQexec(connection.get(), kSchema));
        const bool ok = succeeded(result.get());
        if (!ok) {
            error = "cannot create the fleet's tables: " +
                    trimmedMessage(PQerrorMessage(connection.get()));
        }
        pool_.release(std::move(connection));
        return ok;
    }

    std::string addScreen(const std::string& name, std::string& error) override {
        if (name.empty() || name.size() > kMaxNameBytes) {
            error = "a screen's name is 1 to " + std::to_string(kMaxNameBytes) + " bytes";
            return {};
        }
        const std::string token = newFleetToken();
        const Result result = run("INSERT INTO fleet_screens (name, token_hash) VALUES ($1, $2) "
                                  "ON CONFLICT (name) DO UPDATE SET token_hash = "
                                  "EXCLUDED.token_hash",
                                  {{name}, {fleetTokenHash(token)}}, false, error);
        return result ? token : std::string();
    }

    std::optional<std::string> screenForToken(const std::string& token) override {
        if (token.empty() || token.size() > kMaxTokenBytes) {
            return std::nullopt;
        }
        std::string error;
        const Result result = run("SELECT name FROM fleet_screens WHERE token_hash = $1",
                                  {{fleetTokenHash(token)}}, false, error);
        if (!result || PQntuples(result.get()) != 1) {
            return std::nullopt;
        }
        return textAt(result.get(), 0, 0);
    }

    Outcome storeReport(const FleetReport& report, std::int64_t nowMs,
                        std::int64_t minGapMs) override {
        std::string error;
        const Result result =
            run(kStoreReport, reportParams(report, nowMs, minGapMs), false, error);
        if (!result) {
            return Outcome::Failed;
        }
        return PQntuples(result.get()) == 1 ? Outcome::Stored : Outcome::TooSoon;
    }

    std::optional<std::vector<FleetScreen>> screens(std::int64_t nowMs,
                                                    std::int64_t silentAfterMs) override {
        std::string error;
        const Result result = run(kScreens, {{std::to_string(kMaxScreens)}}, false, error);
        if (!result) {
            return std::nullopt;
        }
        std::vector<FleetScreen> list;
        const std::vector<int> rows = rowsByName(result.get());
        list.reserve(rows.size());
        for (const int row : rows) {
            list.push_back(screenAt(result.get(), row, nowMs, silentAfterMs));
        }
        return list;
    }

    std::optional<std::string> thumbnail(const std::string& name) override {
        std::string error;
        const Result result = run("SELECT thumbnail FROM fleet_reports "
                                  "WHERE name = $1 AND length(thumbnail) > 0",
                                  {{name}}, true, error);
        if (!result || PQntuples(result.get()) != 1 ||
            PQgetlength(result.get(), 0, 0) > kMaxThumbnailBytes) {
            return std::nullopt;
        }
        return textAt(result.get(), 0, 0);
    }

private:
    static std::vector<Param> reportParams(const FleetReport& report, std::int64_t nowMs,
                                           std::int64_t minGapMs) {
        return {{report.name},
                {std::to_string(nowMs)},
                {report.version},
                {report.lastGood ? "t" : "f"},
                {report.since},
                {std::to_string(report.slide)},
                {report.address},
                {report.cycleStarted},
                {std::to_string(report.cycleMs)},
                {std::to_string(report.fetched)},
                {std::to_string(report.failed)},
                {report.network},
                {report.service},
                {report.thumbnailJpeg, true},
                {std::to_string(minGapMs)}};
    }

    // The result's rows in the order of their names, byte by byte: the
    // rows are sorted, not the screens made of them.
    static std::vector<int> rowsByName(const PGresult* result) {
        const auto nameAt = [result](int row) {
            return std::string_view(PQgetvalue(result, row, 0),
                                    static_cast<std::size_t>(PQgetlength(result, row, 0)));
        };
        std::vector<int> rows(static_cast<std::size_t>(PQntuples(result)));
        std::iota(rows.begin(), rows.end(), 0);
        std::sort(rows.begin(), rows.end(),
                  [&nameAt](int a, int b) { return nameAt(a) < nameAt(b); });
        return rows;
    }

    static FleetScreen screenAt(const PGresult* result, int row, std::int64_t nowMs,
                                std::int64_t silentAfterMs) {
        FleetScreen screen;
        screen.last.name = textAt(result, row, 0);
        screen.reportedAtMs = numberAt<std::int64_t>(result, row, 1);
        screen.silent = screen.reportedAtMs == 0 || nowMs - screen.reportedAtMs > silentAfterMs;
        if (PQgetisnull(result, row, 2)) {
            return screen;
        }
        FleetReport& last = screen.last;
        last.version = textAt(result, row, 2);
        last.lastGood = textAt(result, row, 3) == "t";
        last.since = textAt(result, row, 4);
        last.slide = numberAt<int>(result, row, 5);
        last.address = textAt(result, row, 6);
        last.cycleStarted = textAt(result, row, 7);
        last.cycleMs = numberAt<std::int64_t>(result, row, 8);
        last.fetched = numberAt<int>(result, row, 9);
        last.failed = numberAt<int>(result, row, 10);
        last.network = textAt(result, row, 11);
        last.service = textAt(result, row, 12);
        return screen;
    }

    // Runs one statement; when the connection turns out broken (the
    // database restarted since it was opened), once more on a fresh one.
    Result run(const char* sql, const std::vector<Param>& params, bool binaryResult,
               std::string& error) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            Connection connection = pool_.acquire(error);
            if (!connection) {
                return nullptr;
            }
            Result result = execute(connection.get(), sql, params, binaryResult);
            const bool broken = PQstatus(connection.get()) != CONNECTION_OK;
            if (!succeeded(result.get())) {
                error = trimmedMessage(PQerrorMessage(connection.get()));
                result.reset();
            }
            pool_.release(std::move(connection));
            if (result || !broken) {
                return result;
            }
        }
        return nullptr;
    }

    static Result execute(PGconn* connection, const char* sql, const std::vector<Param>& params,
                          bool binaryResult) {
        std::vector<const char*> values;
        std::vector<int> lengths;
        std::vector<int> formats;
        for (const Param& param : params) {
            values.push_back(param.value.c_str());
            lengths.push_back(static_cast<int>(param.value.size()));
            formats.push_back(param.binary ? 1 : 0);
        }
        return Result(PQexecParams(connection, sql, static_cast<int>(params.size()), nullptr,
                                   values.data(), lengths.data(), formats.data(),
                                   binaryResult ? 1 : 0));
    }

    ConnectionPool pool_;
};

} // namespace

std::unique_ptr<FleetStore> openPostgresFleetStore(const std::string& url, std::string& error) {
    auto store = std::make_unique<PostgresFleetStore>(url);
    if (!store->createSchema(error)) {
        return nullptr;
    }
    return store;
}

} // namespace skyglance::catalogue
