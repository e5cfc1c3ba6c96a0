#include "cli/TasksCommand.h"

#include "cli/Arguments.h"
#include "cli/Context.h"
#include "cli/ExitCode.h"
#include "cli/Paths.h"
#include "cli/ProgressLine.h"
#include "cli/StoreOpener.h"
#include "cli/TaskTable.h"
#include "cli/TerminalText.h"
#include "cli/VersionOptions.h"
#include "core/copy/CopyEngine.h"
#include "core/copy/RunSummary.h"
#include "core/copy/WildcardPattern.h"
#include "core/platform/VolumeIdentity.h"
#include "core/tasks/TaskRunner.h"
#include "core/tasks/UpdateRates.h"
#include "core/util/Clock.h"

#include <ostream>

namespace tavelin::cli {

std::string TasksCommand::summary() const {
    return "list, add, remove or run the scheduled tasks";
}

std::string TasksCommand::usage() const {
    return "usage: tavelin-cli tasks list [--json] [--db PATH]\n"
           "       tavelin-cli tasks add NAME --source S --destination D --every INTERVAL\n"
           "                             [--pattern P] [--subfolders] [--typed-destination]\n"
           "                             [--no-catch-up] [--on-change [--settle S]]\n"
           "                             [--keep-versions [--versions-days N]] [--db PATH]\n"
           "       tavelin-cli tasks remove NAME [--db PATH]\n"
           "       tavelin-cli tasks run NAME [--db PATH]\n"
           "       tavelin-cli tasks history [NAME] [--limit N] [--json] [--db PATH]\n"
           "INTERVAL is what the update-rate box takes: \"15 Min\", \"30 Min\", \"1  hrs\",\n"
           "\"2  hrs\" or a time between runs as hh:mm (\"07:30\").\n"
           "A task catches up: a run missed while no scheduler ran is made up soon after\n"
           "`serve` or the window starts (--no-catch-up: the next run is one interval after\n"
           "the start). A task writes only onto the drive it was saved for: when another\n"
           "file system is there (an unplugged drive's empty folder), the run writes nothing,\n"
           "fails with \"destination drive is not connected\" and runs when the drive is back.\n"
           "--on-change: the task also runs once its source has been quiet for S seconds\n"
           "(default 10, 1 to 3600) after a file was written, moved in or a folder made, while\n"
           "`serve` or the window runs; interval runs go on as before.\n"
           "history shows the runs, newest first (default --limit 20), with the failures of\n"
           "each (the first 100 are kept); the last 1,000 runs of each task are kept.\n"
           "The task file is --db, else $TAVELIN_DB, else tasks.db beside the program,\n"
           "else ~/.local/share/Tavelin/tasks.db.\n";
}

int TasksCommand::run(const std::vector<std::string>& args, Context& context) {
    if (args.empty()) {
        context.err << "tavelin-cli tasks: needs list, add, remove, run or history\n" << usage();
        return kUsage;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "list") {
        return list(rest, context);
    }
    if (args[0] == "add") {
        return add(rest, context);
    }
    if (args[0] == "remove") {
        return remove(rest, context);
    }
    if (args[0] == "run") {
        return runTask(rest, context);
    }
    if (args[0] == "history") {
        return history(rest, context);
    }
    context.err << "tavelin-cli tasks: unknown action '" << args[0] << "'\n" << usage();
    return kUsage;
}

namespace {

// Parses, opens the store, and reports problems the same way for every action.
constexpr std::size_t kOptionalName = 99;

template <class Body>
int withStore(const char* action, const std::vector<std::string>& args,
              const std::set<std::string>& flags, std::set<std::string> options,
              std::size_t positionals, Context& context, const std::string& usage, Body body) {
    options.insert("--db");
    auto parsed = Arguments::parse(args, flags, options);
    if (!parsed) {
        context.err << "tavelin-cli tasks " << action << ": " << parsed.error().message << "\n"
                    << usage;
        return kUsage;
    }
    if (positionals != kOptionalName && parsed->positionals().size() != positionals) {
        context.err << "tavelin-cli tasks " << action
                    << (positionals ? ": needs one task NAME\n" : ": takes no NAME\n") << usage;
        return kUsage;
    }
    auto store = StoreOpener::open(parsed->value("--db"), context);
    if (!store) {
        context.err << "tavelin-cli tasks " << action << ": " << store.error().message << "\n";
        return kUsage;
    }
    return body(*parsed, *store);
}

} // namespace

int TasksCommand::list(const std::vector<std::string>& args, Context& context) {
    return withStore("list", args, {"--json"}, {}, 0, context, usage(),
                     [&](const Arguments& a, TaskStore& store) {
                         auto tasks = store.listTasks();
                         if (!tasks) {
                             context.err << "tavelin-cli tasks list: " << tasks.error().message
                                         << "\n";
                             return int{kUsage};
                         }
                         if (a.has("--json")) {
                             TaskTable::printJson(context.out, *tasks);
                         } else {
                             TaskTable::printText(context.out, *tasks);
                         }
                         return int{kDone};
                     });
}

int TasksCommand::add(const std::vector<std::string>& args, Context& context) {
    return withStore(
        "add", args,
        {"--subfolders", "--typed-destination", "--no-catch-up", "--on-change", "--keep-versions"},
        {"--source", "--destination", "--every", "--pattern", "--settle", "--versions-days"}, 1,
        context, usage(), [&](const Arguments& a, TaskStore& store) {
            const auto* source = a.value("--source");
            const auto* destination = a.value("--destination");
            const auto* every = a.value("--every");
            if (source == nullptr || destination == nullptr || every == nullptr) {
                context.err << "tavelin-cli tasks add: needs --source, --destination and --every\n"
                            << usage();
                return int{kUsage};
            }
            if (source->empty() || destination->empty()) {
                context.err << "tavelin-cli tasks add: --source and --destination need a folder\n";
                return int{kUsage};
            }
            TaskRecord draft;
            draft.task_name = a.positionals()[0];
            draft.task_source = Paths::absolute(*source);
            draft.task_uncpath = a.has("--typed-destination");
            draft.task_destination =
                draft.task_uncpath ? *destination : Paths::absolute(*destination);
            draft.task_subfolders = a.has("--subfolders");
            draft.task_interval = UpdateRates::intervalFor(*every);
            if (const auto* p = a.value("--pattern")) {
                if (auto ok = WildcardPattern::check(*p); !ok) {
                    context.err << "tavelin-cli tasks add: " << ok.error().message << "\n";
                    return int{kUsage};
                }
                draft.task_filetypes = *p;
            }
            draft.task_catchup = !a.has("--no-catch-up");
            draft.task_onchange = a.has("--on-change");
            const auto versions = VersionOptions::from(a);
            if (!versions) {
                context.err << "tavelin-cli tasks add: " << versions.error().message << "\n";
                return int{kUsage};
            }
            draft.task_keepversions = versions->keep;
            draft.task_versionsdays = versions->days;
            if (const auto* settle = a.value("--settle")) {
                if (!a.has("--on-change")) {
                    context.err << "tavelin-cli tasks add: --settle goes with --on-change\n";
                    return int{kUsage};
                }
                std::size_t used = 0;
                int seconds = 0;
                try {
                    seconds = std::stoi(*settle, &used);
                } catch (const std::exception&) {
                    used = 0;
                }
                if (used != settle->size() || seconds < 1 || seconds > 3600) {
                    context.err << "tavelin-cli tasks add: --settle needs whole seconds from 1 "
                                   "to 3600\n";
                    return int{kUsage};
                }
                draft.task_settle = seconds;
            }
            if (!draft.task_uncpath) {
                draft.task_volume = context.volumeIdentity.uuidOf(draft.task_destination);
            }
            auto saved = store.addTask(draft, context.clock.now());
            if (!saved) {
                context.err << "tavelin-cli tasks add: "
                            << TerminalText::escape(saved.error().message) << "\n";
                return int{kUsage};
            }
            context.out << "Task '" << TerminalText::escape(saved->task_name)
                        << "' saved; next run " << saved->task_nextdate->display() << "\n";
            return int{kDone};
        });
}

int TasksCommand::remove(const std::vector<std::string>& args, Context& context) {
    return withStore(
        "remove", args, {}, {}, 1, context, usage(), [&](const Arguments& a, TaskStore& store) {
            auto deleted = store.deleteTask(a.positionals()[0]);
            if (!deleted) {
                context.err << "tavelin-cli tasks remove: " << deleted.error().message << "\n";
                return int{kUsage};
            }
            if (!*deleted) {
                context.err << "tavelin-cli tasks remove: no task named '"
                            << TerminalText::escape(a.positionals()[0]) << "'\n";
                return int{kUsage};
            }
            context.out << "Task '" << TerminalText::escape(a.positionals()[0]) << "' removed\n";
            return int{kDone};
        });
}

int TasksCommand::history(const std::vector<std::string>& args, Context& context) {
    return withStore(
        "history", args, {"--json"}, {"--limit"}, kOptionalName, context, usage(),
        [&](const Arguments& a, TaskStore& store) {
            if (a.positionals().size() > 1) {
                context.err << "tavelin-cli tasks history: takes at most one task NAME\n";
                return int{kUsage};
            }
            int limit = 20;
            if (const auto* text = a.value("--limit")) {
                try {
                    std::size_t used = 0;
                    limit = std::stoi(*text, &used);
                    if (used != text->size() || limit < 1) {
                        throw std::invalid_argument("limit");
                    }
                } catch (const std::exception&) {
                    context.err << "tavelin-cli tasks history: --limit needs a whole number of "
                                   "1 or more\n";
                    return int{kUsage};
                }
            }
            const std::string name = a.positionals().empty() ? "" : a.positionals()[0];
            auto runs = store.history(name, limit);
            if (!runs) {
                context.err << "tavelin-cli tasks history: "
                            << TerminalText::escape(runs.error().message) << "\n";
                return int{kUsage};
            }
            if (a.has("--json")) {
                TaskTable::printHistoryJson(context.out, *runs);
            } else {
                TaskTable::printHistoryText(context.out, *runs);
            }
            return int{kDone};
        });
}

int TasksCommand::runTask(const std::vector<std::string>& args, Context& context) {
    return withStore(
        "run", args, {}, {}, 1, context, usage(), [&](const Arguments& a, TaskStore& store) {
            const CopyEngine engine(context.volumes, context.fileOps);
            TaskRunner runner(store, engine, context.clock, &context.volumeIdentity);
            ProgressLine progress(context.err, context.errIsTerminal, context.stop);
            auto outcome = runner.runNow(a.positionals()[0], &progress);
            progress.finish();
            if (!outcome) {
                context.err << "tavelin-cli tasks run: "
                            << TerminalText::escape(outcome.error().message) << "\n";
                return int{kUsage};
            }
            const auto& r = outcome->run;
            context.out << TerminalText::escape(outcome->task.task_name) << " -:- "
                        << outcome->status << " -:- "
                        << RunSummary::line(outcome->finishedAt, r.totals.totalFiles,
                                            r.counters.filesCopied, r.counters.bytesCopied)
                        << "\n";
            for (const auto& f : r.failures) {
                context.err << TerminalText::escape(f.path) << ": "
                            << TerminalText::escape(f.reason) << "\n";
            }
            if (r.failures.empty() && !outcome->ok()) {
                context.err << TerminalText::escape(outcome->firstFailure) << "\n";
            }
            if (r.stopped) {
                return int{kStopped};
            }
            return outcome->ok() ? int{kDone} : int{kFailures};
        });
}

} // namespace tavelin::cli
