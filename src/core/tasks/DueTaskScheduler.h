#pragma once

#include "tasks/TaskRunOutcome.h"
#include "util/Error.h"

#include <functional>

namespace tavelin {

class Clock;
class RunObserver;
class TaskRunner;
class TaskStore;

// One pass of the scheduler: every task due at or before now runs once, one after the other,
// each with its own stored selection. A task that falls due during the pass runs on the next.
class DueTaskScheduler {
  public:
    using Report = std::function<void(const TaskRunOutcome&)>;

    DueTaskScheduler(TaskStore& store, TaskRunner& runner, const Clock& clock)
        : store_(store), runner_(runner), clock_(clock) {}

    // Returns how many runs were made; `stop` ends the pass between two tasks.
    Result<int> runDueTasks(RunObserver* observer, const Report& report,
                            const std::function<bool()>& stop = {});

  private:
    TaskStore& store_;
    TaskRunner& runner_;
    const Clock& clock_;
};

} // namespace tavelin
