#include "cli/ServeCommand.h"

#include "cli/Arguments.h"
#include "cli/Context.h"
#include "cli/ExitCode.h"
#include "cli/StoreOpener.h"
#include "cli/TerminalText.h"
#include "core/copy/CopyEngine.h"
#include "core/copy/RunObserver.h"
#include "core/copy/RunSummary.h"
#include "core/platform/MountWatch.h"
#include "core/platform/VolumeIdentity.h"
#include "core/tasks/DueTaskScheduler.h"
#include "core/tasks/TaskRunner.h"
#include "core/util/Clock.h"
#include "core/watch/ChangeScheduler.h"
#include "core/watch/InotifyApi.h"

#include <ostream>

namespace tavelin::cli {

namespace {

class StopObserver final : public RunObserver {
  public:
    explicit StopObserver(const std::atomic<bool>& stop) : stop_(stop) {}
    bool stopRequested() const override { return stop_.load(); }

  private:
    const std::atomic<bool>& stop_;
};

} // namespace

std::string ServeCommand::summary() const {
    return "run the scheduled tasks when they are due, until stopped";
}

std::string ServeCommand::usage() const {
    return "usage: tavelin-cli serve [--db PATH]\n"
           "Runs each task when its next run time comes, printing one line per run. A task\n"
           "that catches up and missed its run while nothing ran it runs soon after the\n"
           "start; any other task is rescheduled one interval from now. A task that failed\n"
           "because its drive was not connected runs again as soon as that drive is mounted.\n"
           "Ctrl-C, SIGTERM or SIGHUP ends it; a run under way stops between files and\n"
           "leaves no partial file. A task file that is replaced or deleted meanwhile is\n"
           "opened again.\n";
}

int ServeCommand::run(const std::vector<std::string>& args, Context& context) {
    auto parsed = Arguments::parse(args, {}, {"--db"});
    if (!parsed || !parsed->positionals().empty()) {
        context.err << "tavelin-cli serve: "
                    << (parsed ? "takes no arguments" : parsed.error().message) << "\n"
                    << usage();
        return kUsage;
    }
    auto store = StoreOpener::open(parsed->value("--db"), context);
    if (!store) {
        context.err << "tavelin-cli serve: " << store.error().message << "\n";
        return kUsage;
    }
    if (auto ok = store->rescheduleTasks(context.clock); !ok) {
        context.err << "tavelin-cli serve: " << ok.error().message << "\n";
        return kUsage;
    }
    context.err << "tavelin-cli serve: running the tasks of " << store->path() << "\n";

    const CopyEngine engine(context.volumes, context.fileOps);
    TaskRunner runner(*store, engine, context.clock, &context.volumeIdentity);
    DueTaskScheduler scheduler(*store, runner, context.clock, &context.volumeIdentity);
    StopObserver observer(context.stop);
    MountWatch mounts;
    InotifyApi inotify;
    ChangeScheduler changes(context.clock, inotify);
    const auto watchChanges = [&] {
        auto tasks = store->listTasks();
        if (!tasks) {
            return;
        }
        for (const auto& n : changes.sync(*tasks)) {
            context.err << "tavelin-cli serve: task '" << TerminalText::escape(n.task)
                        << "' runs on its interval only: watching its source for changes needs "
                        << n.neededWatches
                        << " folder watches, more than fs.inotify.max_user_watches allows"
                        << std::endl;
        }
    };
    bool anyFailed = false;
    std::string lastError;

    const auto report = [&](const TaskRunOutcome& o) {
        const auto& r = o.run;
        context.out << TerminalText::escape(o.task.task_name) << " -:- " << o.status << " -:- "
                    << RunSummary::line(o.finishedAt, r.totals.totalFiles, r.counters.filesCopied,
                                        r.counters.bytesCopied);
        if (!o.ok()) {
            context.out << " -:- " << TerminalText::escape(o.firstFailure);
            anyFailed = true;
        }
        context.out << std::endl;
    };

    while (!context.stop.load()) {
        // The task file replaced or deleted (restored from a backup, say): the tasks are those
        // of the file that is there now.
        if (!store->isStillTheFile()) {
            auto reopened = StoreOpener::open(parsed->value("--db"), context);
            if (reopened) {
                *store = std::move(*reopened);
                context.err << "tavelin-cli serve: " << TerminalText::escape(store->path())
                            << " was replaced or deleted; opened it again" << std::endl;
            }
        }
        watchChanges();
        changes.poll();
        for (const auto& name : changes.due()) {
            if (context.stop.load()) {
                break;
            }
            auto outcome = runner.runNow(name, &observer, TaskRunEntry::kChange);
            if (outcome) {
                report(*outcome);
            }
            changes.finished(name);
        }
        auto runs = scheduler.runDueTasks(&observer, report, [&] { return context.stop.load(); });
        if (!runs) {
            // A busy or vanished file must not end the scheduler; say so once and retry.
            if (runs.error().message != lastError) {
                context.err << "tavelin-cli serve: " << runs.error().message << std::endl;
                lastError = runs.error().message;
            }
        } else {
            lastError.clear();
        }
        // A second between passes, woken early by a mount: a returning drive's task then
        // runs on the next pass.
        for (int i = 0; i < 10 && !context.stop.load(); ++i) {
            changes.poll();
            if (changes.anyDue()) {
                break; // a source has settled: its run goes now
            }
            if (mounts.changed(100) && scheduler.waitingForDrive()) {
                if (auto due = scheduler.drivesChanged(); due && *due > 0) {
                    break;
                }
            }
        }
    }
    context.err << "tavelin-cli serve: stopped" << std::endl;
    return anyFailed ? kFailures : kDone;
}

} // namespace tavelin::cli
