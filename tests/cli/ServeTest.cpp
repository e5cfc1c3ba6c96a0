#include "cli/RunCli.h"
#include "core/TempTree.h"
#include "util/SystemClock.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sqlite3.h>
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

TEST(ServeTest, RunsADueTaskRecordsItAndStopsCleanlyOnSigterm) {
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

    ::kill(serve.pid, SIGTERM);
    EXPECT_EQ(serve.waitExit(2.0), 0) << serve.err();
    EXPECT_EQ(tree.read("usb/docs/a.odt"), "report");
}

} // namespace
} // namespace tavelin
