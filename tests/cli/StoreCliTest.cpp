#include "core/tasks/TaskStore.h"
#include "core/util/SystemClock.h"
#include "tests/cli/RunCli.h"
#include "tests/core/TempTree.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tavelin {
namespace {

using test::TempTree;

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct NameCase {
    const char* name;
    std::vector<std::string> args; // after "tasks add"; "@x" is tree.path("x")
    const char* error;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.name;
}

class TaskInputTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(TaskInputTest, IsRefusedWithAClearMessageAndNothingSaved) {
    TempTree tree;
    tree.mkdir("src");
    std::vector<std::string> args{"tasks", "add"};
    for (const auto& a : GetParam().args) {
        args.push_back(a.starts_with("@") ? tree.path(a.substr(1)) : a);
    }
    const std::map<std::string, std::string> env{{"TAVELIN_DB", tree.path("tasks.db")}};
    const auto r = test::runCli(args, env);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(GetParam().error), std::string::npos) << r.err;
    EXPECT_EQ(test::runCli({"tasks", "list", "--json"}, env).out, "[]\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, TaskInputTest,
    ::testing::Values(
        NameCase{"emptyName",
                 {"", "--source", "@src", "--destination", "@dst", "--every", "15 Min"},
                 "Please enter a task name!"},
        NameCase{"blankName",
                 {"   ", "--source", "@src", "--destination", "@dst", "--every", "15 Min"},
                 "Please enter a task name!"},
        NameCase{"newLineInTheName",
                 {"two\nlines", "--source", "@src", "--destination", "@dst", "--every", "15 Min"},
                 "control characters"},
        NameCase{"escapeInTheName",
                 {"red\x1b[31m", "--source", "@src", "--destination", "@dst", "--every", "15 Min"},
                 "control characters"},
        NameCase{"emptySource",
                 {"t", "--source", "", "--destination", "@dst", "--every", "15 Min"},
                 "need a folder"},
        NameCase{"emptyDestination",
                 {"t", "--source", "@src", "--destination", "", "--every", "15 Min"},
                 "need a folder"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// Creating and upgrading the file wait for each other as every write does.
TEST(StoreCliTest, TwentyAddsAtOnceOnAFileThatDoesNotExistYetAllSucceed) {
    TempTree tree;
    const std::map<std::string, std::string> env{{"TAVELIN_DB", tree.path("new/tasks.db")}};
    std::vector<test::Spawned> adds;
    for (int i = 0; i < 20; ++i) {
        adds.push_back(
            test::spawnCli({"tasks", "add", "task " + std::to_string(i), "--source", tree.root(),
                            "--destination", tree.path("out"), "--every", "15 Min"},
                           env));
    }
    for (auto& a : adds) {
        EXPECT_EQ(a.waitExit(30), 0) << a.err();
        ::close(a.outFd);
        ::close(a.errFd);
    }
    auto store = TaskStore::open(tree.path("new/tasks.db"));
    ASSERT_TRUE(store.has_value());
    EXPECT_EQ(store->listTasks()->size(), 20u);
}

TEST(StoreCliTest, AFileWithADamagedPageIsRefusedForWritingAndReading) {
    TempTree tree;
    const std::string db = tree.path("tasks.db");
    {
        auto store = TaskStore::open(db);
        ASSERT_TRUE(store.has_value());
        for (int i = 0; i < 300; ++i) {
            TaskRecord r;
            r.task_name = "task " + std::to_string(i) + std::string(100, 'x');
            r.task_source = "/src";
            r.task_destination = "/dst";
            r.task_interval = "01:00";
            ASSERT_TRUE(store->addTask(r, SystemClock().now()));
        }
    }
    ASSERT_EQ(
        std::system(("sqlite3 '" + db + "' 'PRAGMA wal_checkpoint(TRUNCATE)' >/dev/null").c_str()),
        0);
    {
        // Garbage over the header of a page in the middle of the file, where the task rows are.
        const auto size = static_cast<std::streamoff>(bytesOf(db).size());
        std::fstream f(db, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(size / 2 / 4096 * 4096);
        f << std::string(64, '\x5a');
    }
    const std::string before = bytesOf(db);
    const std::map<std::string, std::string> env{{"TAVELIN_DB", db}};
    const auto add = test::runCli(
        {"tasks", "add", "new", "--source", "/a", "--destination", "/b", "--every", "15 Min"}, env);
    EXPECT_EQ(add.status, 2);
    EXPECT_NE(add.err.find("is damaged"), std::string::npos) << add.err;
    EXPECT_EQ(test::runCli({"tasks", "list"}, env).status, 2);
    EXPECT_TRUE(bytesOf(db) == before); // left byte for byte
}

TEST(StoreCliTest, AFileTheUserCannotWriteCanBeListedAndAddingSaysWhy) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the program as another user";
    }
    TempTree tree;
    ::chmod(tree.root().c_str(), 0755); // root's folder: nobody cannot write in it
    const std::string db = tree.path("tasks.db");
    ASSERT_EQ(test::runCli({"tasks", "add", "mine", "--source", "/a", "--destination", "/b",
                            "--every", "15 Min", "--db", db})
                  .status,
              0);
    ::chmod(db.c_str(), 0644);
    const auto list = test::runCliAsNobody({"tasks", "list", "--db", db});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_NE(list.out.find("mine"), std::string::npos);
    const auto add = test::runCliAsNobody({"tasks", "add", "theirs", "--source", "/a",
                                           "--destination", "/b", "--every", "15 Min", "--db", db});
    EXPECT_EQ(add.status, 2);
    EXPECT_NE(add.err.find("read-only for you"), std::string::npos) << add.err;
}

TEST(StoreCliTest, ServeOpensAReplacedTaskFileAgainAndRunsItsTasks) {
    TempTree tree;
    tree.write("docs/a.txt", "a");
    const std::string db = tree.path("tasks.db");
    const std::map<std::string, std::string> env{{"TAVELIN_DB", db}};
    ASSERT_EQ(test::runCli({"tasks", "add", "old", "--source", tree.path("docs"), "--destination",
                            tree.path("out-old"), "--every", "2  hrs"},
                           env)
                  .status,
              0);
    auto serve = test::startCli({"serve"}, env);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // A new file, as a restore from a backup would bring, moved over the old one.
    const std::string fresh = tree.path("fresh.db");
    ASSERT_EQ(
        test::runCli({"tasks", "add", "restored", "--source", tree.path("docs"), "--destination",
                      tree.path("out-restored"), "--every", "15 Min", "--db", fresh})
            .status,
        0);
    ASSERT_EQ(std::system(("sqlite3 '" + fresh +
                           "' \"UPDATE tasks SET task_nextdate = datetime('now', 'localtime', "
                           "'-1 minute')\" >/dev/null")
                              .c_str()),
              0);
    ASSERT_EQ(::rename(fresh.c_str(), db.c_str()), 0);
    bool ran = false;
    for (int i = 0; i < 100 && !ran; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        ran = tree.exists("out-restored/a.txt");
    }
    EXPECT_TRUE(ran) << serve->out() << serve->err();
    EXPECT_NE(serve->err().find("was replaced or deleted; opened it again"), std::string::npos)
        << serve->err();
    serve->stop();
    EXPECT_EQ(serve->waitExit(3.0), 0);
}

} // namespace
} // namespace tavelin

namespace tavelin {
namespace {

TEST(HistoryCliTest, ShowsTheRunsNewestFirstAsATableOrJson) {
    TempTree tree;
    tree.write("docs/a.txt", "aaa");
    const std::map<std::string, std::string> env{{"TAVELIN_DB", tree.path("tasks.db")}};
    ASSERT_EQ(test::runCli({"tasks", "add", "docs", "--source", tree.path("docs"), "--destination",
                            tree.path("out"), "--every", "15 Min"},
                           env)
                  .status,
              0);
    ASSERT_EQ(test::runCli({"tasks", "run", "docs"}, env).status, 0);
    ::rename(tree.path("docs").c_str(), tree.path("gone").c_str());
    ASSERT_EQ(test::runCli({"tasks", "run", "docs"}, env).status, 1);

    const auto json = test::runCli({"tasks", "history", "docs", "--json"}, env);
    EXPECT_EQ(json.status, 0);
    const std::regex shape(
        R"(\[\{"task_name":"docs","trigger":"manual","started":"\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d",)"
        R"("ended":"\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d","status":"Failed","scanned":0,"copied":0,)"
        R"("failed":1,"bytes":0,"errors":\[\{"path":".*/docs","error":"cannot open source folder .*"\}\]\},)"
        R"(\{"task_name":"docs","trigger":"manual",.*"status":"OK","scanned":1,"copied":1,"failed":0,)"
        R"("bytes":3,"errors":\[\]\}\]\n)");
    EXPECT_TRUE(std::regex_match(json.out, shape)) << json.out;

    const auto limited = test::runCli({"tasks", "history", "--limit", "1"}, env);
    EXPECT_EQ(limited.status, 0);
    EXPECT_NE(limited.out.find("STARTED"), std::string::npos) << limited.out;
    EXPECT_NE(limited.out.find("Failed"), std::string::npos);
    EXPECT_EQ(limited.out.find(" OK "), std::string::npos); // only the newest run
    EXPECT_NE(limited.out.find("    " + tree.path("docs") + ": cannot open source folder"),
              std::string::npos)
        << limited.out;

    const auto unknown = test::runCli({"tasks", "history", "nobody"}, env);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("no task named 'nobody'"), std::string::npos);
}

} // namespace
} // namespace tavelin
