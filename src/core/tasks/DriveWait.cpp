#include "core/tasks/DriveWait.h"

#include "core/platform/VolumeIdentity.h"
#include "core/tasks/TaskStore.h"

namespace tavelin {

std::string DriveWait::volumeOf(const VolumeIdentity* volumes, const TaskRecord& task) {
    if (volumes == nullptr || task.task_uncpath) {
        return {};
    }
    return volumes->uuidOf(task.task_destination);
}

void DriveWait::recorded(const TaskRunOutcome& outcome) {
    if (outcome.driveAbsent) {
        waiting_.insert(outcome.task.task_name);
    } else {
        waiting_.erase(outcome.task.task_name);
    }
}

Result<int> DriveWait::drivesChanged(TaskStore& store, const LocalDateTime& now) {
    int due = 0;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        auto task = store.findTask(*it);
        if (!task) {
            return std::unexpected(task.error());
        }
        if (!*task) {
            it = waiting_.erase(it); // removed meanwhile
            continue;
        }
        if (volumeOf(volumes_, **task) != (*task)->task_volume) {
            ++it;
            continue;
        }
        if (auto ok = store.makeDue(*it, now); !ok) {
            return std::unexpected(ok.error());
        }
        ++due;
        returned_.insert(*it);
        it = waiting_.erase(it);
    }
    return due;
}

} // namespace tavelin
