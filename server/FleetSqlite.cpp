#include "FleetSqlite.h"

#include "FleetTokens.h"
#include "SqliteStatement.h"

#include <chrono>
#include <sqlite3.h>
#include <thread>

namespace skyglance::catalogue {
namespace {

// Another process may hold the write lock for a moment (a report, an added
// screen); a statement waits this long for it before failing.
constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kSchema = "CREATE TABLE IF NOT EXISTS fleet_screens ("
                                " name TEXT PRIMARY KEY,"
                                " token_hash TEXT NOT NULL UNIQUE,"
                                " reported_at INTEGER NOT NULL DEFAULT 0,"
                                " version TEXT NOT NULL DEFAULT '',"
                                " last_good INTEGER NOT NULL DEFAULT 0,"
                                " since TEXT NOT NULL DEFAULT '',"
                                " slide INTEGER NOT NULL DEFAULT -1,"
                                " address TEXT NOT NULL DEFAULT '',"
                                " cycle_started TEXT NOT NULL DEFAULT '',"
                                " cycle_ms INTEGER NOT NULL DEFAULT 0,"
                                " fetched INTEGER NOT NULL DEFAULT 0,"
                                " failed INTEGER NOT NULL DEFAULT 0,"
                                " network TEXT NOT NULL DEFAULT '',"
                                " service TEXT NOT NULL DEFAULT '',"
                                " thumbnail BLOB);";

class SqliteFleetStore : public FleetStore {
public:
    explicit SqliteFleetStore(sqlite3* db) : db_(db) {}
    ~SqliteFleetStore() override { sqlite3_close(db_); }
    SqliteFleetStore(const SqliteFleetStore&) = delete;
    SqliteFleetStore& operator=(const SqliteFleetStore&) = delete;

    std::string addScreen(const std::string& name, std::string& error) override {
        const std::string token = newFleetToken();
        SqliteStatement stmt(db_,
                             "INSERT INTO fleet_screens (name, token_hash) VALUES (?1, ?2)"
                             " ON CONFLICT(name) DO UPDATE SET token_hash = excluded.token_hash");
        if (stmt) {
            stmt.text(1, name);
            stmt.text(2, fleetTokenHash(token));
        }
        if (!stmt || stmt.step() != SQLITE_DONE) {
            error = std::string("cannot add the screen: ") + sqlite3_errmsg(db_);
            return {};
        }
        return token;
    }

    std::optional<std::string> screenForToken(const std::string& token) override {
        SqliteStatement stmt(db_, "SELECT name FROM fleet_screens WHERE token_hash = ?1");
        if (!stmt) {
            return std::nullopt;
        }
        stmt.text(1, fleetTokenHash(token));
        if (stmt.step() != SQLITE_ROW) {
            return std::nullopt;
        }
        return stmt.columnText(0);
    }

    // One UPDATE both checks the gap and writes, so that two processes
    // taking reports of the same screen cannot both store one.
    Outcome storeReport(const FleetReport& report, std::int64_t nowMs,
                        std::int64_t minGapMs) override {
        SqliteStatement stmt(db_, "UPDATE fleet_screens SET reported_at = ?2, version = ?3,"
                                  " last_good = ?4, since = ?5, slide = ?6, address = ?7,"
                                  " cycle_started = ?8, cycle_ms = ?9, fetched = ?10, failed = ?11,"
                                  " network = ?12, service = ?13, thumbnail = ?14"
                                  " WHERE name = ?1 AND (reported_at = 0 OR reported_at <= ?15)"
                                  " RETURNING name");
        if (!stmt) {
            return Outcome::Failed;
        }
        stmt.text(1, report.name);
        stmt.integer(2, nowMs);
        stmt.text(3, report.version);
        stmt.integer(4, report.lastGood ? 1 : 0);
        stmt.text(5, report.since);
        stmt.integer(6, report.slide);
        stmt.text(7, report.address);
        stmt.text(8, report.cycleStarted);
        stmt.integer(9, report.cycleMs);
        stmt.integer(10, report.fetched);
        stmt.integer(11, report.failed);
        stmt.text(12, report.network);
        stmt.text(13, report.service);
        if (report.thumbnailJpeg.empty()) {
            sqlite3_bind_null(stmt.get(), 14);
        } else {
            stmt.blob(14, report.thumbnailJpeg);
        }
        stmt.integer(15, nowMs - minGapMs);
        // The row comes back when it was written (other threads share the
        // connection, so its change count may be theirs).
        switch (stepThroughBusy(stmt)) {
        case SQLITE_ROW:
            return stmt.step() == SQLITE_DONE ? Outcome::Stored : Outcome::Failed;
        case SQLITE_DONE:
            return screenExists(report.name) ? Outcome::TooSoon : Outcome::Failed;
        default:
            return Outcome::Failed;
        }
    }

