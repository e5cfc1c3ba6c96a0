#include "core/tasks/DueTaskScheduler.h"

#include "core/tasks/TaskRunner.h"
#include "core/tasks/TaskStore.h"
#include "core/util/Clock.h"

namespace tavelin {

DueTaskScheduler::DueTaskScheduler(TaskStore& store, TaskRunner& runner, const Clock& clock,
                                   const VolumeIdentity* volumes)
    : store_(store), runner_(runner), clock_(clock), due_(volumes, clock.now()) {}

Result<int> DueTaskScheduler::runDueTasks(RunObserver* observer, const Report& report,
                                          const std::function<bool()>& stop) {
    auto due = due_.dueNow(store_, clock_.now());
    if (!due) {
        return std::unexpected(due.error());
    }
    int runs = 0;
    for (const auto& [task, trigger] : *due) {
        if (stop && stop()) {
            break;
        }
        auto outcome = runner_.runDue(task, observer, trigger);
        if (!outcome) {
            return std::unexpected(outcome.error());
        }
        if (*outcome) {
            ++runs;
            due_.recorded(**outcome);
            if (report) {
                report(**outcome);
            }
        }
    }
    return runs;
}

Result<int> DueTaskScheduler::drivesChanged() {
    return due_.drivesChanged(store_, clock_.now());
}

} // namespace tavelin
