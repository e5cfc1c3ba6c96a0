#pragma once

#include "core/tasks/TaskRunOutcome.h"
#include "core/util/Error.h"

#include <set>
#include <string>

namespace tavelin {

class TaskStore;
class VolumeIdentity;

// Tasks whose last run found another file system where their drive should be. They fall due
// as soon as that drive is mounted again, rather than an interval later.
class DriveWait {
  public:
    explicit DriveWait(const VolumeIdentity* volumes) : volumes_(volumes) {}

    // The volume a task's destination lies on now; empty for a typed network path or when
    // there is no way to tell.
    static std::string volumeOf(const VolumeIdentity* volumes, const TaskRecord& task);

    // Notes a finished run: a task waits after its drive was absent, and no longer after any
    // other run.
    void recorded(const TaskRunOutcome& outcome);
    bool empty() const { return waiting_.empty(); }
    const std::set<std::string>& waiting() const { return waiting_; }

    // Something was mounted or unmounted: each waiting task whose drive is back falls due at
    // `now`. Returns how many did.
    Result<int> drivesChanged(TaskStore& store, const LocalDateTime& now);
    // True once for a task made due by its drive's return (its run was started by the drive).
    bool takeReturned(const std::string& name) { return returned_.erase(name) > 0; }

  private:
    const VolumeIdentity* volumes_;
    std::set<std::string> waiting_;
    std::set<std::string> returned_;
};

} // namespace tavelin
