#include "core/tasks/DuePass.h"

#include "core/tasks/TaskRunEntry.h"
#include "core/tasks/TaskStore.h"

namespace tavelin {

std::string DuePass::triggerFor(const TaskRecord& task) {
    if (driveWait_.takeReturned(task.task_name)) {
        return TaskRunEntry::kDrive;
    }
    if (task.task_nextdate && *task.task_nextdate < startedAt_) {
        return TaskRunEntry::kCatchUp;
    }
    return TaskRunEntry::kSchedule;
}

Result<std::vector<DuePass::DueRun>> DuePass::dueNow(TaskStore& store, const LocalDateTime& now) {
    auto due = store.dueTasks(now);
    if (!due) {
        return std::unexpected(due.error());
    }
    std::vector<DueRun> runs;
    runs.reserve(due->size());
    for (auto& task : *due) {
        std::string trigger = triggerFor(task);
        runs.push_back({std::move(task), std::move(trigger)});
    }
    return runs;
}

Result<int> DuePass::drivesChanged(TaskStore& store, const LocalDateTime& now) {
    if (driveWait_.empty()) {
        return 0;
    }
    return driveWait_.drivesChanged(store, now);
}

} // namespace tavelin
