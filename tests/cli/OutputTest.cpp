#include "tests/cli/RunCli.h"
#include "tests/core/TempTree.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavelin {
namespace {

using test::CliOutput;
using test::TempTree;

constexpr std::int64_t kT = 1'700'000'000;

// Valid UTF-8 throughout (what every JSON parser insists on).
bool isUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 ? 2 : 0;
        if (len == 0 || i + len > s.size()) {
            return false;
        }
        for (std::size_t k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += len;
    }
    return true;
}

struct OutputCase {
    const char* name;
    std::function<void(TempTree&)> setup;
    std::vector<std::string> args; // "@x" is tree.path("x")
    int status;
    std::function<void(const TempTree&, const CliOutput&)> check;
};

void PrintTo(const OutputCase& c, std::ostream* os) {
    *os << c.name;
}

class OutputTest : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputTest, TellsTheTruthReadably) {
    const auto& c = GetParam();
    TempTree tree;
    tree.mkdir("src");
    c.setup(tree);
    std::vector<std::string> args;
    for (const auto& a : c.args) {
        args.push_back(a.starts_with("@") ? tree.path(a.substr(1)) : a);
    }
    const auto r = test::runCli(args, {{"TAVELIN_DB", tree.path("tasks.db")}});
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    c.check(tree, r);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OutputTest,
    ::testing::Values(
        OutputCase{"jsonWithANameThatIsNotUtf8",
                   [](TempTree& tree) { tree.write("src/a\xff.txt", "a", kT); },
                   {"copy", "@src", "@dst", "--json"},
                   0,
                   [](const TempTree&, const CliOutput& r) {
                       EXPECT_TRUE(isUtf8(r.out));
                       EXPECT_EQ(r.out.find("\xff"), std::string::npos);
                   }},
        OutputCase{"jsonDryRunEscapesTheByteReversibly",
                   [](TempTree& tree) { tree.write("src/a\xff.txt", "a", kT); },
                   {"copy", "@src", "@dst", "--dry-run", "--json"},
                   0,
                   [](const TempTree& tree, const CliOutput& r) {
                       EXPECT_NE(
                           r.out.find("\"would_copy\":[\"" + tree.path("src") + "/a\\udcff.txt\"]"),
                           std::string::npos)
                           << r.out;
                       EXPECT_FALSE(tree.exists("dst"));
                   }},
        OutputCase{"dryRunListsAndWritesNothing",
                   [](TempTree& tree) {
                       tree.write("src/new.txt", "n", kT);
                       tree.write("src/same.txt", "s", kT);
                       tree.write("src/sub/deep.txt", "d", kT);
                       tree.write("dst/same.txt", "s", kT);
                   },
                   {"copy", "@src", "@dst", "--subfolders", "--dry-run"},
                   0,
                   [](const TempTree& tree, const CliOutput& r) {
                       EXPECT_EQ(r.out, tree.path("src/new.txt") + "\n" +
                                            tree.path("src/sub/deep.txt") + "\n");
                       EXPECT_EQ(tree.list("dst"), "same.txt");
                   }},
        OutputCase{"destinationIsAFile",
                   [](TempTree& tree) {
                       for (int i = 0; i < 50; ++i) {
                           tree.write("src/f" + std::to_string(i), "x", kT);
                       }
                       tree.write("dst", "a file", kT);
                   },
                   {"copy", "@src", "@dst"},
                   2,
                   [](const TempTree& tree, const CliOutput& r) {
                       EXPECT_NE(r.err.find("destination is not a folder"), std::string::npos);
                       EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
                       EXPECT_EQ(tree.read("dst"), "a file");
                   }},
        OutputCase{"controlCharactersInAFailureLine",
                   [](TempTree& tree) {
                       tree.write("src/evil\x1b[31m\nname.txt", "x", kT);
                       tree.mkdir("dst/evil\x1b[31m\nname.txt/in-the-way");
                   },
                   {"copy", "@src", "@dst"},
                   1,
                   [](const TempTree&, const CliOutput& r) {
                       EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
                       EXPECT_NE(r.err.find("evil\\x1b[31m\\nname.txt"), std::string::npos)
                           << r.err;
                       EXPECT_EQ(r.out.find("evil"), std::string::npos); // failures: stderr
                   }},
        OutputCase{"repeatedPatternIsRefusedWithAHint",
                   [](TempTree& tree) { tree.write("src/a.txt", "a", kT); },
                   {"copy", "@src", "@dst", "--pattern", "*.txt", "--pattern", "*.doc"},
                   2,
                   [](const TempTree& tree, const CliOutput& r) {
                       EXPECT_NE(r.err.find("\"*.txt;*.doc\""), std::string::npos) << r.err;
                       EXPECT_FALSE(tree.exists("dst"));
                   }},
        OutputCase{"patternWithAFolderIsRefused",
                   [](TempTree& tree) { tree.write("src/sub/a.txt", "a", kT); },
                   {"count", "@src", "--pattern", "sub/*.txt"},
                   2,
                   [](const TempTree&, const CliOutput& r) {
                       EXPECT_NE(r.err.find("can never match a file name"), std::string::npos);
                   }},
        OutputCase{"unicodeLettersWithoutRegardToCase",
                   [](TempTree& tree) {
                       tree.write("src/\xC3\x84RGER.TXT", "1", kT);
                       tree.write("src/other.txt", "2", kT);
                   },
                   {"copy", "@src", "@dst", "--pattern", "\xC3\xA4rger.txt"},
                   0,
                   [](const TempTree& tree, const CliOutput&) {
                       EXPECT_EQ(tree.list("dst"), "\xC3\x84RGER.TXT");
                   }},
        OutputCase{"keepVersionsNeedsItsSwitchForDays",
                   [](TempTree& tree) { tree.write("src/a.txt", "a", kT); },
                   {"copy", "@src", "@dst", "--versions-days", "7"},
                   2,
                   [](const TempTree& tree, const CliOutput& r) {
                       EXPECT_NE(r.err.find("--versions-days goes with --keep-versions"),
                                 std::string::npos);
                       EXPECT_FALSE(tree.exists("dst"));
                   }},
        OutputCase{"keepVersionsFromTheCommandLine",
                   [](TempTree& tree) {
                       tree.write("src/a.txt", "new", kT);
                       tree.write("dst/a.txt", "old", kT - 3600);
                   },
                   {"copy", "@src", "@dst", "--keep-versions", "--versions-days", "30"},
                   0,
                   [](const TempTree& tree, const CliOutput&) {
                       EXPECT_EQ(tree.read("dst/a.txt"), "new");
                       EXPECT_NE(tree.list("dst/.tavelin-versions").find("a "), std::string::npos);
                   }},
        OutputCase{"helpForACommand",
                   [](TempTree&) {},
                   {"help", "copy"},
                   0,
                   [](const TempTree&, const CliOutput& r) {
                       EXPECT_EQ(r.out, test::runCli({"copy", "--help"}).out);
                       EXPECT_NE(r.out.find("--dry-run"), std::string::npos);
                   }},
        OutputCase{"everyExitStatusIsDocumented",
                   [](TempTree&) {},
                   {"--help"},
                   0,
                   [](const TempTree&, const CliOutput& r) {
                       for (const char* s : {"0  done", "1  some files failed", "2  bad usage",
                                             "3  stopped before the end", "\\udc80"}) {
                           EXPECT_NE(r.out.find(s), std::string::npos) << s;
                       }
                   }},
        OutputCase{
            "taskNamesAreEscapedAndShortenedInTheTable",
            [](TempTree& tree) {
                tree.write("src/a.txt", "a", kT);
                const std::string longName(60, 'n');
                ASSERT_EQ(test::runCli({"tasks", "add", longName, "--source", tree.path("src"),
                                        "--destination", tree.path("dst"), "--every", "15 Min"},
                                       {{"TAVELIN_DB", tree.path("tasks.db")}})
                              .status,
                          0);
            },
            {"tasks", "list"},
            0,
            [](const TempTree& tree, const CliOutput& r) {
                EXPECT_NE(r.out.find(std::string(39, 'n') + "\xE2\x80\xA6"), std::string::npos)
                    << r.out;
                EXPECT_EQ(r.out.find(std::string(40, 'n')), std::string::npos);
                const auto json = test::runCli({"tasks", "list", "--json"},
                                               {{"TAVELIN_DB", tree.path("tasks.db")}});
                EXPECT_NE(json.out.find(std::string(60, 'n')), std::string::npos);
            }}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// Run as a user who is not root, for whom permissions hold.
TEST(OutputTest, CountCarriesItsFailuresAndAFolderThatCannotBeMadeNamesTheCause) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the program as another user";
    }
    TempTree tree;
    tree.write("src/a.txt", "a", kT);
    tree.write("src/closed/b.txt", "b", kT);
    tree.mkdir("locked");
    ASSERT_EQ(std::system(("chown -R 65534:65534 '" + tree.path("src") + "'").c_str()), 0);
    ::chmod(tree.root().c_str(), 0755);
    ::chmod(tree.path("locked").c_str(), 0755); // root's: nobody may not write in it
    ::chmod(tree.path("src/closed").c_str(), 0);
    const auto count = test::runCliAsNobody({"count", tree.path("src"), "--subfolders", "--json"});
    EXPECT_EQ(count.status, 1);
    EXPECT_NE(count.out.find("\"failed\":1,\"stopped\":false,\"errors\":[{\"path\":\"" +
                             tree.path("src/closed") + "\""),
              std::string::npos)
        << count.out;
    const auto copy =
        test::runCliAsNobody({"copy", tree.path("src"), tree.path("locked/new/deeper")});
    ::chmod(tree.path("src/closed").c_str(), 0755);
    EXPECT_EQ(copy.status, 1);
    EXPECT_NE(
        copy.err.find("cannot create folder '" + tree.path("locked/new") + "': Permission denied"),
        std::string::npos)
        << copy.err;
}

} // namespace
} // namespace tavelin
