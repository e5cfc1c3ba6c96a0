#pragma once

#include "core/tasks/DriveWait.h"
#include "core/tasks/TaskRecord.h"
#include "core/tasks/TaskRunOutcome.h"
#include "core/util/Error.h"

#include <string>
#include <vector>

namespace tavelin {

class TaskStore;
class VolumeIdentity;

// Which tasks are due, and what made each due: the rules every scheduler shares (the window's
// tick runs the tasks through its own queue and thread, `serve` one after the other). It runs
// nothing itself.
class DuePass {
  public:
    struct DueRun {
        TaskRecord task;
        std::string trigger; // one of TaskRunEntry's triggers
    };

    // Runs missed before `startedAt` are catch-up runs.
    DuePass(const VolumeIdentity* volumes, const LocalDateTime& startedAt)
        : driveWait_(volumes), startedAt_(startedAt) {}

    void restart(const LocalDateTime& startedAt) { startedAt_ = startedAt; }

    // Every task due at or before `now`, oldest first, each with its trigger.
    Result<std::vector<DueRun>> dueNow(TaskStore& store, const LocalDateTime& now);

    // A run finished: a task whose drive was absent waits for it to come back.
    void recorded(const TaskRunOutcome& outcome) { driveWait_.recorded(outcome); }

    // Something was mounted or unmounted: a waiting task whose drive is back falls due now, so
    // the next pass runs it. Returns how many did.
    Result<int> drivesChanged(TaskStore& store, const LocalDateTime& now);
    bool waitingForDrive() const { return !driveWait_.empty(); }

  private:
    std::string triggerFor(const TaskRecord& task);

    DriveWait driveWait_;
    LocalDateTime startedAt_;
};

} // namespace tavelin
