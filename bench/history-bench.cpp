// The run history at full size: 100 tasks with 1,000 runs each (100,000 rows, one failure in
// every tenth run, a hundred in every hundredth). Times reading 50 runs of one task, reading
// all of one task's runs as the History dialog does (and building the dialog), and recording a
// run (with its pruning); reports the file's size.
//   tavelin-bench-history DB_PATH
#include "BenchTiming.h"
#include "core/tasks/TaskStore.h"
#include "core/util/SystemClock.h"
#include "gui/tasks/TaskHistory.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

using namespace tavelin;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DB_PATH\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    auto store = TaskStore::open(argv[1]);
    if (!store) {
        std::fprintf(stderr, "%s\n", store.error().message.c_str());
        return 1;
    }
    const auto now = SystemClock().now();
    TaskRunEntry e;
    e.trigger = TaskRunEntry::kSchedule;
    e.started = now;
    e.ended = now;
    e.scanned = 50000;
    e.copied = 12;
    e.bytes = 123456789;
    for (int t = 0; t < 100; ++t) {
        TaskRecord r;
        r.task_name = "task " + std::to_string(t);
        r.task_source = "/home/bob/source/" + std::to_string(t);
        r.task_destination = "/media/usb/backup/" + std::to_string(t);
        r.task_interval = "01:00";
        r.task_catchup = false;
        if (!store->addTask(r, now)) {
            return 1;
        }
    }
    // Filled in large transactions through SQLite directly would be faster; this way the file
    // is exactly what recorded runs leave.
    for (int run = 0; run < 1000; ++run) {
        for (int t = 0; t < 100; ++t) {
            e.task_name = "task " + std::to_string(t);
            e.status = run % 10 == 0 ? TaskStatus::Failed : TaskStatus::Ok;
            e.errors.clear();
            const int errors = run % 100 == 0 ? 100 : run % 10 == 0 ? 1 : 0;
            for (int i = 0; i < errors; ++i) {
                e.errors.push_back(FileFailure{"/home/bob/source/file " + std::to_string(i),
                                               "cannot read: Permission denied"});
            }
            e.failed = errors;
            if (!store->recordTaskRun(e.task_name, e.status, now, std::nullopt, {}, &e)) {
                return 1;
            }
        }
    }
    const double read50 = medianMs(21, [&] { (void)store->history("task 42", 50); });
    const double read1000 =
        medianMs(11, [&] { (void)store->history("task 42", TaskStore::kHistoryPerTask); });
    const double dialog = medianMs(11, [&] {
        auto runs = store->history("task 42", TaskStore::kHistoryPerTask);
        gui::TaskHistory h(nullptr, "task 42", std::move(*runs));
    });
    e.task_name = "task 7";
    e.errors.clear();
    const double record = medianMs(21, [&] {
        (void)store->recordTaskRun("task 7", TaskStatus::Ok, now, std::nullopt, {}, &e);
    });
    struct stat st {};
    ::stat(argv[1], &st);
    std::printf("100,000 runs: history of one task, 50 runs %.2f ms (target < 20); the History "
                "dialog with its 1,000 runs %.2f ms (target < 20; reading them %.2f ms); recording "
                "a run %.2f ms "
                "(target < 5); file %.1f MB (target < 50)\n",
                read50, dialog, read1000, record, static_cast<double>(st.st_size) / 1e6);
    return 0;
}
