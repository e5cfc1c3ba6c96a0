#include "core/tasks/TaskStore.h"

#include "core/tasks/SqliteTransaction.h"
#include "core/tasks/TaskInterval.h"
#include "core/util/Clock.h"

#include <algorithm>
#include <set>
#include <sqlite3.h>
#include <sys/stat.h>
#include <utility>

namespace tavelin {

namespace {

const char* const kColumns =
    "task_name, task_source, task_destination, task_subfolders, task_interval, task_lastdate, "
    "task_nextdate, task_success, task_filetypes, task_uncpath, task_catchup, task_volume, "
    "task_onchange, task_settle, task_keepversions, task_versionsdays";

const char* const kCreateTable = R"(
CREATE TABLE tasks (
    task_name        TEXT NOT NULL,
    task_source      TEXT NOT NULL DEFAULT '',
    task_destination TEXT NOT NULL DEFAULT '',
    task_subfolders  INTEGER NOT NULL DEFAULT 0,
    task_interval    TEXT NOT NULL DEFAULT '',
    task_lastdate    TEXT,
    task_nextdate    TEXT,
    task_success     TEXT NOT NULL DEFAULT '-',
    task_filetypes   TEXT NOT NULL DEFAULT '*.*',
    task_uncpath     INTEGER NOT NULL DEFAULT 0,
    task_catchup     INTEGER NOT NULL DEFAULT 0,
    task_volume      TEXT NOT NULL DEFAULT '',
    task_onchange    INTEGER NOT NULL DEFAULT 0,
    task_settle      INTEGER NOT NULL DEFAULT 10,
    task_keepversions INTEGER NOT NULL DEFAULT 0,
    task_versionsdays INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IF NOT EXISTS tasks_by_nextdate ON tasks(task_nextdate);
)";

// The history: one row per run, and the first failures of each.
const char* const kCreateHistory = R"(
CREATE TABLE IF NOT EXISTS task_runs (
    run_id      INTEGER PRIMARY KEY,
    task_name   TEXT NOT NULL,
    run_trigger TEXT NOT NULL,
    run_started TEXT NOT NULL,
    run_ended   TEXT NOT NULL,
    run_status  TEXT NOT NULL,
    run_scanned INTEGER NOT NULL,
    run_copied  INTEGER NOT NULL,
    run_failed  INTEGER NOT NULL,
    run_bytes   INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS task_runs_by_task ON task_runs(task_name, run_id);
CREATE TABLE IF NOT EXISTS task_run_errors (
    run_id       INTEGER NOT NULL,
    error_path   TEXT NOT NULL,
    error_reason TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS task_run_errors_by_run ON task_run_errors(run_id);
)";

// Columns that later versions added, in the order they came.
const std::pair<const char*, const char*> kAddedColumns[] = {
    {"task_filetypes", "TEXT NOT NULL DEFAULT '*.*'"},
    {"task_uncpath", "INTEGER NOT NULL DEFAULT 0"},
    {"task_catchup", "INTEGER NOT NULL DEFAULT 0"},
    {"task_volume", "TEXT NOT NULL DEFAULT ''"},
    {"task_onchange", "INTEGER NOT NULL DEFAULT 0"},
    {"task_settle", "INTEGER NOT NULL DEFAULT 10"},
    {"task_keepversions", "INTEGER NOT NULL DEFAULT 0"},
    {"task_versionsdays", "INTEGER NOT NULL DEFAULT 0"},
};

// Stored date-times are "yyyy-mm-dd hh:mm:ss"; a file from before kept "dd.mm.yyyy hh:mm:ss".
std::optional<LocalDateTime> readDate(const SqliteStatement& s, int column) {
    if (s.isNull(column)) {
        return std::nullopt;
    }
    const std::string text = s.text(column);
    if (auto t = LocalDateTime::parseStorage(text)) {
        return t;
    }
    return LocalDateTime::parseDisplay(text);
}

TaskRecord readRow(const SqliteStatement& s) {
    TaskRecord r;
    r.task_name = s.text(0);
    r.task_source = s.text(1);
    r.task_destination = s.text(2);
    r.task_subfolders = s.integer(3) != 0;
    r.task_interval = s.text(4);
    r.task_lastdate = readDate(s, 5);
    r.task_nextdate = readDate(s, 6);
    // A text this program never writes (a hand-edited file) reads as not run: the file opens.
    r.task_success = parseTaskStatus(s.text(7)).value_or(TaskStatus::NotRun);
    r.task_filetypes = s.isNull(8) ? "*.*" : s.text(8);
    r.task_uncpath = s.integer(9) != 0;
    r.task_catchup = s.integer(10) != 0;
    r.task_volume = s.isNull(11) ? std::string() : s.text(11);
    r.task_onchange = s.integer(12) != 0;
    r.task_settle = static_cast<int>(s.integer(13));
    r.task_keepversions = s.integer(14) != 0;
    r.task_versionsdays = static_cast<int>(s.integer(15));
    return r;
}

void bindDate(SqliteStatement& s, int index, const std::optional<LocalDateTime>& t) {
    if (t) {
        s.bind(index, t->storage());
    } else {
        s.bindNull(index);
    }
}

} // namespace

template <class T, class Body>
Result<T> TaskStore::inTransaction(const std::string& operation, Body body) {
    if (db_.readOnly()) {
        return fail(operation + " '" + db_.path() +
                        "': the file or its folder is read-only for you (it can be listed, not "
                        "changed)",
                    Error::Kind::Database);
    }
    auto tx = SqliteTransaction::begin(db_, operation);
    if (!tx) {
        return std::unexpected(tx.error());
    }
    Result<T> result = body();
    if (result) {
        if (auto ok = tx->commit(); !ok) {
            return std::unexpected(ok.error());
        }
    }
    return result; // a failure rolls back when the transaction goes out of scope
}

Result<TaskStore> TaskStore::open(const std::string& path) {
    auto db = SqliteDatabase::open(path);
    if (!db) {
        return std::unexpected(db.error());
    }
    TaskStore store(std::move(*db));
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        store.device_ = st.st_dev;
        store.inode_ = st.st_ino;
    }
    if (auto ok = store.migrate(); !ok) {
        return std::unexpected(ok.error());
    }
    return store;
}

bool TaskStore::isStillTheFile() const {
    struct stat st {};
    return ::stat(db_.path().c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
}

Result<std::int64_t> TaskStore::schemaVersion(const std::string& op) {
    auto version = db_.prepare("PRAGMA user_version", op);
    if (!version) {
        return std::unexpected(version.error());
    }
    version->step();
    return version->integer(0);
}

Result<void> TaskStore::migrate() {
    const std::string op = "cannot prepare task database";
    if (db_.readOnly()) {
        // Nothing can be changed: it is usable only when it needs no upgrade.
        auto current = schemaVersion(op);
        if (!current) {
            return std::unexpected(current.error());
        }
        if (*current == kSchemaVersion) {
            return {};
        }
        return fail("cannot open task database '" + db_.path() +
                        "': it needs an upgrade, and the file or its folder is read-only for you",
                    Error::Kind::Database);
    }
    return inTransaction<void>(op, [&]() -> Result<void> {
        auto current = schemaVersion(op);
        if (!current) {
            return std::unexpected(current.error());
        }
        if (*current == kSchemaVersion) {
            return {};
        }
        if (*current > kSchemaVersion) {
            return fail("cannot open task database '" + db_.path() +
                            "': it was written by a newer version of Tavelin",
                        Error::Kind::Database);
        }
        auto columns = db_.prepare("PRAGMA table_info(tasks)", op);
        if (!columns) {
            return std::unexpected(columns.error());
        }
        bool hasTable = false;
        std::set<std::string> present;
        while (columns->step() == SQLITE_ROW) {
            hasTable = true;
            present.insert(columns->text(1));
        }
        auto tasks = hasTable ? upgradeTasksTable(present, op) : db_.exec(kCreateTable, op);
        if (!tasks) {
            return tasks;
        }
        if (auto ok = db_.exec(kCreateHistory, op); !ok) {
            return ok;
        }
        return db_.exec("PRAGMA user_version = " + std::to_string(kSchemaVersion), op);
    });
}

Result<void> TaskStore::upgradeTasksTable(const std::set<std::string>& present,
                                          const std::string& op) {
    // An older file: add the columns it lacks, keep every row. Existing tasks do not catch up
    // (they never did) and have no known volume until their next good run.
    for (const auto& [column, definition] : kAddedColumns) {
        if (present.count(column) != 0) {
            continue;
        }
        if (auto ok = db_.exec(
                std::string("ALTER TABLE tasks ADD COLUMN ") + column + " " + definition, op);
            !ok) {
            return ok;
        }
    }
    // Date-times in the old "dd.mm.yyyy" form do not sort; store them sortably.
    auto rows = db_.prepare("SELECT rowid, task_lastdate, task_nextdate FROM tasks", op);
    auto update =
        db_.prepare("UPDATE tasks SET task_lastdate = ?1, task_nextdate = ?2 WHERE rowid = ?3", op);
    if (!rows || !update) {
        return db_.failure(op);
    }
    while (rows->step() == SQLITE_ROW) {
        auto last = readDate(*rows, 1);
        auto next = readDate(*rows, 2);
        update->reset();
        bindDate(*update, 1, last);
        bindDate(*update, 2, next);
        update->bind(3, rows->integer(0));
        if (update->step() != SQLITE_DONE) {
            return db_.failure(op);
        }
    }
    return db_.exec("CREATE INDEX IF NOT EXISTS tasks_by_nextdate ON tasks(task_nextdate)", op);
}

Result<std::vector<TaskRecord>> TaskStore::select(const std::string& where,
                                                  const std::string& operation,
                                                  const std::string& bound) {
    auto s = db_.prepare(std::string("SELECT ") + kColumns + " FROM tasks " + where, operation);
    if (!s) {
        return std::unexpected(s.error());
    }
    if (where.find("?1") != std::string::npos) {
        s->bind(1, bound);
    }
    std::vector<TaskRecord> out;
    int rc;
    while ((rc = s->step()) == SQLITE_ROW) {
        out.push_back(readRow(*s));
    }
    if (rc != SQLITE_DONE) {
        return db_.failure(operation);
    }
    return out;
}

Result<std::vector<TaskRecord>> TaskStore::listTasks() {
    return select("ORDER BY task_nextdate, rowid", "cannot list tasks in");
}

Result<std::optional<TaskRecord>> TaskStore::findTask(const std::string& name) {
    auto rows = select("WHERE task_name = ?1 ORDER BY rowid LIMIT 1", "cannot find task in", name);
    if (!rows) {
        return std::unexpected(rows.error());
    }
    if (rows->empty()) {
        return std::optional<TaskRecord>();
    }
    return std::optional<TaskRecord>(rows->front());
}

Result<std::vector<TaskRecord>> TaskStore::dueTasks(const LocalDateTime& now) {
    auto rows = select("WHERE task_nextdate <= ?1 ORDER BY task_nextdate, rowid",
                       "cannot read due tasks from", now.storage());
    if (!rows) {
        return rows;
    }
    std::erase_if(*rows, [](const TaskRecord& r) {
        return !TaskInterval::parse(r.task_interval) || !r.task_nextdate;
    });
    return rows;
}

Result<TaskRecord> TaskStore::addTask(const TaskRecord& draft, const LocalDateTime& now) {
    const auto& name = draft.task_name;
    if (name.find_first_not_of(" \t") == std::string::npos) {
        return fail("Please enter a task name!", Error::Kind::BadName);
    }
    if (std::any_of(name.begin(), name.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
        return fail("A task name cannot hold control characters (such as a new line).",
                    Error::Kind::BadName);
    }
    if (draft.task_source.empty() || draft.task_destination.empty()) {
        return fail(draft.task_source.empty() ? "A task needs a source folder."
                                              : "A task needs a destination folder.");
    }
    if (draft.task_settle < 1 || draft.task_settle > 3600) {
        return fail("The settle time must be between 1 and 3600 seconds.");
    }
    const auto interval = TaskInterval::parse(draft.task_interval);
    if (!interval) {
        return fail("Please enter or select the update interval!", Error::Kind::BadInterval);
    }
    const std::string op = "cannot save task in";
    return inTransaction<TaskRecord>(op, [&]() -> Result<TaskRecord> {
        auto taken = db_.prepare("SELECT 1 FROM tasks WHERE task_name = ?1", op);
        if (!taken) {
            return std::unexpected(taken.error());
        }
        taken->bind(1, draft.task_name);
        if (taken->step() == SQLITE_ROW) {
            return fail("Task name already exist!", Error::Kind::NameTaken);
        }
        TaskRecord row = draft;
        row.task_interval = interval->text();
        row.task_lastdate = now;
        row.task_nextdate = interval->nextRunTime(now);
        row.task_success = TaskStatus::NotRun;
        auto insert =
            db_.prepare(std::string("INSERT INTO tasks (") + kColumns +
                            ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, "
                            "?14, ?15, ?16)",
                        op);
        if (!insert) {
            return std::unexpected(insert.error());
        }
        insert->bind(1, row.task_name)
            .bind(2, row.task_source)
            .bind(3, row.task_destination)
            .bind(4, std::int64_t{row.task_subfolders})
            .bind(5, row.task_interval);
        bindDate(*insert, 6, row.task_lastdate);
        bindDate(*insert, 7, row.task_nextdate);
        insert->bind(8, statusText(row.task_success))
            .bind(9, row.task_filetypes)
            .bind(10, std::int64_t{row.task_uncpath})
            .bind(11, std::int64_t{row.task_catchup})
            .bind(12, row.task_volume)
            .bind(13, std::int64_t{row.task_onchange})
            .bind(14, std::int64_t{row.task_settle})
            .bind(15, std::int64_t{row.task_keepversions})
            .bind(16, std::int64_t{row.task_versionsdays});
        if (insert->step() != SQLITE_DONE) {
            return db_.failure(op);
        }
        return row;
    });
}

Result<bool> TaskStore::deleteTask(const std::string& name) {
    const std::string op = "cannot delete task from";
    return inTransaction<bool>(op, [&]() -> Result<bool> {
        auto del = db_.prepare("DELETE FROM tasks WHERE task_name = ?1", op);
        if (!del) {
            return std::unexpected(del.error());
        }
        del->bind(1, name);
        if (del->step() != SQLITE_DONE) {
            return db_.failure(op);
        }
        const bool deleted = db_.changes() > 0;
        if (auto ok = keepNewestRuns(name, 0, op); !ok) {
            return std::unexpected(ok.error());
        }
        return deleted;
    });
}

Result<void> TaskStore::addHistory(const TaskRunEntry& e) {
    const std::string op = "cannot record the run of a task in";
    auto insert = db_.prepare(
        "INSERT INTO task_runs (task_name, run_trigger, run_started, run_ended, run_status, "
        "run_scanned, run_copied, run_failed, run_bytes) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, "
        "?9)",
        op);
    if (!insert) {
        return std::unexpected(insert.error());
    }
    insert->bind(1, e.task_name)
        .bind(2, e.trigger)
        .bind(3, e.started.storage())
        .bind(4, e.ended.storage())
        .bind(5, statusText(e.status))
        .bind(6, e.scanned)
        .bind(7, e.copied)
        .bind(8, e.failed)
        .bind(9, e.bytes);
    if (insert->step() != SQLITE_DONE) {
        return db_.failure(op);
    }
    const std::int64_t runId = db_.lastInsertId();
    auto error = db_.prepare(
        "INSERT INTO task_run_errors (run_id, error_path, error_reason) VALUES (?1, ?2, ?3)", op);
    if (!error) {
        return std::unexpected(error.error());
    }
    for (std::size_t i = 0; i < e.errors.size() && i < TaskRunEntry::kMaxErrors; ++i) {
        error->reset();
        error->bind(1, runId).bind(2, e.errors[i].path).bind(3, e.errors[i].reason);
        if (error->step() != SQLITE_DONE) {
            return db_.failure(op);
        }
    }
    // Only the newest runs of each task are kept.
    return keepNewestRuns(e.task_name, kHistoryPerTask, op);
}

Result<void> TaskStore::keepNewestRuns(const std::string& name, int keep,
                                       const std::string& operation) {
    for (const char* sql :
         {"DELETE FROM task_run_errors WHERE run_id IN (SELECT run_id FROM task_runs WHERE "
          "task_name = ?1 ORDER BY run_id DESC LIMIT -1 OFFSET ?2)",
          "DELETE FROM task_runs WHERE run_id IN (SELECT run_id FROM task_runs WHERE "
          "task_name = ?1 ORDER BY run_id DESC LIMIT -1 OFFSET ?2)"}) {
        auto prune = db_.prepare(sql, operation);
        if (!prune) {
            return std::unexpected(prune.error());
        }
        prune->bind(1, name).bind(2, std::int64_t{keep});
        if (prune->step() != SQLITE_DONE) {
            return db_.failure(operation);
        }
    }
    return {};
}

Result<std::vector<TaskRunEntry>> TaskStore::history(const std::string& name, int limit) {
    const std::string op = "cannot read the run history from";
    if (!name.empty()) {
        auto task = findTask(name);
        if (!task) {
            return std::unexpected(task.error());
        }
        if (!*task) {
            return fail("no task named '" + name + "'", Error::Kind::NotFound);
        }
    }
    auto runs = db_.prepare(
        std::string("SELECT run_id, task_name, run_trigger, run_started, run_ended, run_status, "
                    "run_scanned, run_copied, run_failed, run_bytes FROM task_runs ") +
            (name.empty() ? "" : "WHERE task_name = ?1 ") + "ORDER BY run_id DESC LIMIT ?2",
        op);
    auto errors = db_.prepare("SELECT error_path, error_reason FROM task_run_errors "
                              "WHERE run_id = ?1 ORDER BY rowid",
                              op);
    if (!runs || !errors) {
        return db_.failure(op);
    }
    if (!name.empty()) {
        runs->bind(1, name);
    }
    runs->bind(2, std::int64_t{limit});
    std::vector<TaskRunEntry> out;
    int rc;
    while ((rc = runs->step()) == SQLITE_ROW) {
        TaskRunEntry e;
        e.task_name = runs->text(1);
        e.trigger = runs->text(2);
        e.started = readDate(*runs, 3).value_or(LocalDateTime{});
        e.ended = readDate(*runs, 4).value_or(LocalDateTime{});
        e.status = parseTaskStatus(runs->text(5)).value_or(TaskStatus::Failed);
        e.scanned = runs->integer(6);
        e.copied = runs->integer(7);
        e.failed = runs->integer(8);
        e.bytes = runs->integer(9);
        errors->reset();
        errors->bind(1, runs->integer(0));
        while (errors->step() == SQLITE_ROW) {
            e.errors.push_back(FileFailure{errors->text(0), errors->text(1)});
        }
        out.push_back(std::move(e));
    }
    if (rc != SQLITE_DONE) {
        return db_.failure(op);
    }
    return out;
}

Result<bool> TaskStore::recordTaskRun(const std::string& name, TaskStatus status,
                                      const LocalDateTime& now, std::optional<LocalDateTime> due,
                                      const std::string& volume, const TaskRunEntry* history) {
    const std::string op = "cannot record the run of a task in";
    return inTransaction<bool>(op, [&]() -> Result<bool> {
        auto rows = db_.prepare("SELECT rowid, task_interval, task_nextdate FROM tasks "
                                "WHERE task_name = ?1 ORDER BY rowid LIMIT 1",
                                op);
        if (!rows) {
            return std::unexpected(rows.error());
        }
        rows->bind(1, name);
        if (rows->step() != SQLITE_ROW) {
            return false; // deleted meanwhile: nothing to record
        }
        const auto rowid = rows->integer(0);
        const auto interval = TaskInterval::parse(rows->text(1));
        const auto last = due ? due : readDate(*rows, 2);
        auto update = interval
                          ? db_.prepare("UPDATE tasks SET task_lastdate = ?1, task_nextdate = ?2, "
                                        "task_success = ?3 WHERE rowid = ?4",
                                        op)
                          // An interval that cannot schedule keeps its run times.
                          : db_.prepare("UPDATE tasks SET task_success = ?3 WHERE rowid = ?4", op);
        if (!update) {
            return std::unexpected(update.error());
        }
        if (interval) {
            bindDate(*update, 1, last);
            update->bind(2, interval->nextRunTime(now).storage());
        }
        update->bind(3, statusText(status)).bind(4, rowid);
        if (update->step() != SQLITE_DONE) {
            return db_.failure(op);
        }
        if (history != nullptr) {
            if (auto ok = addHistory(*history); !ok) {
                return std::unexpected(ok.error());
            }
        }
        if (!volume.empty()) {
            auto remember = db_.prepare("UPDATE tasks SET task_volume = ?1 WHERE rowid = ?2", op);
            if (!remember) {
                return std::unexpected(remember.error());
            }
            remember->bind(1, volume).bind(2, rowid);
            if (remember->step() != SQLITE_DONE) {
                return db_.failure(op);
            }
        }
        return true;
    });
}

Result<void> TaskStore::rescheduleTasks(const Clock& clock) {
    const std::string op = "cannot reschedule tasks in";
    return inTransaction<void>(op, [&]() -> Result<void> {
        auto rows =
            db_.prepare("SELECT rowid, task_interval, task_nextdate, task_catchup FROM tasks", op);
        auto update = db_.prepare("UPDATE tasks SET task_nextdate = ?1 WHERE rowid = ?2", op);
        if (!rows || !update) {
            return db_.failure(op);
        }
        while (rows->step() == SQLITE_ROW) {
            const auto interval = TaskInterval::parse(rows->text(1));
            if (!interval) {
                continue;
            }
            // A task that catches up keeps its next run: one that has passed makes it due now.
            if (rows->integer(3) != 0 && readDate(*rows, 2)) {
                continue;
            }
            update->reset();
            update->bind(1, interval->nextRunTime(clock.now()).storage());
            update->bind(2, rows->integer(0));
            if (update->step() != SQLITE_DONE) {
                return db_.failure(op);
            }
        }
        return {};
    });
}

Result<bool> TaskStore::makeDue(const std::string& name, const LocalDateTime& now) {
    const std::string op = "cannot schedule a task in";
    return inTransaction<bool>(op, [&]() -> Result<bool> {
        auto update = db_.prepare("UPDATE tasks SET task_nextdate = ?1 WHERE task_name = ?2", op);
        if (!update) {
            return std::unexpected(update.error());
        }
        update->bind(1, now.storage()).bind(2, name);
        if (update->step() != SQLITE_DONE) {
            return db_.failure(op);
        }
        const bool changed = db_.changes() > 0;
        return changed;
    });
}

Result<bool> TaskStore::claimDue(const std::string& name, const LocalDateTime& due,
                                 const LocalDateTime& provisionalNext) {
    const std::string op = "cannot claim a due task in";
    return inTransaction<bool>(op, [&]() -> Result<bool> {
        auto claim = db_.prepare(
            "UPDATE tasks SET task_nextdate = ?1 WHERE task_name = ?2 AND task_nextdate = ?3", op);
        if (!claim) {
            return std::unexpected(claim.error());
        }
        claim->bind(1, provisionalNext.storage()).bind(2, name).bind(3, due.storage());
        if (claim->step() != SQLITE_DONE) {
            return db_.failure(op);
        }
        const bool won = db_.changes() == 1;
        return won;
    });
}

} // namespace tavelin
