#pragma once

#include "CatalogueData.h"

#include <memory>
#include <string>
#include <vector>

struct sqlite3;

namespace skyglance::catalogue {

// The SQLite file that holds the catalogue. It is filled from the
// tab-separated catalogue file on first use and again whenever that file
// changes; several server processes may share one database file.
class CatalogueDatabase {
public:
    enum class ImportOutcome { UpToDate, Imported, Failed };

    // Opens (and creates when missing) the database file; null with `error`
    // set when it cannot be opened or given its tables.
    static std::unique_ptr<CatalogueDatabase> open(const std::string& path, std::string& error);
    ~CatalogueDatabase();
    CatalogueDatabase(const CatalogueDatabase&) = delete;
    CatalogueDatabase& operator=(const CatalogueDatabase&) = delete;

    // Imports `tsvPath` unless the database already holds exactly that file's
    // version. A file that does not parse leaves the database as it was.
    ImportOutcome importIfStale(const std::string& tsvPath, std::string& error);

    // The rows in catalogue order (the order of the file they came from).
    std::vector<CatalogueRow> loadRows(std::string& error) const;
    std::size_t rowCount() const;

private:
    explicit CatalogueDatabase(sqlite3* db) : db_(db) {}
    bool exec(const char* sql, std::string& error) const;
    std::string metaValue(const std::string& key) const;
    bool replaceRows(const std::vector<CatalogueRow>& rows, const std::string& sourceKey,
                     std::string& error);

    sqlite3* db_;
};

} // namespace skyglance::catalogue
