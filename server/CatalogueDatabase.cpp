#include "CatalogueDatabase.h"

#include "SqliteStatement.h"

#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <sstream>

namespace skyglance::catalogue {
namespace {

constexpr std::uintmax_t kMaxTsvBytes = 8u * 1024u * 1024u;

std::string columnText(sqlite3_stmt* stmt, int column) {
    const auto* text = sqlite3_column_text(stmt, column);
    const int bytes = sqlite3_column_bytes(stmt, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(bytes))
                : std::string();
}

// Identifies one version of the catalogue file: its path, size and time.
bool sourceKeyOf(const std::string& tsvPath, std::string& key, std::string& error) {
    std::error_code ec;
    const auto path = std::filesystem::absolute(tsvPath, ec);
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        error = "cannot read the catalogue file " + tsvPath + ": " + ec.message();
        return false;
    }
    const auto time = std::filesystem::last_write_time(path, ec);
    if (ec) {
        error = "cannot read the catalogue file " + tsvPath + ": " + ec.message();
        return false;
    }
    key = path.string() + "|" + std::to_string(size) + "|" +
          std::to_string(time.time_since_epoch().count());
    return true;
}

bool readSmallFile(const std::string& path, std::string& text, std::string& error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxTsvBytes) {
        error = "catalogue file " + path + (ec ? " cannot be read" : " is too large");
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (!in) {
        error = "catalogue file " + path + " cannot be read";
        return false;
    }
    text = buffer.str();
    return true;
}

} // namespace

std::unique_ptr<CatalogueDatabase> CatalogueDatabase::open(const std::string& path,
                                                           std::string& error) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(
        path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
        nullptr);
    if (rc != SQLITE_OK) {
        error = "cannot open the database " + path + ": " +
                (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
        sqlite3_close(raw);
        return nullptr;
    }
    std::unique_ptr<CatalogueDatabase> db(new CatalogueDatabase(raw));
    // Another server starting on the same file may be importing right now.
    sqlite3_busy_timeout(raw, 15000);
    if (!db->exec("CREATE TABLE IF NOT EXISTS pictures ("
                  " position INTEGER PRIMARY KEY,"
                  " url TEXT NOT NULL,"
                  " picture_id INTEGER NOT NULL UNIQUE,"
                  " comment TEXT NOT NULL,"
                  " copyright TEXT NOT NULL);"
                  "CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);",
                  error)) {
        error = "cannot prepare the database " + path + ": " + error;
        return nullptr;
    }
    return db;
}

CatalogueDatabase::~CatalogueDatabase() {
    sqlite3_close(db_);
}

bool CatalogueDatabase::exec(const char* sql, std::string& error) const {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        error = message ? message : "SQLite error";
        sqlite3_free(message);
        return false;
    }
    return true;
}

std::string CatalogueDatabase::metaValue(const std::string& key) const {
    SqliteStatement stmt(db_, "SELECT value FROM meta WHERE key = ?1");
    if (!stmt) {
        return {};
    }
    stmt.text(1, key);
    return sqlite3_step(stmt.get()) == SQLITE_ROW ? columnText(stmt.get(), 0) : std::string();
}

CatalogueDatabase::ImportOutcome CatalogueDatabase::importIfStale(const std::string& tsvPath,
                                                                  std::string& error) {
    std::string sourceKey;
    if (!sourceKeyOf(tsvPath, sourceKey, error)) {
        return ImportOutcome::Failed;
    }
    if (metaValue("source") == sourceKey && rowCount() > 0) {
        return ImportOutcome::UpToDate;
    }
    std::string text;
    if (!readSmallFile(tsvPath, text, error)) {
        return ImportOutcome::Failed;
    }
    TsvParseResult parsed = parseCatalogueTsv(text);
    if (!parsed.errors.empty()) {
        error = tsvPath + ": " + parsed.errors.front();
        if (parsed.errors.size() > 1) {
            error += " (and " + std::to_string(parsed.errors.size() - 1) + " more)";
        }
        return ImportOutcome::Failed;
    }
    if (parsed.rows.empty()) {
        error = tsvPath + ": no catalogue rows";
        return ImportOutcome::Failed;
    }
    return replaceRows(parsed.rows, sourceKey, error) ? ImportOutcome::Imported
                                                      : ImportOutcome::Failed;
}

