#pragma once

#include "core/tasks/TaskRunEntry.h"
#include "core/tasks/TaskRunOutcome.h"
#include "core/util/Error.h"

#include <optional>

namespace tavelin {

class Clock;
class CopyEngine;
class RunObserver;
class TaskStore;
class VolumeIdentity;

// Runs a task with its own stored selection and records the run. Shared by
// `tavelin-cli tasks run`, `tavelin-cli serve` and the window's scheduler.
class TaskRunner {
  public:
    // With `volumes`, a task runs only onto the file system it was saved for, and the volume
    // is remembered after each good run.
    TaskRunner(TaskStore& store, const CopyEngine& engine, const Clock& clock,
               const VolumeIdentity* volumes = nullptr)
        : store_(store), engine_(engine), clock_(clock), volumes_(volumes) {}

    static constexpr const char* kDriveAbsent = "destination drive is not connected";

    // Runs the named task at once (not claimed; its last run becomes now). Every run goes into
    // the task's history with what started it (a TaskRunEntry trigger).
    Result<TaskRunOutcome> runNow(const std::string& name, RunObserver* observer = nullptr,
                                  const std::string& trigger = TaskRunEntry::kManual);

    // Claims a due task and runs it; nothing when another scheduler claimed it first.
    Result<std::optional<TaskRunOutcome>>
    runDue(const TaskRecord& task, RunObserver* observer = nullptr,
           const std::string& trigger = TaskRunEntry::kSchedule);

    // The history row of a finished run.
    static TaskRunEntry entryFor(const TaskRunOutcome& outcome, const std::string& trigger,
                                 const LocalDateTime& started);

  private:
    TaskRunOutcome execute(const TaskRecord& task, RunObserver* observer);
    // Runs the task and records the run, its history entry and (after a good run) its volume;
    // The last run is recorded at `due`, or at the start when it has none (a run on demand).
    Result<TaskRunOutcome> runAndRecord(const TaskRecord& task, RunObserver* observer,
                                        const std::string& trigger,
                                        std::optional<LocalDateTime> due);
    // The volume to remember after the run: the current one after a good run, else nothing.
    std::string volumeAfter(const TaskRunOutcome& outcome) const;

    TaskStore& store_;
    const CopyEngine& engine_;
    const Clock& clock_;
    const VolumeIdentity* volumes_;
};

} // namespace tavelin
