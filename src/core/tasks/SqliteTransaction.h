#pragma once

#include "core/util/Error.h"

namespace tavelin {

class SqliteDatabase;

// BEGIN IMMEDIATE ... COMMIT; rolled back unless committed. Taking the write lock at the start
// keeps two programs on one file from interleaving a read and a write.
class SqliteTransaction {
  public:
    static Result<SqliteTransaction> begin(SqliteDatabase& db, const std::string& operation);
    ~SqliteTransaction();
    SqliteTransaction(SqliteTransaction&& other) noexcept;
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(SqliteTransaction&&) = delete;

    Result<void> commit();

  private:
    SqliteTransaction(SqliteDatabase& db, std::string operation)
        : db_(&db), operation_(std::move(operation)) {}
    SqliteDatabase* db_;
    std::string operation_;
};

} // namespace tavelin
