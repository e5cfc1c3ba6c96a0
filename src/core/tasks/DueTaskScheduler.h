#pragma once

#include "core/tasks/DriveWait.h"
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

    // What started the run of a due task: its drive's return, a run missed before this
    // scheduler started (catch-up), or its schedule.
    std::string triggerFor(const TaskRecord& task);

    // Returns how many runs were made; `stop` ends the pass between two tasks.
    Result<int> runDueTasks(RunObserver* observer, const Report& report,
                            const std::function<bool()>& stop = {});

    // Something was mounted or unmounted: a task that failed because its drive was absent
    // falls due now when that drive is back, so the next pass runs it. Returns how many.
    Result<int> drivesChanged();
    bool waitingForDrive() const { return !driveWait_.empty(); }

  private:
    TaskStore& store_;
    TaskRunner& runner_;
    const Clock& clock_;
    DriveWait driveWait_;
    LocalDateTime startedAt_;
};

} // namespace tavelin
