#include "core/tasks/TaskStore.h"

#include "tests/core/FakeClock.h"
#include "tests/core/TempTree.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tavelin {
namespace {

using test::at;
using test::FakeClock;
using test::TempTree;

class TaskStoreTest : public ::testing::Test {
  protected:
    TaskStore open() {
        auto s = TaskStore::open(tree.path("tasks.db"));
        EXPECT_TRUE(s.has_value()) << (s ? "" : s.error().message);
        return std::move(*s);
    }
    static TaskRecord draft(const std::string& name, const std::string& interval = "00:15") {
        TaskRecord r;
        r.task_name = name;
        r.task_source = "/home/bob/" + name;
        r.task_destination = "/media/usb/'" + name + "'";
        r.task_subfolders = true;
        r.task_interval = interval;
        r.task_filetypes = "*.odt;*.pdf";
        return r;
    }
    void sql(const std::string& statement) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(tree.path("tasks.db").c_str(), &db), SQLITE_OK);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &err), SQLITE_OK)
            << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(db);
    }

    TempTree tree;
};

TEST_F(TaskStoreTest, AwkwardNamesAreStoredAndFoundExactly) {
    auto store = open();
    const std::vector<std::string> names{"Bob's docs",
                                         "100% \"sure\"; DROP TABLE tasks;--",
                                         "\xC3\x9Cnic\xC3\xB8"
                                         "de \xE6\x97\xA5",
                                         std::string(1000, 'n'),
                                         "trailing ",
                                         "trailing"};
    const auto now = at("08.12.2025 21:52:07");
    for (const auto& n : names) {
        auto saved = store.addTask(draft(n), now);
        ASSERT_TRUE(saved.has_value()) << saved.error().message;
    }
    for (const auto& n : names) {
        const auto found = store.findTask(n);
        ASSERT_TRUE(found.has_value() && found->has_value()) << n;
        EXPECT_EQ((*found)->task_name, n);
        EXPECT_EQ((*found)->task_destination, "/media/usb/'" + n + "'");
        EXPECT_EQ((*found)->task_lastdate, now);
        EXPECT_EQ((*found)->task_nextdate, at("08.12.2025 22:07:07"));
        EXPECT_EQ((*found)->task_success, TaskStatus::NotRun);
        EXPECT_EQ((*found)->task_filetypes, "*.odt;*.pdf");
    }
    const auto taken = store.addTask(draft("Bob's docs", "01:00"), now);
    ASSERT_FALSE(taken.has_value());
    EXPECT_EQ(taken.error().message, "Task name already exist!");
    EXPECT_EQ(taken.error().kind, Error::Kind::NameTaken);
    EXPECT_EQ((*store.findTask("Bob's docs"))->task_interval, "00:15");

    EXPECT_EQ(store.deleteTask("trailing"), true);
    EXPECT_EQ(store.deleteTask("trailing"), false);
    EXPECT_EQ(store.deleteTask("%"), false);
    EXPECT_EQ(store.listTasks()->size(), names.size() - 1);
    EXPECT_TRUE((*store.findTask("trailing "))->task_name == "trailing ");
}

TEST_F(TaskStoreTest, RefusedIntervalSavesNothing) {
    auto store = open();
    for (const char* bad : {"", "00:00", "24:00", "07:61", "7:30"}) {
        const auto r = store.addTask(draft("t", bad), at("01.01.2026 10:00:00"));
        ASSERT_FALSE(r.has_value()) << bad;
        EXPECT_EQ(r.error().message, "Please enter or select the update interval!");
    }
    EXPECT_TRUE(store.listTasks()->empty());
}

TEST_F(TaskStoreTest, ListIsInOrderOfNextRunWithMidnightKept) {
    auto store = open();
    ASSERT_TRUE(store.addTask(draft("ten", "01:00"), at("01.01.2026 09:00:00")));
    ASSERT_TRUE(store.addTask(draft("nine", "00:30"), at("01.01.2026 08:30:00")));
    ASSERT_TRUE(store.addTask(draft("midnight", "01:00"), at("31.12.2025 23:00:00")));
    ASSERT_TRUE(store.addTask(draft("eleven", "02:00"), at("01.01.2026 09:00:00")));
    const auto list = *store.listTasks();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].task_name, "midnight");
    EXPECT_EQ(list[0].task_nextdate->display(), "01.01.2026 00:00:00");
    EXPECT_EQ(list[1].task_name, "nine");
    EXPECT_EQ(list[2].task_name, "ten");
    EXPECT_EQ(list[3].task_name, "eleven");
}

