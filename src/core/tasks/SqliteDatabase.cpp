#include "core/tasks/SqliteDatabase.h"

#include "core/util/FolderPath.h"

#include <chrono>
#include <cstdio>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

namespace tavelin {

namespace {

bool writable(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

// A file name as an SQLite URI ("file:...?immutable=1").
std::string uriFor(const std::string& path) {
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
            uri += buf;
        } else {
            uri += c;
        }
    }
    return uri + "?immutable=1";
}

} // namespace

Result<SqliteDatabase> SqliteDatabase::open(const std::string& path, int busyTimeoutMs) {
    // A file the user may read but not write (or in a folder they cannot write, where its
    // journal files would go) is opened for reading only: it can still be listed.
    const std::string folder = FolderPath::parentOf(FolderPath::normalized(path));
    const bool exists = ::access(path.c_str(), F_OK) == 0;
    const bool readOnly = exists && (!writable(path) || (!folder.empty() && !writable(folder)));
    sqlite3* raw = nullptr;
    const int flags =
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
        SQLITE_OPEN_FULLMUTEX;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    SqliteDatabase db(raw, path);
    db.readOnly_ = readOnly;
    if (rc != SQLITE_OK) {
        return db.failure("cannot open task database");
    }
    sqlite3_busy_timeout(raw, busyTimeoutMs);
    sqlite3_extended_result_codes(raw, 1);
    // Reading the schema first tells a damaged or foreign file apart before anything is written.
    // Several programs creating the file at once may find it locked for a moment: they wait
    // for each other as every write does.
    auto readable = db.execWaiting("SELECT count(*) FROM sqlite_master",
                                   "cannot read task database", busyTimeoutMs);
    if (!readable && readOnly) {
        // In a folder the user cannot write, SQLite cannot make the shared-memory file a
        // journaled database needs for reading; read the file as it stands instead.
        db = SqliteDatabase(nullptr, path);
        db.readOnly_ = true;
        if (sqlite3_open_v2(uriFor(path).c_str(), &db.db_,
                            SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_FULLMUTEX,
                            nullptr) != SQLITE_OK) {
            return db.failure("cannot open task database");
        }
        sqlite3_extended_result_codes(db.db_, 1);
        readable = db.exec("SELECT count(*) FROM sqlite_master", "cannot read task database");
    }
    if (!readable) {
        return std::unexpected(readable.error());
    }
    if (!readOnly) {
        if (auto ok = db.execWaiting("PRAGMA journal_mode=WAL", "cannot open task database",
                                     busyTimeoutMs);
            !ok) {
            return std::unexpected(ok.error());
        }
    }
    // A damaged page is found now, before anything is read from or written to it. Where the
    // task table exists, it is what is checked: the run history may grow to many megabytes,
    // and a damaged history page is still found (and refused) when it is read or written.
    auto hasTasks = db.prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND "
                               "name = 'tasks'",
                               "cannot check task database");
    if (!hasTasks) {
        return std::unexpected(hasTasks.error());
    }
    const bool tasksTable = hasTasks->step() == SQLITE_ROW;
    auto check = db.prepare(tasksTable ? "PRAGMA quick_check(tasks)" : "PRAGMA quick_check",
                            "cannot check task database");
    if (!check) {
        return std::unexpected(check.error());
    }
    if (check->step() != SQLITE_ROW) {
        return db.failure("cannot check task database");
    }
    if (const std::string verdict = check->text(0); verdict != "ok") {
        return fail("task database '" + path + "' is damaged (" + verdict +
                        "); it was left as it is",
                    Error::Kind::Database);
    }
    return db;
}

Result<void> SqliteDatabase::execWaiting(const std::string& sql, const std::string& operation,
                                         int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        char* message = nullptr;
        const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
        sqlite3_free(message);
        if (rc == SQLITE_OK) {
            return {};
        }
        const int primary = rc & 0xff;
        if ((primary != SQLITE_BUSY && primary != SQLITE_LOCKED) ||
            std::chrono::steady_clock::now() >= until) {
            return failure(operation);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

SqliteDatabase::~SqliteDatabase() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
    }
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : db_(other.db_), path_(std::move(other.path_)), readOnly_(other.readOnly_) {
    other.db_ = nullptr;
}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept {
    if (this != &other) {
        if (db_ != nullptr) {
            sqlite3_close_v2(db_);
        }
        db_ = other.db_;
        path_ = std::move(other.path_);
        readOnly_ = other.readOnly_;
        other.db_ = nullptr;
    }
    return *this;
}

std::unexpected<Error> SqliteDatabase::failure(const std::string& operation) const {
    const char* why = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    return fail(describe(operation, path_, why), Error::Kind::Database);
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

std::int64_t SqliteDatabase::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

} // namespace tavelin
