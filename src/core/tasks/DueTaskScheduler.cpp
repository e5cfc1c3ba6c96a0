#include "tasks/DueTaskScheduler.h"

#include "tasks/TaskRunner.h"
#include "tasks/TaskStore.h"
#include "util/Clock.h"

namespace tavelin {

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
        auto outcome = runner_.runDue(task, observer);
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