TEST_F(TaskStoreTest, RecordAndRescheduleMoveTheTimes) {
    auto store = open();
    ASSERT_TRUE(store.addTask(draft("t"), at("10.03.2026 09:45:00")));
    // Due 10:00:00, the copy ended 10:02:30.
    ASSERT_EQ(store.recordTaskRun("t", TaskStatus::Ok, at("10.03.2026 10:02:30")), true);
    auto t = **store.findTask("t");
    EXPECT_EQ(t.task_lastdate, at("10.03.2026 10:00:00"));
    EXPECT_EQ(t.task_nextdate, at("10.03.2026 10:17:30"));
    EXPECT_EQ(t.task_success, TaskStatus::Ok);

    ASSERT_TRUE(store.recordTaskRun("t", TaskStatus::Failed, at("10.03.2026 10:20:00")));
    t = **store.findTask("t");
    EXPECT_EQ(t.task_lastdate, at("10.03.2026 10:17:30"));
    EXPECT_EQ(t.task_nextdate, at("10.03.2026 10:35:00"));
    EXPECT_EQ(t.task_success, TaskStatus::Failed);
    EXPECT_EQ(store.recordTaskRun("gone", TaskStatus::Ok, at("10.03.2026 12:00:00")), false);
}

struct RescheduleCase {
    const char* name;
    bool catchUp;
    const char* nextBefore;
    const char* nextAfter; // the start is at 10.03.2026 11:00:05
    bool dueAtStart;
};

void PrintTo(const RescheduleCase& c, std::ostream* os) {
    *os << c.name;
}

class RescheduleTest : public TaskStoreTest,
                       public ::testing::WithParamInterface<RescheduleCase> {};

