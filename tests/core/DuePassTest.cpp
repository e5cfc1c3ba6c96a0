#include "core/tasks/DuePass.h"

#include "tests/core/FakeVolumeIdentity.h"
#include "tests/core/TaskFixture.h"

#include <gtest/gtest.h>

namespace tavelin {
namespace {

using test::at;

class DuePassTest : public test::TaskFixture {
  protected:
    // Each due task as "name:trigger", oldest first.
    std::vector<std::string> due(DuePass& pass) {
        std::vector<std::string> names;
        const auto runs = pass.dueNow(*store, clock.now());
        EXPECT_TRUE(runs.has_value());
        for (const auto& [task, trigger] : runs.value_or(std::vector<DuePass::DueRun>{})) {
            names.push_back(task.task_name + ":" + trigger);
        }
        return names;
    }

    test::FakeVolumeIdentity identity;
};

// The rules the window and serve share: a run missed before the scheduler started is a
// catch-up, a task made due by its drive's return is a drive run (once), anything else is its
// schedule.
TEST_F(DuePassTest, EachDueTaskSaysWhatMadeItDue) {
    addTask("missed", "a"); // due 10:00
    clock.set(at("10.03.2026 10:05:00"));
    DuePass pass(&identity, clock.now());
    TaskRecord stick;
    stick.task_name = "stick";
    stick.task_source = tree.path("b");
    stick.task_destination = tree.path("usb/b");
    stick.task_interval = "00:15";
    stick.task_volume = "usb";
    ASSERT_TRUE(store->addTask(stick, clock.now())); // due 10:20

    clock.set(at("10.03.2026 10:20:00"));
    EXPECT_EQ(due(pass), (std::vector<std::string>{"missed:catch-up", "stick:schedule"}));

    // The stick's run found another drive; both runs are recorded.
    identity.uuid = "root-disk";
    TaskRunOutcome absent;
    absent.task = stick;
    absent.driveAbsent = true;
    pass.recorded(absent);
    ASSERT_TRUE(store->recordTaskRun("missed", TaskStatus::Ok, clock.now()));
    ASSERT_TRUE(store->recordTaskRun("stick", TaskStatus::Failed, clock.now()));
    EXPECT_TRUE(due(pass).empty());
    EXPECT_TRUE(pass.waitingForDrive());

    clock.set(at("10.03.2026 10:22:00"));
    EXPECT_EQ(pass.drivesChanged(*store, clock.now()), 0); // not its drive yet
    identity.uuid = "usb";
    EXPECT_EQ(pass.drivesChanged(*store, clock.now()), 1);
    EXPECT_FALSE(pass.waitingForDrive());
    EXPECT_EQ(due(pass), std::vector<std::string>{"stick:drive"});
    // Not run after all (stopped, say): still due, now on its schedule.
    EXPECT_EQ(due(pass), std::vector<std::string>{"stick:schedule"});
}

} // namespace
} // namespace tavelin
