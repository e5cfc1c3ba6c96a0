#include "core/tasks/TaskRunner.h"

#include "core/copy/CopyEngine.h"
#include "core/copy/FileOps.h"
#include "core/copy/RunObserver.h"
#include "core/platform/VolumeIdentity.h"
#include "core/tasks/DueTaskScheduler.h"
#include "core/tasks/TaskStore.h"
#include "tests/core/FakeClock.h"
#include "tests/core/FakeVolumeIdentity.h"
#include "tests/core/FakeVolumes.h"
#include "tests/core/TaskFixture.h"
#include "tests/core/TempTree.h"

#include <gtest/gtest.h>

namespace tavelin {
namespace {

using test::at;
using test::FakeVolumeIdentity;

class TaskRunnerTest : public test::TaskFixture {
  protected:
    std::vector<std::string> runPass() {
        TaskRunner runner(*store, engine, clock);
        DueTaskScheduler scheduler(*store, runner, clock);
        // Each copy takes two and a half minutes.
        struct SlowCopy final : RunObserver {
            test::FakeClock& clock;
            explicit SlowCopy(test::FakeClock& c) : clock(c) {}
            void surveyFinished(const SurveyTotals&) override { clock.advance(150); }
        } slow(clock);
        std::vector<std::string> reported;
        const auto runs = scheduler.runDueTasks(&slow, [&](const TaskRunOutcome& o) {
            reported.push_back(o.task.task_name + ":" + std::string(statusText(o.status)));
        });
        EXPECT_TRUE(runs.has_value());
        return reported;
    }
};

TEST_F(TaskRunnerTest, TwoTasksDueInOneSecondBothRunTheirOwnFolders) {
    tree.write("alpha/a.txt", "a");
    tree.write("alpha/skip.pdf", "p");
    tree.write("beta/sub/b.txt", "b");
    addTask("alpha", "alpha");
    addTask("beta", "beta");
    clock.set(at("10.03.2026 10:00:00"));
    EXPECT_EQ(runPass(), (std::vector<std::string>{"alpha:OK", "beta:OK"}));
    EXPECT_EQ(tree.list("out/alpha"), "a.txt");
    EXPECT_EQ(tree.read("out/beta/sub/b.txt"), "b");
    const auto beta = **store->findTask("beta");
    EXPECT_EQ(beta.task_lastdate, at("10.03.2026 10:00:00"));
    EXPECT_EQ(beta.task_nextdate, at("10.03.2026 10:20:00")); // ended 10:05:00 + 15 min
    EXPECT_EQ(beta.task_success, TaskStatus::Ok);
    EXPECT_TRUE(runPass().empty());
}

TEST_F(TaskRunnerTest, AMissedDueTimeRunsOnceAndIsRescheduledFromTheEndOfThatRun) {
    tree.write("alpha/a.txt", "a");
    addTask("alpha", "alpha");
    clock.set(at("10.03.2026 11:07:00")); // four intervals late
    EXPECT_EQ(runPass(), (std::vector<std::string>{"alpha:OK"}));
    const auto t = **store->findTask("alpha");
    EXPECT_EQ(t.task_lastdate, at("10.03.2026 10:00:00"));
    EXPECT_EQ(t.task_nextdate, at("10.03.2026 11:24:30"));
    EXPECT_TRUE(runPass().empty());
}

TEST_F(TaskRunnerTest, ATaskWhoseSourceIsGoneIsRecordedFailedWithTheReason) {
    addTask("lost", "nowhere");
    clock.set(at("10.03.2026 10:00:00"));
    TaskRunner runner(*store, engine, clock);
    const auto due = *store->dueTasks(clock.now());
    ASSERT_EQ(due.size(), 1u);
    const auto outcome = runner.runDue(due.front());
    ASSERT_TRUE(outcome && *outcome);
    EXPECT_EQ((*outcome)->status, TaskStatus::Failed);
    EXPECT_NE((*outcome)->firstFailure.find(tree.path("nowhere")), std::string::npos);
    EXPECT_EQ((**store->findTask("lost")).task_success, TaskStatus::Failed);
}

TEST_F(TaskRunnerTest, AFileThatCannotBeCopiedMakesTheRunFailed) {
    tree.write("alpha/a.txt", "a");
    tree.mkdir("out/alpha/a.txt/blocker"); // a folder where the file must go
    tree.setMtime("out/alpha/a.txt", 0);
    addTask("alpha", "alpha");
    TaskRunner runner(*store, engine, clock);
    const auto outcome = runner.runNow("alpha");
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->status, TaskStatus::Failed);
    EXPECT_EQ((**store->findTask("alpha")).task_success, TaskStatus::Failed);
    EXPECT_FALSE(runner.runNow("nobody").has_value());
}

// A drive that is unplugged leaves an empty folder on another disk: the task writes nothing
// there, waits, and runs as soon as the drive is back.
TEST_F(TaskRunnerTest, ATaskRunsOnlyOntoItsOwnDriveAndRunsAgainWhenItIsBack) {
    tree.write("alpha/a.txt", "a");
    FakeVolumeIdentity identity;
    identity.uuid = "usb-stick";
    TaskRecord r;
    r.task_name = "alpha";
    r.task_source = tree.path("alpha");
    r.task_destination = tree.path("out/alpha");
    r.task_interval = "00:15";
    r.task_volume = identity.uuid;
    ASSERT_TRUE(store->addTask(r, clock.now()));

    identity.uuid = "root-disk"; // unplugged
    TaskRunner runner(*store, engine, clock, &identity);
    DueTaskScheduler scheduler(*store, runner, clock, &identity);
    clock.set(at("10.03.2026 10:00:00"));
    std::vector<std::string> reported;
    const auto report = [&](const TaskRunOutcome& o) {
        reported.push_back(std::string(statusText(o.status)) + ":" + o.firstFailure);
    };
    ASSERT_EQ(scheduler.runDueTasks(nullptr, report), 1);
    EXPECT_EQ(reported, std::vector<std::string>{"Failed:destination drive is not connected"});
    EXPECT_FALSE(tree.exists("out"));
    EXPECT_TRUE(scheduler.waitingForDrive());

    clock.set(at("10.03.2026 10:01:00"));
    EXPECT_EQ(scheduler.drivesChanged(), 0); // another mount: still not this drive
    identity.uuid = "usb-stick";
    EXPECT_EQ(scheduler.drivesChanged(), 1);
    ASSERT_EQ(scheduler.runDueTasks(nullptr, report), 1);
    EXPECT_EQ(reported.back(), "OK:");
    EXPECT_EQ(tree.read("out/alpha/a.txt"), "a");
    EXPECT_FALSE(scheduler.waitingForDrive());
}

// A task saved before volumes were known learns its volume from its first good run.
TEST_F(TaskRunnerTest, AGoodRunRemembersTheVolume) {
    tree.write("alpha/a.txt", "a");
    addTask("alpha", "alpha");
    FakeVolumeIdentity identity;
    identity.uuid = "usb-stick";
    TaskRunner runner(*store, engine, clock, &identity);
    ASSERT_TRUE(runner.runNow("alpha"));
    EXPECT_EQ((**store->findTask("alpha")).task_volume, "usb-stick");
}

} // namespace
} // namespace tavelin
