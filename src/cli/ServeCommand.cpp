#include "ServeCommand.h"

#include "Arguments.h"
#include "Context.h"
#include "ExitCode.h"
#include "StoreOpener.h"
#include "copy/CopyEngine.h"
#include "copy/RunObserver.h"
#include "copy/RunSummary.h"
#include "tasks/DueTaskScheduler.h"
#include "tasks/TaskRunner.h"
#include "util/Clock.h"

#include <chrono>
#include <ostream>
#include <thread>

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
           "Reschedules every task one interval from now, then runs each task when its next\n"
           "run time comes, printing one line per run. Ctrl-C, SIGTERM or SIGHUP ends it; a run "
           "under\n"
           "way stops between files and leaves no partial file.\n";
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
    if (auto ok = store->RescheduleTasks(context.clock); !ok) {
        context.err << "tavelin-cli serve: " << ok.error().message << "\n";
        return kUsage;
    }
    context.err << "tavelin-cli serve: running the tasks of " << store->path() << "\n";

    const CopyEngine engine(context.volumes, context.fileOps);
    TaskRunner runner(*store, engine, context.clock);
    DueTaskScheduler scheduler(*store, runner, context.clock);
    StopObserver observer(context.stop);
    bool anyFailed = false;
    std::string lastError;

    const auto report = [&](const TaskRunOutcome& o) {
        const auto& r = o.run;
        context.out << o.task.task_name << " -:- " << o.status << " -:- "
                    << RunSummary::line(o.finishedAt, r.totals.totalFiles, r.counters.filesCopied,
                                        r.counters.bytesCopied);
        if (!o.ok()) {
            context.out << " -:- " << o.firstFailure;
            anyFailed = true;
        }
        context.out << std::endl;
    };

    while (!context.stop.load()) {
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
        for (int i = 0; i < 10 && !context.stop.load(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    context.err << "tavelin-cli serve: stopped" << std::endl;
    return anyFailed ? kFailures : kDone;
}

} // namespace tavelin::cli
