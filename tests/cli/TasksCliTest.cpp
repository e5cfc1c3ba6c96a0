#include "tests/cli/RunCli.h"
#include "tests/core/TempTree.h"

#include <gtest/gtest.h>
#include <regex>

namespace tavelin {
namespace {

using test::runCli;

class TasksCliTest : public ::testing::Test {
  protected:
    test::CliOutput cli(std::vector<std::string> args) {
        args.push_back("--db");
        args.push_back(tree.path("tasks.db"));
        return runCli(args);
    }
    test::TempTree tree;
};

TEST_F(TasksCliTest, AddListRunRemoveRoundTrip) {
    tree.write("src/a.pdf", "pdf");
    tree.write("src/b.txt", "txt");
    auto r = cli({"tasks", "add", "100% 'odd' name", "--source", tree.path("src"), "--destination",
                  tree.path("dst"), "--every", "2  hrs", "--pattern", "*.pdf"});
    ASSERT_EQ(r.status, 0) << r.err;

    r = cli({"tasks", "list", "--json"});
    const std::regex row(
        R"(\[\{"task_name":"100% 'odd' name","task_source":".*/src","task_destination":".*/dst",)"
        R"("task_subfolders":0,"task_interval":"02:00","task_lastdate":"\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d",)"
        R"("task_nextdate":"\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d","task_success":"-",)"
        R"("task_filetypes":"\*\.pdf","task_uncpath":0,"task_catchup":1,"task_onchange":0,)"
        R"("task_settle":10,"task_keepversions":0,"task_versionsdays":0\}\]\n)");
    EXPECT_TRUE(std::regex_match(r.out, row)) << r.out;

    r = cli({"tasks", "run", "100% 'odd' name"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("100% 'odd' name -:- OK -:- Last run @ "), std::string::npos) << r.out;
    EXPECT_EQ(tree.list("dst"), "a.pdf");
    EXPECT_NE(cli({"tasks", "list"}).out.find("02:00"), std::string::npos);

    EXPECT_EQ(cli({"tasks", "remove", "100% 'odd' name"}).status, 0);
    EXPECT_EQ(cli({"tasks", "list", "--json"}).out, "[]\n");
}

struct RefusalCase {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

class TasksCliRefusalTest : public TasksCliTest,
                            public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(TasksCliRefusalTest, ExitsTwoWithTheMessage) {
    ASSERT_EQ(
        cli({"tasks", "add", "taken", "--source", "/s", "--destination", "/d", "--every", "15 Min"})
            .status,
        0);
    const auto r = cli(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TasksCliRefusalTest,
    ::testing::Values(
        RefusalCase{
            "taken",
            {"tasks", "add", "taken", "--source", "/s", "--destination", "/d", "--every", "30 Min"},
            "Task name already exist!"},
        RefusalCase{
            "no_auto",
            {"tasks", "add", "n", "--source", "/s", "--destination", "/d", "--every", "No Auto"},
            "Please enter or select the update interval!"},
        RefusalCase{
            "bad_time",
            {"tasks", "add", "n", "--source", "/s", "--destination", "/d", "--every", "25:00"},
            "Please enter or select the update interval!"},
        RefusalCase{"remove_unknown", {"tasks", "remove", "nobody"}, "no task named 'nobody'"},
        RefusalCase{"run_unknown", {"tasks", "run", "nobody"}, "no task named 'nobody'"},
        RefusalCase{"missing_every",
                    {"tasks", "add", "n", "--source", "/s", "--destination", "/d"},
                    "needs --source, --destination and --every"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(TasksCliTest, CorruptDatabaseIsNamedAndLeftAlone) {
    tree.write("tasks.db", std::string(3000, 'x'));
    const auto r = cli({"tasks", "list"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(tree.path("tasks.db")), std::string::npos) << r.err;
    EXPECT_EQ(tree.read("tasks.db"), std::string(3000, 'x'));
}

} // namespace
} // namespace tavelin
