#pragma once

#include "core/tasks/DuePass.h"
#include "core/tasks/TaskRunOutcome.h"
#include "core/util/Error.h"

#include <functional>

namespace tavelin {

class Clock;
class RunObserver;
class TaskRunner;
class TaskStore;
class VolumeIdentity;

// One pass of the scheduler: every task due at or before now runs once, one after the other,
// each with its own stored selection. A task that falls due during the pass runs on the next.
class DueTaskScheduler {
  public:
    using Report = std::function<void(const TaskRunOutcome&)>;

    DueTaskScheduler(TaskStore& store, TaskRunner& runner, const Clock& clock,
                     const VolumeIdentity* volumes = nullptr);

    // Returns how many runs were made; `stop` ends the pass between two tasks.
    Result<int> runDueTasks(RunObserver* observer, const Report& report,
                            const std::function<bool()>& stop = {});

    // Something was mounted or unmounted: a task that failed because its drive was absent
    // falls due now when that drive is back, so the next pass runs it. Returns how many.
    Result<int> drivesChanged();
    bool waitingForDrive() const { return due_.waitingForDrive(); }

  private:
    TaskStore& store_;
    TaskRunner& runner_;
    const Clock& clock_;
    DuePass due_;
};

} // namespace tavelin
