#include "core/tasks/DueTaskScheduler.h"

#include "core/tasks/TaskRunner.h"
#include "core/tasks/TaskStore.h"
#include "core/util/Clock.h"

namespace tavelin {

DueTaskScheduler::DueTaskScheduler(TaskStore& store, TaskRunner& runner, const Clock& clock,
                                   const VolumeIdentity* volumes)
    : store_(store), runner_(runner), clock_(clock), driveWait_(volumes), startedAt_(clock.now()) {}

std::string DueTaskScheduler::triggerFor(const TaskRecord& task) {
    if (driveWait_.takeReturned(task.task_name)) {
        return TaskRunEntry::kDrive;
    }
    if (task.task_nextdate && *task.task_nextdate < startedAt_) {
        return TaskRunEntry::kCatchUp;
    }
    return TaskRunEntry::kSchedule;
}

Result<int> DueTaskScheduler::runDueTasks(RunObserver* observer, const Report& report,
                                          const std::function<bool()>& stop) {
    auto due = store_.dueTasks(clock_.now());
    if (!due) {
        return std::unexpected(due.error());
    }
    int runs = 0;
    for (const auto& task : *due) {
        if (stop && stop()) {
            break;
        }
        auto outcome = runner_.runDue(task, observer, triggerFor(task));
        if (!outcome) {
            return std::unexpected(outcome.error());
        }
        if (*outcome) {
            ++runs;
            driveWait_.recorded(**outcome);
            if (report) {
                report(**outcome);
            }
        }
    }
    return runs;
}

Result<int> DueTaskScheduler::drivesChanged() {
    return driveWait_.drivesChanged(store_, clock_.now());
}

} // namespace tavelin
