#pragma once

#include "tasks/TaskRunOutcome.h"
#include "util/Error.h"

#include <optional>

namespace tavelin {

class Clock;
class CopyEngine;
class RunObserver;
class TaskStore;

// Runs a task with its own stored selection and records the run. Shared by
// `tavelin-cli tasks run`, `tavelin-cli serve` and the window's scheduler.
class TaskRunner {
  public:
    TaskRunner(TaskStore& store, const CopyEngine& engine, const Clock& clock)
        : store_(store), engine_(engine), clock_(clock) {}

    // Runs the named task at once (not claimed; its last run becomes now).
    Result<TaskRunOutcome> runNow(const std::string& name, RunObserver* observer = nullptr);

    // Claims a due task and runs it; nothing when another scheduler claimed it first.
    Result<std::optional<TaskRunOutcome>> runDue(const TaskRecord& task,
                                                 RunObserver* observer = nullptr);

  private:
    TaskRunOutcome execute(const TaskRecord& task, RunObserver* observer);

    TaskStore& store_;
    const CopyEngine& engine_;
    const Clock& clock_;
};

} // namespace tavelin
