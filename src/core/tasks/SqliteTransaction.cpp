#include "core/tasks/SqliteTransaction.h"

#include "core/tasks/SqliteDatabase.h"

namespace tavelin {

Result<SqliteTransaction> SqliteTransaction::begin(SqliteDatabase& db,
                                                   const std::string& operation) {
    if (auto ok = db.exec("BEGIN IMMEDIATE", operation); !ok) {
        return std::unexpected(ok.error());
    }
    return SqliteTransaction(db, operation);
}

SqliteTransaction::SqliteTransaction(SqliteTransaction&& other) noexcept
    : db_(other.db_), operation_(std::move(other.operation_)) {
    other.db_ = nullptr;
}

SqliteTransaction::~SqliteTransaction() {
    if (db_ != nullptr) {
        (void)db_->exec("ROLLBACK", operation_);
    }
}

Result<void> SqliteTransaction::commit() {
    auto ok = db_->exec("COMMIT", operation_);
    if (ok) {
        db_ = nullptr;
    }
    return ok;
}

} // namespace tavelin
