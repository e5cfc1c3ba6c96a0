#include "cli/ServeLoop.h"

#include "cli/Context.h"
#include "cli/StoreOpener.h"
#include "cli/TerminalText.h"
#include "core/copy/RunSummary.h"
#include "core/tasks/TaskRunEntry.h"
#include "core/tasks/TaskStore.h"
#include "core/util/Clock.h"

#include <ostream>

namespace tavelin::cli {

ServeLoop::ServeLoop(TaskStore& store, const std::string* dbOption, Context& context)
    : store_(store), dbOption_(dbOption), context_(context),
      engine_(context.volumes, context.fileOps),
      runner_(store, engine_, context.clock, &context.volumeIdentity),
      scheduler_(store, runner_, context.clock, &context.volumeIdentity),
      changes_(context.clock, inotify_) {}

bool ServeLoop::run() {
    while (!stopRequested()) {
        reopenIfReplaced();
        watchChanges();
        runChangedTasks();
        runDueTasks();
        waitForNextPass();
    }
    return anyFailed_;
}

bool ServeLoop::stopRequested() const {
    return context_.stop.load();
}

// The task file replaced or deleted (restored from a backup, say): the tasks are those of
// the file that is there now.
void ServeLoop::reopenIfReplaced() {
    if (store_.isStillTheFile()) {
        return;
    }
    auto reopened = StoreOpener::open(dbOption_, context_);
    if (reopened) {
        store_ = std::move(*reopened);
        context_.err << "tavelin-cli serve: " << TerminalText::escape(store_.path())
                     << " was replaced or deleted; opened it again" << std::endl;
    }
}

void ServeLoop::watchChanges() {
    auto tasks = store_.listTasks();
    if (!tasks) {
        return;
    }
    for (const auto& n : changes_.sync(*tasks)) {
        context_.err << "tavelin-cli serve: task '" << TerminalText::escape(n.task)
                     << "' runs on its interval only: watching its source for changes needs "
                     << n.neededWatches
                     << " folder watches, more than fs.inotify.max_user_watches allows"
                     << std::endl;
    }
}

void ServeLoop::runChangedTasks() {
    changes_.poll();
    for (const auto& name : changes_.due()) {
        if (stopRequested()) {
            break;
        }
        auto outcome = runner_.runNow(name, this, TaskRunEntry::kChange);
        if (outcome) {
            report(*outcome);
        }
        changes_.finished(name);
    }
}

void ServeLoop::runDueTasks() {
    auto runs = scheduler_.runDueTasks(
        this, [this](const TaskRunOutcome& o) { report(o); }, [this] { return stopRequested(); });
    if (runs) {
        lastError_.clear();
        return;
    }
    // A busy or vanished file must not end the scheduler; say so once and retry.
    if (runs.error().message != lastError_) {
        context_.err << "tavelin-cli serve: " << runs.error().message << std::endl;
        lastError_ = runs.error().message;
    }
}

// A second between passes, woken early by a settled source or by a mount: a returning
// drive's task then runs on the next pass.
void ServeLoop::waitForNextPass() {
    for (int i = 0; i < 10 && !stopRequested(); ++i) {
        changes_.poll();
        if (changes_.anyDue()) {
            return;
        }
        if (mounts_.changed(100) && scheduler_.waitingForDrive()) {
            if (auto due = scheduler_.drivesChanged(); due && *due > 0) {
                return;
            }
        }
    }
}

void ServeLoop::report(const TaskRunOutcome& o) {
    const auto& r = o.run;
    context_.out << TerminalText::escape(o.task.task_name) << " -:- " << o.status << " -:- "
                 << RunSummary::line(o.finishedAt, r.totals.totalFiles, r.counters.filesCopied,
                                     r.counters.bytesCopied);
    if (!o.ok()) {
        context_.out << " -:- " << TerminalText::escape(o.firstFailure);
        anyFailed_ = true;
    }
    context_.out << std::endl;
}

} // namespace tavelin::cli
