#pragma once

#include "core/tasks/TaskRecord.h"
#include "core/util/LocalDateTime.h"
#include "core/watch/FolderWatcher.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tavelin {

class Clock;
class InotifyApi;

// Tasks that also copy when their source changes. Each has a folder watcher; a task falls due
// once its source has been quiet for its settle time after a change. A task runs at most once
// at a time, and a change during its run brings one more run after it.
class ChangeScheduler {
  public:
    ChangeScheduler(const Clock& clock, InotifyApi& api) : clock_(clock), api_(api) {}

    // A task that can only follow its interval: its source needs more folder watches than the
    // user may have (fs.inotify.max_user_watches).
    struct Notice {
        std::string task;
        std::size_t neededWatches = 0;
    };

    // Brings the watchers in line with the tasks: new on-change tasks are watched, removed or
    // changed ones dropped. Returns the watch-limit notices not told before.
    std::vector<Notice> sync(const std::vector<TaskRecord>& tasks);
    // Reads what the watchers saw, without blocking.
    void poll();
    // The tasks due for a change run now; they count as running until finished().
    std::vector<std::string> due();
    // Some task would be due now (nothing is marked).
    bool anyDue() const;
    void finished(const std::string& task);
    // A due task could not run now (it is running already): it falls due again after its
    // settle time, so the change is not lost.
    void postpone(const std::string& task);
    std::size_t watchedTasks() const { return tasks_.size(); }

  private:
    struct Watched {
        std::string key; // what the watcher was built from
        int settle = 10;
        std::unique_ptr<FolderWatcher> watcher;
        bool pending = false;
        LocalDateTime lastChange{};
        bool running = false;
        bool told = false;
    };

    static std::string keyOf(const TaskRecord& task);

    const Clock& clock_;
    InotifyApi& api_;
    std::map<std::string, Watched> tasks_;
};

} // namespace tavelin