    std::optional<std::vector<FleetScreen>> screens(std::int64_t nowMs,
                                                    std::int64_t silentAfterMs) override {
        std::vector<FleetScreen> all;
        SqliteStatement stmt(db_,
                             "SELECT name, reported_at, version, last_good, since, slide, address,"
                             " cycle_started, cycle_ms, fetched, failed, network, service"
                             " FROM fleet_screens ORDER BY name");
        if (!stmt) {
            return std::nullopt;
        }
        int step = SQLITE_ROW;
        while ((step = stmt.step()) == SQLITE_ROW) {
            FleetScreen screen;
            FleetReport& r = screen.last;
            r.name = stmt.columnText(0);
            screen.reportedAtMs = stmt.columnInt(1);
            r.version = stmt.columnText(2);
            r.lastGood = stmt.columnInt(3) != 0;
            r.since = stmt.columnText(4);
            r.slide = static_cast<int>(stmt.columnInt(5));
            r.address = stmt.columnText(6);
            r.cycleStarted = stmt.columnText(7);
            r.cycleMs = stmt.columnInt(8);
            r.fetched = static_cast<int>(stmt.columnInt(9));
            r.failed = static_cast<int>(stmt.columnInt(10));
            r.network = stmt.columnText(11);
            r.service = stmt.columnText(12);
            screen.silent = screen.reportedAtMs == 0 || nowMs - screen.reportedAtMs > silentAfterMs;
            all.push_back(std::move(screen));
        }
        if (step != SQLITE_DONE) {
            return std::nullopt;
        }
        return all;
    }

    std::optional<std::string> thumbnail(const std::string& name) override {
        SqliteStatement stmt(db_, "SELECT thumbnail FROM fleet_screens"
                                  " WHERE name = ?1 AND thumbnail IS NOT NULL");
        if (!stmt) {
            return std::nullopt;
        }
        stmt.text(1, name);
        if (stmt.step() != SQLITE_ROW) {
            return std::nullopt;
        }
        return stmt.columnText(0);
    }

private:
    // Another process's write between this statement's read and its write
    // fails it at once (the busy handler waits only for locks): it is run
    // again, within the busy timeout.
    static int stepThroughBusy(SqliteStatement& stmt) {
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
        int result = stmt.step();
        while ((result == SQLITE_BUSY || result == SQLITE_LOCKED) &&
               std::chrono::steady_clock::now() < until) {
            sqlite3_reset(stmt.get());
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            result = stmt.step();
        }
        return result;
    }

    bool screenExists(const std::string& name) {
        SqliteStatement stmt(db_, "SELECT 1 FROM fleet_screens WHERE name = ?1");
        if (!stmt) {
            return false;
        }
        stmt.text(1, name);
        return stmt.step() == SQLITE_ROW;
    }

    sqlite3* db_;
};

bool run(sqlite3* db, const char* sql, std::string& error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        error = message ? message : "SQLite error";
        sqlite3_free(message);
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<FleetStore> openSqliteFleetStore(const std::string& path, std::string& error) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(
        path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
        nullptr);
    if (rc != SQLITE_OK) {
        error = "cannot open the fleet database " + path + ": " +
                (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
        sqlite3_close(raw);
        return nullptr;
    }
    auto store = std::make_unique<SqliteFleetStore>(raw);
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    // WAL: readers of the fleet page never wait for a report being written,
    // and processes sharing the file see each other's writes.
    if (!run(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", error) ||
        !run(raw, kSchema, error)) {
        error = "cannot prepare the fleet database " + path + ": " + error;
        return nullptr;
    }
    return store;
}

} // namespace skyglance::catalogue
