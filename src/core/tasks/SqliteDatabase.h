#pragma once

#include "core/tasks/SqliteStatement.h"
#include "core/util/Error.h"

#include <cstdint>
#include <string>

struct sqlite3;

namespace tavelin {

// An open SQLite connection. Errors name the operation and the file.
class SqliteDatabase {
  public:
    // Opens (creating only when the file does not exist yet) with WAL and a busy timeout, and
    // checks the file: a damaged one is refused. A file the user cannot write is opened for
    // reading only.
    static Result<SqliteDatabase> open(const std::string& path, int busyTimeoutMs = 5000);

    ~SqliteDatabase();
    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&& other) noexcept;
    SqliteDatabase(const SqliteDatabase&) = delete;

    Result<SqliteStatement> prepare(const std::string& sql, const std::string& operation);
    Result<void> exec(const std::string& sql, const std::string& operation);
    // Fails with a message naming the operation, the file and what SQLite said.
    std::unexpected<Error> failure(const std::string& operation) const;
    int changes() const;
    std::int64_t lastInsertId() const;
    const std::string& path() const { return path_; }
    bool readOnly() const { return readOnly_; }

  private:
    SqliteDatabase(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

    // Like exec, retrying while another connection holds the lock, up to `timeoutMs`.
    Result<void> execWaiting(const std::string& sql, const std::string& operation, int timeoutMs);

    sqlite3* db_ = nullptr;
    std::string path_;
    bool readOnly_ = false;
};

} // namespace tavelin
