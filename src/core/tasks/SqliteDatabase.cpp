#include "tasks/SqliteDatabase.h"

#include <sqlite3.h>

namespace tavelin {

Result<SqliteDatabase> SqliteDatabase::open(const std::string& path, int busyTimeoutMs) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(
        path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
        nullptr);
    SqliteDatabase db(raw, path);
    if (rc != SQLITE_OK) {
        return db.failure("cannot open task database");
    }
    sqlite3_busy_timeout(raw, busyTimeoutMs);
    sqlite3_extended_result_codes(raw, 1);
    // Reading the schema first tells a damaged or foreign file apart before anything is written.
    if (auto ok = db.exec("SELECT count(*) FROM sqlite_master", "cannot read task database"); !ok) {
        return std::unexpected(ok.error());
    }
    if (auto ok = db.exec("PRAGMA journal_mode=WAL", "cannot open task database"); !ok) {
        return std::unexpected(ok.error());
    }
    return db;
}

SqliteDatabase::~SqliteDatabase() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
    }
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : db_(other.db_), path_(std::move(other.path_)) {
    other.db_ = nullptr;
}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept {
    if (this != &other) {
        if (db_ != nullptr) {
            sqlite3_close_v2(db_);
        }
        db_ = other.db_;
        path_ = std::move(other.path_);
        other.db_ = nullptr;
    }
    return *this;
}

std::unexpected<Error> SqliteDatabase::failure(const std::string& operation) const {
    const char* why = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    return fail(operation + " '" + path_ + "': " + why, Error::Kind::Database);
}

Result<SqliteStatement> SqliteDatabase::prepare(const std::string& sql,
                                                const std::string& operation) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        return failure(operation);
    }
    return SqliteStatement(db_, stmt);
}

Result<void> SqliteDatabase::exec(const std::string& sql, const std::string& operation) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        return failure(operation);
    }
    return {};
}

int SqliteDatabase::changes() const {
    return sqlite3_changes(db_);
}

} // namespace tavelin
