#include "core/copy/CopyEngine.h"
#include "core/copy/FileOps.h"
#include "core/copy/RunObserver.h"
#include "core/tasks/DueTaskScheduler.h"
#include "core/tasks/TaskRunner.h"
#include "core/tasks/TaskStore.h"
#include "tests/core/FakeClock.h"
#include "tests/core/FakeVolumes.h"
#include "tests/core/TaskFixture.h"
#include "tests/core/TempTree.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tavelin {
namespace {

using test::at;

class HistoryTest : public test::TaskFixture {
  protected:
    int rows(const std::string& sql) {
        sqlite3* db = nullptr;
        sqlite3_open(tree.path("tasks.db").c_str(), &db);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
        sqlite3_step(s);
        const int n = sqlite3_column_int(s, 0);
        sqlite3_finalize(s);
        sqlite3_close(db);
        return n;
    }
};

// Each run leaves a row: what started it, its figures and its first failures.
TEST_F(HistoryTest, OkFailedAndStoppedRunsAreKeptWithTheirTriggerAndFailures) {
    tree.write("docs/a.txt", "aaa");
    tree.write("docs/b.txt", "bb");
    tree.mkdir("out/docs/b.txt/in-the-way");
    addTask("docs", "docs");
    addTask("lost", "nowhere");
    TaskRunner runner(*store, engine, clock);
    // Due before this scheduler started: caught up.
    clock.set(at("10.03.2026 10:30:00"));
    DueTaskScheduler scheduler(*store, runner, clock);
    ASSERT_EQ(scheduler.runDueTasks(nullptr, {}), 2);
    struct StopAtOnce final : RunObserver {
        bool stopRequested() const override { return true; }
    } stop;
    clock.set(at("10.03.2026 10:40:00"));
    ASSERT_TRUE(runner.runNow("docs", &stop));

    const auto docs = *store->history("docs", 10);
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0].trigger, "manual");
    EXPECT_EQ(docs[0].status, TaskStatus::Stopped);
    EXPECT_EQ(docs[1].trigger, "catch-up");
    EXPECT_EQ(docs[1].status, TaskStatus::Failed);
    EXPECT_EQ(docs[1].started, at("10.03.2026 10:30:00"));
    EXPECT_EQ(docs[1].scanned, 2);
    EXPECT_EQ(docs[1].copied, 1);
    EXPECT_EQ(docs[1].bytes, 3);
    EXPECT_EQ(docs[1].failed, 1);
    ASSERT_EQ(docs[1].errors.size(), 1u);
    EXPECT_EQ(docs[1].errors[0].path, tree.path("docs/b.txt"));

    const auto lost = *store->history("lost", 10);
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].status, TaskStatus::Failed);
    ASSERT_EQ(lost[0].errors.size(), 1u); // the run could not start: that is its failure
    EXPECT_NE(lost[0].errors[0].reason.find("nowhere"), std::string::npos);

    // Every task's runs, newest first.
    const auto all = *store->history("", 10);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].task_name, "docs");
    EXPECT_FALSE(store->history("nobody", 10).has_value());
}

TEST_F(HistoryTest, KeepsTheLastThousandRunsAndAtMostAHundredFailuresEach) {
    addTask("t", "docs");
    TaskRunEntry e;
    e.task_name = "t";
    e.trigger = TaskRunEntry::kSchedule;
    e.status = TaskStatus::Failed;
    e.failed = 150;
    for (int i = 0; i < 150; ++i) {
        e.errors.push_back(FileFailure{"/f" + std::to_string(i), "cannot read"});
    }
    for (int i = 0; i < TaskStore::kHistoryPerTask + 5; ++i) {
        e.scanned = i;
        ASSERT_TRUE(
            store->recordTaskRun("t", TaskStatus::Failed, clock.now(), std::nullopt, {}, &e));
    }
    const auto kept = *store->history("t", 5000);
    ASSERT_EQ(kept.size(), static_cast<std::size_t>(TaskStore::kHistoryPerTask));
    EXPECT_EQ(kept.front().scanned, TaskStore::kHistoryPerTask + 4);
    EXPECT_EQ(kept.back().scanned, 5); // the five oldest are gone
    EXPECT_EQ(kept.front().failed, 150);
    EXPECT_EQ(kept.front().errors.size(), TaskRunEntry::kMaxErrors);
    EXPECT_EQ(rows("SELECT count(*) FROM task_run_errors"),
              TaskStore::kHistoryPerTask * static_cast<int>(TaskRunEntry::kMaxErrors));

    ASSERT_TRUE(store->deleteTask("t"));
    EXPECT_EQ(rows("SELECT count(*) FROM task_runs"), 0);
    EXPECT_EQ(rows("SELECT count(*) FROM task_run_errors"), 0);
}

} // namespace
} // namespace tavelin
