// Times the task store with 1,000 tasks: listing, finding the due ones, and rescheduling.
//   tavelin-bench-store DB_PATH
#include "BenchTiming.h"
#include "core/tasks/TaskStore.h"
#include "core/util/SystemClock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace tavelin;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DB_PATH\n", argv[0]);
        return 2;
    }
    auto store = TaskStore::open(argv[1]);
    if (!store) {
        std::fprintf(stderr, "%s\n", store.error().message.c_str());
        return 1;
    }
    SystemClock clock;
    const auto now = clock.now();
    for (int i = 0; i < 1000; ++i) {
        TaskRecord r;
        r.task_name = "task " + std::to_string(i);
        r.task_source = "/home/bob/source/" + std::to_string(i);
        r.task_destination = "/media/usb/backup/" + std::to_string(i);
        char interval[8];
        // At least two hours apart, so that the idle measurement stays idle.
        std::snprintf(interval, sizeof interval, "%02d:%02d", 2 + i % 22, i % 60);
        r.task_interval = interval;
        // Saved a day ago and all overdue: without catching up they are only rescheduled at
        // a start, so an idle scheduler stays idle.
        r.task_catchup = false;
        if (!store->addTask(r, now.addSeconds(-86400))) {
            return 1;
        }
    }
    std::size_t rows = 0;
    const double list = medianMs(51, [&] { rows = store->listTasks()->size(); });
    std::size_t due = 0;
    const double dueMs = medianMs(51, [&] { due = store->dueTasks(now)->size(); });
    const double resched = medianMs(5, [&] { (void)store->rescheduleTasks(clock); });
    std::printf("1000 tasks: listTasks %.3f ms (%zu rows), dueTasks %.3f ms (%zu due), "
                "rescheduleTasks %.3f ms (one transaction); target < 5 ms each for list and due\n",
                list, rows, dueMs, due, resched);
    return 0;
}