// Nothing ran at start-up, so no task's last run changes; a task that catches up keeps its
// next run (a missed one makes it due now), any other moves one interval past the start.
TEST_P(RescheduleTest, AtStartUpOnlyTheNextRunMoves) {
    const auto& c = GetParam();
    auto store = open();
    auto d = draft("t", "00:15");
    d.task_catchup = c.catchUp ? 1 : 0;
    ASSERT_TRUE(store.addTask(d, at("10.03.2026 07:00:00")));
    sql(std::string("UPDATE tasks SET task_lastdate = '2026-03-10 07:30:00', task_nextdate = '") +
        LocalDateTime::parseDisplay(c.nextBefore)->storage() + "'");
    FakeClock clock(at("10.03.2026 11:00:05"));
    ASSERT_TRUE(store.rescheduleTasks(clock));
    const auto t = **store.findTask("t");
    EXPECT_EQ(t.task_lastdate, at("10.03.2026 07:30:00"));
    EXPECT_EQ(t.task_nextdate, at(c.nextAfter));
    EXPECT_EQ(store.dueTasks(clock.now())->size(), c.dueAtStart ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RescheduleTest,
    ::testing::Values(RescheduleCase{"missedCatchesUp", true, "10.03.2026 07:45:00",
                                     "10.03.2026 07:45:00", true},
                      RescheduleCase{"notYetDueKeepsItsTime", true, "10.03.2026 11:10:00",
                                     "10.03.2026 11:10:00", false},
                      RescheduleCase{"missedWithoutCatchUpMoves", false, "10.03.2026 07:45:00",
                                     "10.03.2026 11:15:05", false},
                      RescheduleCase{"notYetDueWithoutCatchUpMoves", false, "10.03.2026 11:10:00",
                                     "10.03.2026 11:15:05", false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(TaskStoreTest, StoredRowWithAnUnusableIntervalKeepsItsTimesAndIsNeverDue) {
    open();
    sql("INSERT INTO tasks (task_name, task_interval, task_lastdate, task_nextdate) VALUES "
        "('old', '', '2026-01-01 08:00:00', '2026-01-01 09:00:00'), "
        "('odd', '25:00', '2026-01-01 08:00:00', '2026-01-01 09:00:00')");
    auto store = open();
    FakeClock clock(at("01.01.2026 10:00:00"));
    ASSERT_TRUE(store.rescheduleTasks(clock));
    EXPECT_TRUE(store.dueTasks(clock.now())->empty());
    for (const char* name : {"old", "odd"}) {
        const auto t = **store.findTask(name);
        EXPECT_EQ(t.task_nextdate, at("01.01.2026 09:00:00")) << name;
        EXPECT_EQ(t.task_lastdate, at("01.01.2026 08:00:00")) << name;
    }
}

TEST_F(TaskStoreTest, DueMeansAtOrBeforeNow) {
    auto store = open();
    ASSERT_TRUE(store.addTask(draft("a"), at("01.01.2026 10:00:00")));
    ASSERT_TRUE(store.addTask(draft("b"), at("01.01.2026 10:00:00")));
    ASSERT_TRUE(store.addTask(draft("later", "01:00"), at("01.01.2026 10:00:00")));
    EXPECT_TRUE(store.dueTasks(at("01.01.2026 10:14:59"))->empty());
    EXPECT_EQ(store.dueTasks(at("01.01.2026 10:15:00"))->size(), 2u);
    EXPECT_EQ(store.dueTasks(at("01.01.2026 10:40:00"))->size(), 2u);
}

TEST_F(TaskStoreTest, TwoHandlesClaimingOneDueRunExactlyOneWins) {
    auto first = open();
    auto second = open();
    ASSERT_TRUE(first.addTask(draft("t"), at("01.01.2026 10:00:00")));
    const auto due = *(*second.dueTasks(at("01.01.2026 10:15:00"))).front().task_nextdate;
    const auto a = first.claimDue("t", due, at("01.01.2026 10:30:00"));
    const auto b = second.claimDue("t", due, at("01.01.2026 10:30:01"));
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    EXPECT_EQ((*second.findTask("t"))->task_nextdate, at("01.01.2026 10:30:00"));
}

TEST_F(TaskStoreTest, FileWithTheEightOriginalColumnsIsUpgradedWithoutLosingARow) {
    sql("CREATE TABLE tasks (task_name TEXT, task_source TEXT, task_destination TEXT, "
        "task_subfolders INTEGER, task_interval TEXT, task_lastdate TEXT, task_nextdate TEXT, "
        "task_success TEXT);"
        "INSERT INTO tasks VALUES ('Backup','/data','/save',1,'00:15','08.12.2025 21:52:07',"
        "'08.12.2025 22:07:07','-');"
        "INSERT INTO tasks VALUES ('Night','/a','/b',0,'02:00','07.12.2025 23:00:00',"
        "'08.12.2025 01:00:00','OK');"
        // A status this program never writes (edited by hand) does not stop the file opening.
        "INSERT INTO tasks VALUES ('Edited','/c','/d',0,'02:00','07.12.2025 23:00:00',"
        "'09.12.2025 01:00:00','done');");
    auto store = open();
    const auto list = *store.listTasks();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].task_name, "Night"); // sorted by time now, not by text
    EXPECT_EQ(list[0].task_nextdate, at("08.12.2025 01:00:00"));
    EXPECT_EQ(list[0].task_success, TaskStatus::Ok);
    EXPECT_EQ(list[2].task_name, "Edited");
    EXPECT_EQ(list[2].task_success, TaskStatus::NotRun);
    EXPECT_EQ(list[1].task_name, "Backup");
    EXPECT_EQ(list[1].task_lastdate, at("08.12.2025 21:52:07"));
    EXPECT_EQ(list[1].task_filetypes, "*.*");
    EXPECT_FALSE(list[1].task_uncpath);
    EXPECT_TRUE(list[1].task_subfolders);
    EXPECT_EQ(list[1].task_success, TaskStatus::NotRun);
    // Existing tasks never caught up and have no known volume yet.
    EXPECT_FALSE(list[1].task_catchup);
    EXPECT_EQ(list[1].task_volume, "");
    // Upgraded once: opening again changes nothing.
    EXPECT_EQ(*open().listTasks(), list);
}

TEST_F(TaskStoreTest, CorruptFileGivesAnErrorAndIsLeftByteForByte) {
    std::string junk = "This is not a database, it is a letter to my aunt.\n";
    for (int i = 0; i < 200; ++i) {
        junk += static_cast<char>(i * 37);
    }
    tree.write("tasks.db", junk);
    const auto store = TaskStore::open(tree.path("tasks.db"));
    ASSERT_FALSE(store.has_value());
    EXPECT_NE(store.error().message.find(tree.path("tasks.db")), std::string::npos)
        << store.error().message;
    EXPECT_NE(store.error().message.find("not a database"), std::string::npos);
    EXPECT_EQ(tree.read("tasks.db"), junk);
}

TEST_F(TaskStoreTest, NewerSchemaIsRefusedAndLeftAlone) {
    sql("CREATE TABLE tasks (task_name TEXT); PRAGMA user_version = 99;");
    const auto store = TaskStore::open(tree.path("tasks.db"));
    ASSERT_FALSE(store.has_value());
    EXPECT_NE(store.error().message.find("newer version"), std::string::npos);
}

} // namespace
} // namespace tavelin
