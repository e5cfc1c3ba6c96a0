#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tavelin {

// One prepared statement; values are always bound, never pasted into the SQL text.
class SqliteStatement {
  public:
    SqliteStatement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;

    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    void reset();

    std::string text(int column) const;
    std::int64_t integer(int column) const;
    bool isNull(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_;
};

} // namespace tavelin
