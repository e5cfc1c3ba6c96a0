#include "cli/ServeCommand.h"

#include "cli/Arguments.h"
#include "cli/Context.h"
#include "cli/ExitCode.h"
#include "cli/ServeLoop.h"
#include "cli/StoreOpener.h"
#include "core/util/Clock.h"

#include <ostream>

namespace tavelin::cli {

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

    const bool anyFailed = ServeLoop(*store, parsed->value("--db"), context).run();
    context.err << "tavelin-cli serve: stopped" << std::endl;
    return anyFailed ? kFailures : kDone;
}

} // namespace tavelin::cli
