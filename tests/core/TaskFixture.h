#pragma once

#include "core/copy/CopyEngine.h"
#include "core/copy/FileOps.h"
#include "core/tasks/TaskStore.h"
#include "tests/core/FakeClock.h"
#include "tests/core/FakeVolumes.h"
#include "tests/core/TempTree.h"

#include <gtest/gtest.h>
#include <optional>

namespace tavelin::test {

// A task file in a temporary tree, an engine and a clock that stands still, for the tests of
// task runs.
class TaskFixture : public ::testing::Test {
  protected:
    TaskFixture() : clock(at("10.03.2026 09:45:00")) {}

    void SetUp() override {
        auto s = TaskStore::open(tree.path("tasks.db"));
        ASSERT_TRUE(s.has_value());
        store.emplace(std::move(*s));
    }
    void addTask(const std::string& name, const std::string& folder,
                 const std::string& interval = "00:15") {
        TaskRecord r;
        r.task_name = name;
        r.task_source = tree.path(folder);
        r.task_destination = tree.path("out/" + folder);
        r.task_subfolders = true;
        r.task_interval = interval;
        r.task_filetypes = "*.txt";
        ASSERT_TRUE(store->addTask(r, clock.now()).has_value());
    }

    TempTree tree;
    FakeVolumes volumes;
    FileOps ops;
    CopyEngine engine{volumes, ops};
    FakeClock clock;
    std::optional<TaskStore> store;
};

} // namespace tavelin::test
