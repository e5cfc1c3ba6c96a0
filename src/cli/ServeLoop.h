#pragma once

#include "core/copy/CopyEngine.h"
#include "core/copy/RunObserver.h"
#include "core/platform/MountWatch.h"
#include "core/tasks/DueTaskScheduler.h"
#include "core/tasks/TaskRunner.h"
#include "core/watch/ChangeScheduler.h"
#include "core/watch/InotifyApi.h"

#include <string>

namespace tavelin {
class TaskStore;
struct TaskRunOutcome;
} // namespace tavelin

namespace tavelin::cli {

struct Context;

// One serve session: passes over the tasks (changed sources first, then what is due) until a
// stop is asked for. Its runs stop between files once it is.
class ServeLoop final : private RunObserver {
  public:
    // `dbOption`: --db as given, or null; used again when the file is replaced.
    ServeLoop(TaskStore& store, const std::string* dbOption, Context& context);

    // True when a run failed during the session.
    bool run();

  private:
    bool stopRequested() const override;
    void reopenIfReplaced();
    void watchChanges();
    void runChangedTasks();
    void runDueTasks();
    void waitForNextPass();
    void report(const TaskRunOutcome& o);

    TaskStore& store_;
    const std::string* dbOption_;
    Context& context_;
    const CopyEngine engine_;
    TaskRunner runner_;
    DueTaskScheduler scheduler_;
    MountWatch mounts_;
    InotifyApi inotify_;
    ChangeScheduler changes_;
    bool anyFailed_ = false;
    std::string lastError_;
};

} // namespace tavelin::cli