bool CatalogueDatabase::replaceRows(const std::vector<CatalogueRow>& rows,
                                    const std::string& sourceKey, std::string& error) {
    // IMMEDIATE takes the write lock first, so two servers importing at once
    // queue up instead of failing half-way.
    if (!exec("BEGIN IMMEDIATE", error)) {
        return false;
    }
    auto rollback = [this](std::string& why) {
        std::string ignored;
        exec("ROLLBACK", ignored);
        why = "import failed: " + why;
        return false;
    };
    if (metaValue("source") == sourceKey && rowCount() > 0) {
        return exec("COMMIT", error); // someone else imported the same file meanwhile
    }
    if (!exec("DELETE FROM pictures", error)) {
        return rollback(error);
    }
    SqliteStatement insert(db_,
                           "INSERT INTO pictures (position, url, picture_id, comment, copyright)"
                           " VALUES (?1, ?2, ?3, ?4, ?5)");
    if (!insert) {
        error = sqlite3_errmsg(db_);
        return rollback(error);
    }
    int position = 0;
    for (const CatalogueRow& row : rows) {
        sqlite3_reset(insert.get());
        insert.integer(1, position++);
        insert.text(2, row.url);
        insert.integer(3, row.pictureId);
        insert.text(4, row.comment);
        insert.text(5, row.copyright);
        if (sqlite3_step(insert.get()) != SQLITE_DONE) {
            error = sqlite3_errmsg(db_);
            return rollback(error);
        }
    }
    SqliteStatement meta(db_, "INSERT OR REPLACE INTO meta (key, value) VALUES ('source', ?1)");
    if (!meta) {
        error = sqlite3_errmsg(db_);
        return rollback(error);
    }
    meta.text(1, sourceKey);
    if (sqlite3_step(meta.get()) != SQLITE_DONE) {
        error = sqlite3_errmsg(db_);
        return rollback(error);
    }
    if (!exec("COMMIT", error)) {
        return rollback(error);
    }
    return true;
}

std::vector<CatalogueRow> CatalogueDatabase::loadRows(std::string& error) const {
    std::vector<CatalogueRow> rows;
    SqliteStatement stmt(db_, "SELECT url, picture_id, comment, copyright FROM pictures"
                              " ORDER BY position LIMIT 2001");
    if (!stmt) {
        error = sqlite3_errmsg(db_);
        return rows;
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        CatalogueRow row;
        row.url = columnText(stmt.get(), 0);
        row.pictureId = sqlite3_column_int(stmt.get(), 1);
        row.comment = columnText(stmt.get(), 2);
        row.copyright = columnText(stmt.get(), 3);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        error = sqlite3_errmsg(db_);
        rows.clear();
        return rows;
    }
    if (rows.size() > kMaxRows) {
        error = "the database holds more than " + std::to_string(kMaxRows) + " rows";
        rows.clear();
        return rows;
    }
    // Rows edited in the database directly are held to the same rules as the
    // catalogue file, so a bad edit cannot break the replies.
    for (const CatalogueRow& row : rows) {
        if (auto problem = rowProblem(row); !problem.empty()) {
            error = "row with picture ID " + std::to_string(row.pictureId) + ": " + problem;
            rows.clear();
            return rows;
        }
    }
    return rows;
}

std::size_t CatalogueDatabase::rowCount() const {
    SqliteStatement stmt(db_, "SELECT COUNT(*) FROM pictures");
    if (!stmt || sqlite3_step(stmt.get()) != SQLITE_ROW) {
        return 0;
    }
    return static_cast<std::size_t>(sqlite3_column_int64(stmt.get(), 0));
}

} // namespace skyglance::catalogue
