#pragma once

#include "core/copy/RunResult.h"
#include "core/tasks/TaskRecord.h"
#include "core/tasks/TaskStatus.h"
#include "core/util/LocalDateTime.h"

#include <string>

namespace tavelin {

// What one run of a task did, as recorded in the store.
struct TaskRunOutcome {
    TaskRecord task;                        // the task as it was examined before the run
    RunResult run;                          // empty when the run could not start
    TaskStatus status = TaskStatus::Failed; // Ok or Failed
    std::string firstFailure;
    LocalDateTime finishedAt;
    // The run wrote nothing because the destination's drive is not the one the task was saved
    // for (typically unplugged); it runs again when that drive comes back.
    bool driveAbsent = false;

    bool ok() const { return status == TaskStatus::Ok; }
};

} // namespace tavelin
