#pragma once

#include "core/tasks/SqliteDatabase.h"
#include "core/tasks/TaskRecord.h"
#include "core/tasks/TaskRunEntry.h"
#include "core/util/Error.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tavelin {

class Clock;

// The scheduled tasks in tasks.db. Every value is bound, every write runs in BEGIN IMMEDIATE,
// and the file is shared safely by the window and `tavelin-cli serve`.
class TaskStore {
  public:
    static constexpr int kSchemaVersion = 6;
    // Runs kept per task; older ones go as new ones come.
    static constexpr int kHistoryPerTask = 1000;

    // Opens the file (created with its table when missing; an older file upgraded in place).
    static Result<TaskStore> open(const std::string& path);

    // Saves a new task; its last run is `now` and its next run `now` plus the interval.
    // Fails with "Task name already exist!", "Please enter or select the update interval!",
    // "Please enter a task name!" (empty or blank), for control characters in the name, and
    // for an empty source or destination.
    Result<TaskRecord> addTask(const TaskRecord& draft, const LocalDateTime& now);
    // True when a task of that name was deleted (its history with it).
    Result<bool> deleteTask(const std::string& name);
    // Records a run that ended at `now`: the last run becomes `due` (the claimed due time; by
    // default the task's next run time as it stood), the next run `now` plus the interval;
    // a non-empty `volume` becomes the task's destination volume. Does nothing for a name that
    // no longer exists.
    Result<bool> recordTaskRun(const std::string& name, TaskStatus status, const LocalDateTime& now,
                               std::optional<LocalDateTime> due = std::nullopt,
                               const std::string& volume = {},
                               const TaskRunEntry* history = nullptr);
    // The runs of one task (every task's when `name` is empty), newest first, with their kept
    // failures. Fails with Kind::NotFound for a name that is no task.
    Result<std::vector<TaskRunEntry>> history(const std::string& name, int limit);
    // At a scheduler's start: a task that catches up keeps its next run (one that has passed
    // runs soon); any other task gets its next run one interval after now. No task's last run
    // changes, since no run happened.
    Result<void> rescheduleTasks(const Clock& clock);
    // The task falls due at `now` (its drive has come back). False for an unknown name.
    Result<bool> makeDue(const std::string& name, const LocalDateTime& now);

    Result<std::vector<TaskRecord>> listTasks();
    Result<std::optional<TaskRecord>> findTask(const std::string& name);
    // Tasks whose next run is at or before `now`, earliest first; never one whose interval
    // cannot schedule it.
    Result<std::vector<TaskRecord>> dueTasks(const LocalDateTime& now);
    // Takes a due run for this process: moves the next run from `due` to `provisionalNext` only
    // where it still is `due`. False when another scheduler took it first.
    Result<bool> claimDue(const std::string& name, const LocalDateTime& due,
                          const LocalDateTime& provisionalNext);

    const std::string& path() const { return db_.path(); }
    // False once the file at path() is no longer the one opened (replaced or deleted).
    bool isStillTheFile() const;

  private:
    explicit TaskStore(SqliteDatabase db) : db_(std::move(db)) {}
    Result<void> migrate();
    Result<std::int64_t> schemaVersion(const std::string& op);
    // Brings an older file's tasks table to this version; every row is kept.
    Result<void> upgradeTasksTable(const std::set<std::string>& present, const std::string& op);
    Result<void> addHistory(const TaskRunEntry& entry);
    // Removes all but the newest `keep` runs of a task from its history (0: all of them).
    Result<void> keepNewestRuns(const std::string& name, int keep, const std::string& operation);
    // Runs `body` inside BEGIN IMMEDIATE ... COMMIT; a failed body rolls back.
    template <class T, class Body> Result<T> inTransaction(const std::string& operation, Body body);
    Result<std::vector<TaskRecord>> select(const std::string& where, const std::string& operation,
                                           const std::string& bound = {});

    SqliteDatabase db_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

} // namespace tavelin
