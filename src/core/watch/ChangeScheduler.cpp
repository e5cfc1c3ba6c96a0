#include "core/watch/ChangeScheduler.h"

#include "core/util/Clock.h"

#include <algorithm>
#include <set>

namespace tavelin {

std::string ChangeScheduler::keyOf(const TaskRecord& t) {
    return t.task_source + '\n' + t.task_destination + '\n' + std::to_string(t.task_subfolders) +
           '\n' + std::to_string(t.task_settle);
}

std::vector<ChangeScheduler::Notice> ChangeScheduler::sync(const std::vector<TaskRecord>& tasks) {
    std::vector<Notice> notices;
    std::set<std::string> wanted;
    for (const auto& t : tasks) {
        if (!t.task_onchange) {
            continue;
        }
        wanted.insert(t.task_name);
        Watched& w = tasks_[t.task_name];
        const std::string key = keyOf(t);
        if (w.watcher && w.key == key) {
            continue;
        }
        w.key = key;
        w.settle = std::clamp(t.task_settle, 1, 3600);
        w.watcher = std::make_unique<FolderWatcher>(
            t.task_source, t.task_subfolders, t.task_uncpath ? std::string() : t.task_destination,
            api_);
        if (!w.watcher->start() && !w.told) {
            w.told = true;
            notices.push_back(Notice{t.task_name, w.watcher->neededWatches()});
        }
    }
    std::erase_if(tasks_, [&](const auto& entry) { return wanted.count(entry.first) == 0; });
    return notices;
}

void ChangeScheduler::poll() {
    for (auto& [name, w] : tasks_) {
        if (w.watcher && w.watcher->readChanges()) {
            w.pending = true;
            w.lastChange = clock_.now();
        }
    }
}

std::vector<std::string> ChangeScheduler::due() {
    std::vector<std::string> out;
    const LocalDateTime now = clock_.now();
    for (auto& [name, w] : tasks_) {
        if (w.pending && !w.running && w.lastChange.addSeconds(w.settle) <= now) {
            w.pending = false;
            w.running = true;
            out.push_back(name);
        }
    }
    return out;
}

bool ChangeScheduler::anyDue() const {
    const LocalDateTime now = clock_.now();
    return std::any_of(tasks_.begin(), tasks_.end(), [&](const auto& entry) {
        const Watched& w = entry.second;
        return w.pending && !w.running && w.lastChange.addSeconds(w.settle) <= now;
    });
}

void ChangeScheduler::postpone(const std::string& task) {
    if (const auto it = tasks_.find(task); it != tasks_.end()) {
        it->second.running = false;
        it->second.pending = true;
        it->second.lastChange = clock_.now();
    }
}

void ChangeScheduler::finished(const std::string& task) {
    if (const auto it = tasks_.find(task); it != tasks_.end()) {
        it->second.running = false;
    }
}

} // namespace tavelin
