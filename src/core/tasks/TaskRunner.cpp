#include "core/tasks/TaskRunner.h"

#include "core/copy/CopyEngine.h"
#include "core/tasks/DriveWait.h"
#include "core/tasks/TaskInterval.h"
#include "core/tasks/TaskStore.h"
#include "core/util/Clock.h"

#include <algorithm>

namespace tavelin {

std::string TaskRunner::volumeAfter(const TaskRunOutcome& outcome) const {
    return outcome.ok() ? DriveWait::volumeOf(volumes_, outcome.task) : std::string();
}

TaskRunOutcome TaskRunner::execute(const TaskRecord& task, RunObserver* observer) {
    const Selection selection{task.task_source,      task.task_destination, task.task_filetypes,
                              task.task_subfolders,  task.task_uncpath,     task.task_keepversions,
                              task.task_versionsdays};
    TaskRunOutcome outcome;
    outcome.task = task;
    // Another file system where the task's drive should be (an empty mount point on the root
    // disk, most often): nothing is written.
    if (!task.task_volume.empty() && volumes_ != nullptr && !task.task_uncpath &&
        DriveWait::volumeOf(volumes_, task) != task.task_volume) {
        outcome.status = TaskStatus::Failed;
        outcome.firstFailure = kDriveAbsent;
        outcome.driveAbsent = true;
        outcome.finishedAt = clock_.now();
        return outcome;
    }
    auto run = engine_.runCopy(selection, observer);
    if (run) {
        outcome.run = std::move(*run);
        outcome.status = outcome.run.succeeded() ? TaskStatus::Ok : TaskStatus::Failed;
        if (!outcome.run.failures.empty()) {
            outcome.firstFailure = outcome.run.failures.front().reason;
        } else if (outcome.run.stopped) {
            outcome.firstFailure = "the run was stopped before the end";
        }
    } else {
        outcome.status = TaskStatus::Failed;
        outcome.firstFailure = run.error().message;
    }
    outcome.finishedAt = clock_.now();
    return outcome;
}

TaskRunEntry TaskRunner::entryFor(const TaskRunOutcome& o, const std::string& trigger,
                                  const LocalDateTime& started) {
    TaskRunEntry e;
    e.task_name = o.task.task_name;
    e.trigger = trigger;
    e.started = started;
    e.ended = o.finishedAt;
    e.status = o.run.stopped ? TaskStatus::Stopped : o.status;
    e.scanned = o.run.totals.totalFiles;
    e.copied = o.run.counters.filesCopied;
    e.bytes = o.run.counters.bytesCopied;
    e.failed = static_cast<std::int64_t>(o.run.failures.size());
    const std::size_t kept = std::min(o.run.failures.size(), TaskRunEntry::kMaxErrors);
    e.errors.assign(o.run.failures.begin(),
                    o.run.failures.begin() + static_cast<std::ptrdiff_t>(kept));
    if (!o.ok() && !o.run.stopped && o.run.failures.empty()) {
        // The run could not start at all: that is its one failure.
        e.failed = 1;
        e.errors.push_back(FileFailure{o.driveAbsent ? o.task.task_destination : o.task.task_source,
                                       o.firstFailure});
    }
    return e;
}

Result<TaskRunOutcome> TaskRunner::runNow(const std::string& name, RunObserver* observer,
                                          const std::string& trigger) {
    auto found = store_.findTask(name);
    if (!found) {
        return std::unexpected(found.error());
    }
    if (!*found) {
        return fail("no task named '" + name + "'", Error::Kind::NotFound);
    }
    return runAndRecord(**found, observer, trigger, std::nullopt);
}

Result<TaskRunOutcome> TaskRunner::runAndRecord(const TaskRecord& task, RunObserver* observer,
                                                const std::string& trigger,
                                                std::optional<LocalDateTime> due) {
    const LocalDateTime started = clock_.now();
    auto outcome = execute(task, observer);
    const TaskRunEntry entry = entryFor(outcome, trigger, started);
    if (auto ok = store_.recordTaskRun(task.task_name, outcome.status, outcome.finishedAt,
                                       due.value_or(started), volumeAfter(outcome), &entry);
        !ok) {
        return std::unexpected(ok.error());
    }
    return outcome;
}

Result<std::optional<TaskRunOutcome>>
TaskRunner::runDue(const TaskRecord& task, RunObserver* observer, const std::string& trigger) {
    const auto interval = TaskInterval::parse(task.task_interval);
    if (!interval || !task.task_nextdate) {
        return std::optional<TaskRunOutcome>();
    }
    // Claimed with a provisional next run, so a crash mid-run leaves the task scheduled.
    auto won =
        store_.claimDue(task.task_name, *task.task_nextdate, interval->nextRunTime(clock_.now()));
    if (!won) {
        return std::unexpected(won.error());
    }
    if (!*won) {
        return std::optional<TaskRunOutcome>();
    }
    auto outcome = runAndRecord(task, observer, trigger, task.task_nextdate);
    if (!outcome) {
        return std::unexpected(outcome.error());
    }
    return std::optional<TaskRunOutcome>(std::move(*outcome));
}

} // namespace tavelin
