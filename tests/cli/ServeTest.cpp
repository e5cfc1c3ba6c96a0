#include "core/util/SystemClock.h"
#include "tests/cli/RunCli.h"
#include "tests/core/LoopMount.h"
#include "tests/core/TempTree.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>

namespace tavelin {
namespace {

using test::TempTree;

std::string query(const std::string& db, const std::string& sql) {
    sqlite3* h = nullptr;
    sqlite3_open(db.c_str(), &h);
    sqlite3_busy_timeout(h, 5000);
    sqlite3_stmt* s = nullptr;
    std::string out;
    if (sqlite3_prepare_v2(h, sql.c_str(), -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW && sqlite3_column_text(s, 0) != nullptr) {
        out = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    }
    sqlite3_finalize(s);
    sqlite3_close(h);
    return out;
}

template <class Pred> bool waitFor(Pred pred, double seconds) {
    for (int i = 0; i < static_cast<int>(seconds * 20); ++i) {
        if (pred()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return pred();
}

// A missed run of a task that catches up is made up at once; another task just moves on, and
// no task shows a last run that never happened.
TEST(ServeTest, AtStartAMissedRunIsCaughtUpAndOtherTasksMoveOn) {
    TempTree tree;
    tree.write("docs/a.txt", "a");
    const std::map<std::string, std::string> env{{"TAVELIN_DB", tree.path("tasks.db")}};
    for (const auto& [name, extra] :
         {std::pair<std::string, std::string>{"caught", ""}, {"later", "--no-catch-up"}}) {
        std::vector<std::string> args{"tasks",
                                      "add",
                                      name,
                                      "--source",
                                      tree.path("docs"),
                                      "--destination",
                                      tree.path("out-" + name),
                                      "--every",
                                      "15 Min"};
        if (!extra.empty()) {
            args.push_back(extra);
        }
        ASSERT_EQ(test::runCli(args, env).status, 0);
    }
    // Both were due two hours ago, while nothing ran them.
    const auto missed = SystemClock().now().addSeconds(-7200).storage();
    const auto lastRun = SystemClock().now().addSeconds(-8100).storage();
    query(tree.path("tasks.db"),
          "UPDATE tasks SET task_nextdate = '" + missed + "', task_lastdate = '" + lastRun + "'");

    auto serve = test::startCli({"serve"}, env);
    EXPECT_TRUE(
        waitFor([&] { return serve->out().find("caught -:- OK") != std::string::npos; }, 10))
        << serve->out() << serve->err();
    EXPECT_EQ(tree.read("out-caught/a.txt"), "a");
    serve->stop();
    EXPECT_EQ(serve->waitExit(3.0), 0);
    EXPECT_FALSE(tree.exists("out-later"));
    EXPECT_EQ(
        query(tree.path("tasks.db"), "SELECT task_lastdate FROM tasks WHERE task_name = 'later'"),
        lastRun);
    EXPECT_GT(
        query(tree.path("tasks.db"), "SELECT task_nextdate FROM tasks WHERE task_name = 'later'"),
        SystemClock().now().storage());
}

// The drive a task was saved for is unplugged: its empty mount point receives nothing, and the
// task runs as soon as the drive is mounted again.
TEST(ServeTest, AnUnpluggedDriveGetsNothingAndItsTaskRunsWhenItIsBack) {
    TempTree tree;
    test::LoopMount usb(tree.path("usb.img"), tree.path("usb"), "mkfs.ext4 -q -F", "16M");
    if (!usb.problem().empty()) {
        GTEST_SKIP() << usb.problem();
    }
    tree.write("docs/a.txt", "a");
    const std::map<std::string, std::string> env{{"TAVELIN_DB", tree.path("tasks.db")}};
    ASSERT_EQ(test::runCli({"tasks", "add", "stick", "--source", tree.path("docs"), "--destination",
                            tree.path("usb/backup"), "--every", "15 Min"},
                           env)
                  .status,
              0);
    ASSERT_TRUE(usb.unmount());
    query(tree.path("tasks.db"), "UPDATE tasks SET task_nextdate = '" +
                                     SystemClock().now().addSeconds(-60).storage() + "'");

    auto serve = test::startCli({"serve"}, env);
    EXPECT_TRUE(waitFor(
        [&] {
            return serve->out().find("stick -:- Failed -:- ") != std::string::npos &&
                   serve->out().find("destination drive is not connected") != std::string::npos;
        },
        10))
        << serve->out() << serve->err();
    EXPECT_FALSE(tree.exists("usb/backup"));
    EXPECT_EQ(query(tree.path("tasks.db"), "SELECT task_success FROM tasks"), "Failed");

    ASSERT_TRUE(usb.mount());
    EXPECT_TRUE(waitFor([&] { return tree.exists("usb/backup/a.txt"); }, 10)) << serve->out();
    EXPECT_TRUE(waitFor([&] { return serve->out().find("stick -:- OK") != std::string::npos; }, 5))
        << serve->out();
    serve->stop();
    EXPECT_EQ(serve->waitExit(3.0), 1); // a run failed during its life
}

// A task that copies on change: a saved file is copied once the source has been quiet for the
// settle time, and the run is in the history as a change run.
TEST(ServeTest, ASavedFileIsCopiedSoonAfterTheSourceIsQuiet) {
    TempTree tree;
    tree.mkdir("thesis");
    const std::map<std::string, std::string> env{{"TAVELIN_DB", tree.path("tasks.db")}};
    ASSERT_EQ(test::runCli({"tasks", "add", "thesis", "--source", tree.path("thesis"),
                            "--destination", tree.path("backup"), "--every", "2  hrs",
                            "--subfolders", "--on-change", "--settle", "1"},
                           env)
                  .status,
              0);
    const auto listed = test::runCli({"tasks", "list", "--json"}, env);
    EXPECT_NE(listed.out.find("\"task_onchange\":1,\"task_settle\":1"), std::string::npos)
        << listed.out;
    auto serve = test::startCli({"serve"}, env);
    ASSERT_TRUE(
        waitFor([&] { return serve->err().find("running the tasks") != std::string::npos; }, 10));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // its watch is set up
    tree.write("thesis/chapter 1.odt", "draft");
    EXPECT_TRUE(waitFor([&] { return tree.exists("backup/chapter 1.odt"); }, 10))
        << serve->out() << serve->err();
    tree.write("thesis/notes/idea.txt", "a new folder too");
    EXPECT_TRUE(waitFor([&] { return tree.exists("backup/notes/idea.txt"); }, 10))
        << serve->out() << serve->err();
    serve->stop();
    EXPECT_EQ(serve->waitExit(3.0), 0);
    const auto history = test::runCli({"tasks", "history", "thesis", "--json"}, env);
    EXPECT_NE(history.out.find("\"trigger\":\"change\""), std::string::npos) << history.out;
}

struct SignalCase {
    const char* name;
    int signal;
};

void PrintTo(const SignalCase& c, std::ostream* os) {
    *os << c.name;
}

class ServeSignalTest : public ::testing::TestWithParam<SignalCase> {};

TEST_P(ServeSignalTest, RunsADueTaskRecordsItAndStopsCleanlyOnTheSignal) {
    TempTree tree;
    tree.write("docs/a.odt", "report");
    const std::map<std::string, std::string> env{{"TAVELIN_DB", tree.path("db/tasks.db")}};
    const auto added = test::runCli({"tasks", "add", "Bob's docs", "--source", tree.path("docs"),
                                     "--destination", tree.path("usb/docs"), "--every", "15 Min",
                                     "--pattern", "*.odt;*.pdf", "--subfolders"},
                                    env);
    ASSERT_EQ(added.status, 0) << added.err;

    auto serve = test::spawnCli({"serve"}, env);
    ASSERT_TRUE(
        waitFor([&] { return serve.err().find("running the tasks") != std::string::npos; }, 10))
        << serve.err();
    // The fixture: the task falls due two seconds from now.
    const auto due = SystemClock().now().addSeconds(2).storage();
    query(tree.path("db/tasks.db"),
          "UPDATE tasks SET task_nextdate = '" + due + "' WHERE task_name = 'Bob''s docs'");

    EXPECT_TRUE(waitFor([&] { return tree.exists("usb/docs/a.odt"); }, 10));
    EXPECT_TRUE(waitFor(
        [&] { return serve.out().find("Bob's docs -:- OK -:- Last run @") != std::string::npos; },
        5))
        << serve.out();
    EXPECT_EQ(query(tree.path("db/tasks.db"), "SELECT task_success FROM tasks"), "OK");
    EXPECT_EQ(query(tree.path("db/tasks.db"), "SELECT task_lastdate FROM tasks"), due);

    ::kill(serve.pid, GetParam().signal);
    EXPECT_EQ(serve.waitExit(2.0), 0) << serve.err();
    EXPECT_EQ(tree.read("usb/docs/a.odt"), "report");
}

INSTANTIATE_TEST_SUITE_P(Signals, ServeSignalTest,
                         ::testing::Values(SignalCase{"sigterm", SIGTERM},
                                           SignalCase{"sighup", SIGHUP}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// The process has a handler for `signal` (its caught-signals mask says so).
bool catches(int pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("SigCgt:")) {
            return ((std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1) != 0;
        }
    }
    return false;
}

class CopySignalTest : public ::testing::TestWithParam<SignalCase> {};

// A copy ended by a signal stops between files: every destination file is complete, no
// temporary is left, and the exit status says the run did not finish.
TEST_P(CopySignalTest, StopsBetweenFilesAndLeavesNoPartialFile) {
    TempTree tree;
    const std::string block(256 * 1024, 'x');
    for (int i = 0; i < 800; ++i) {
        tree.write("src/d" + std::to_string(i % 8) + "/f" + std::to_string(i), block);
    }
    auto copy = test::spawnCli({"copy", tree.path("src"), tree.path("dst"), "--subfolders"});
    // Once the program catches the signal, freeze it, send the signal and let it go on: the
    // signal then arrives in the middle of the run, however fast the machine is.
    bool caught = false;
    for (int i = 0; i < 10000 && !caught; ++i) {
        caught = catches(copy.pid, GetParam().signal);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ASSERT_TRUE(caught);
    ::kill(copy.pid, SIGSTOP);
    ::kill(copy.pid, GetParam().signal);
    ::kill(copy.pid, SIGCONT);
    const int status = copy.waitExit(5.0);
    EXPECT_EQ(status, 3) << copy.err(); // stopped before the end
    EXPECT_NE(copy.err().find("stopped before the end"), std::string::npos) << copy.err();
    int copied = 0;
    for (int i = 0; i < 800; ++i) {
        const std::string rel = "d" + std::to_string(i % 8) + "/f" + std::to_string(i);
        if (tree.exists("dst/" + rel)) {
            ++copied;
            EXPECT_EQ(tree.read("dst/" + rel).size(), block.size()) << rel;
        }
    }
    EXPECT_LT(copied, 800);
    ::waitpid(copy.pid, nullptr, WNOHANG);
    EXPECT_EQ(tree.fileCount(), 800 + copied) << "a temporary was left behind";
}

INSTANTIATE_TEST_SUITE_P(Signals, CopySignalTest,
                         ::testing::Values(SignalCase{"sigterm", SIGTERM},
                                           SignalCase{"sighup", SIGHUP}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
} // namespace tavelin
