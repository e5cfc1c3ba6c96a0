#include "tests/cli/RunCli.h"
#include "tests/core/TempTree.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace tavelin {
namespace {

using test::runCli;
using test::TempTree;

constexpr std::int64_t kT = 1'700'000'000;

TEST(CliCopyTest, PrintsTheSummaryLineAndCopies) {
    TempTree tree;
    tree.write("src/a.txt", "aaa", kT);
    tree.write("src/b.doc", "bb", kT);
    tree.write("src/c.pdf", "c", kT);
    tree.write("src/sub/d.txt", "dddd", kT);
    const auto r = runCli(
        {"copy", tree.path("src"), tree.path("dst"), "--pattern", "*.txt;*.doc", "--subfolders"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::regex summary(
        R"(Last run @ \d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d -:- 3 Files Scaned -:- 3 )"
        R"(Files copied -:- Copy Size = 9 Bytes\n)");
    EXPECT_TRUE(std::regex_match(r.out, summary)) << r.out;
    EXPECT_EQ(r.err, ""); // not a terminal: no progress line
    EXPECT_EQ(tree.read("dst/sub/d.txt"), "dddd");
    EXPECT_FALSE(tree.exists("dst/c.pdf"));
}

TEST(CliCopyTest, JsonNamesEveryFigureAndEachFailure) {
    TempTree tree;
    tree.write("src/a.txt", "aaa", kT);
    tree.write("src/b\"q.txt", "bb", kT);
    tree.mkdir("dst/b\"q.txt/blocker"); // an older, non-empty folder where the file must go
    tree.setMtime("dst/b\"q.txt", kT - 100);
    const auto r = runCli({"copy", tree.path("src"), tree.path("dst"), "--json"});
    EXPECT_EQ(r.status, 1);
    const std::regex json(
        R"(\{"scanned":2,"copied":1,"failed":1,"bytes":3,"folders":0,"stopped":false,)"
        R"("errors":\[\{"path":".*/src/b\\"q\.txt","error":"cannot replace .*"\}\]\}\n)");
    EXPECT_TRUE(std::regex_match(r.out, json)) << r.out;
    // The failure is told on standard error too, as cp and rsync do.
    EXPECT_NE(r.err.find("/src/b\"q.txt: cannot replace"), std::string::npos) << r.err;
}

TEST(CliCountTest, PrintsFoldersFilesAndSize) {
    TempTree tree;
    tree.write("src/a.pdf", std::string(100, 'x'));
    tree.write("src/b.PDF", std::string(200, 'x'));
    tree.write("src/sub/c.pdf", std::string(300, 'x'));
    tree.write("src/sub/d.txt", "x");
    EXPECT_EQ(runCli({"count", tree.path("src"), "--pattern", "*.pdf", "--subfolders"}).out,
              "Folders: 1\nFiles: 3\nSize: 600 Bytes\n");
    EXPECT_EQ(runCli({"count", tree.path("src"), "--pattern", "*.pdf", "--json"}).out,
              "{\"files\":2,\"folders\":0,\"bytes\":300,\"failed\":0,\"stopped\":false,"
              "\"errors\":[]}\n");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* errorText;
};

void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class CliUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsageTest, BadUsageOrInputExitsTwoWithAClearMessage) {
    TempTree tree;
    tree.write("src/a.txt", "a");
    std::vector<std::string> args;
    for (auto a : GetParam().args) {
        if (a.starts_with("@")) {
            a = tree.path(a.substr(1));
        }
        args.push_back(a);
    }
    const auto r = runCli(args);
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_NE(r.err.find(GetParam().errorText), std::string::npos) << r.err;
    EXPECT_FALSE(tree.exists("dst"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliUsageTest,
    ::testing::Values(
        UsageCase{"missing_source", {"copy", "@nowhere", "@dst"}, 2, "No such file or directory"},
        UsageCase{"unknown_option",
                  {"copy", "@src", "@dst", "--frobnicate"},
                  2,
                  "unknown option '--frobnicate'"},
        UsageCase{"missing_destination", {"copy", "@src"}, 2, "needs SOURCE and DESTINATION"},
        UsageCase{"count_missing_source", {"count", "@nowhere"}, 2, "cannot open source folder"},
        UsageCase{"unknown_command", {"frobnicate"}, 2, "unknown command"},
        // Never a folder named after the server on the local disk.
        UsageCase{"share_not_mounted",
                  {"copy", "@src", "//nosuch/share/docs", "--typed-destination"},
                  2,
                  "network share //nosuch/share is not mounted"},
        UsageCase{"no_command", {}, 2, "usage: tavelin-cli"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// A folder that can be listed but not entered hides nothing: each of its files is a failure.
TEST(CliCopyTest, UnreadableFolderIsAFailureNotASilentSkip) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the copy as another user";
    }
    TempTree tree;
    tree.write("src/a.txt", "a", kT);
    tree.write("src/locked/b.txt", "b", kT);
    tree.write("src/closed/c.txt", "c", kT);
    ASSERT_EQ(std::system(("chown -R 65534:65534 '" + tree.root() + "'").c_str()), 0);
    ::chmod(tree.root().c_str(), 0755);
    ::chmod(tree.path("src/locked").c_str(), 0644); // listed, not entered
    ::chmod(tree.path("src/closed").c_str(), 0);    // not even listed
    const auto r = test::runCliAsNobody(
        {"copy", tree.path("src"), tree.path("dst"), "--subfolders", "--json"});
    ::chmod(tree.path("src/locked").c_str(), 0755);
    ::chmod(tree.path("src/closed").c_str(), 0755);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("\"copied\":1,\"failed\":2"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("src/locked/b.txt\",\"error\":\"cannot read"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("src/closed\",\"error\":\"cannot open folder"), std::string::npos)
        << r.out;
    EXPECT_EQ(tree.read("dst/a.txt"), "a");
}

TEST(CliTest, HelpAndVersion) {
    const auto version = runCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tavelin-cli 1.07\n");
    const auto help = runCli({"copy", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--typed-destination"), std::string::npos);
}

} // namespace
} // namespace tavelin
