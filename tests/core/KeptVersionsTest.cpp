#include "core/copy/KeptVersions.h"

#include "core/copy/CopyEngine.h"
#include "core/copy/FileOps.h"
#include "tests/core/CopyOnce.h"
#include "tests/core/FakeVolumes.h"
#include "tests/core/TempTree.h"

#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tavelin {
namespace {

using test::TempTree;

constexpr std::int64_t kOld = 1'700'000'000;
constexpr std::int64_t kNew = kOld + 3600;

std::string stamp(std::int64_t t) {
    return KeptVersions::versionName("", static_cast<std::time_t>(t)).substr(1);
}

// File operations whose clock runs ahead, for pruning.
class LaterOps final : public FileOps {
  public:
    explicit LaterOps(std::int64_t ahead) : ahead_(ahead) {}
    std::int64_t now() override { return FileOps::now() + ahead_; }

  private:
    std::int64_t ahead_;
};

struct VersionCase {
    const char* name;
    std::function<void(TempTree&)> setup;
    bool keep;
    int days;
    std::int64_t clockAhead;
    std::function<void(const TempTree&)> check;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << c.name;
}

class KeptVersionsTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(KeptVersionsTest, AReplacedFileIsKeptOnlyWhenAsked) {
    const auto& c = GetParam();
    TempTree tree;
    c.setup(tree);
    LaterOps ops(c.clockAhead);
    const auto r =
        test::copyOnce({tree.path("src"), tree.path("dst"), "*", true, false, c.keep, c.days}, ops);
    ASSERT_TRUE(r.has_value());
    EXPECT_TRUE(r->succeeded()) << (r->failures.empty() ? "" : r->failures[0].reason);
    c.check(tree);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeptVersionsTest,
    ::testing::Values(
        VersionCase{"keptWithItsTimeAndMode",
                    [](TempTree& tree) {
                        tree.write("src/report.txt", "new", kNew);
                        tree.write("dst/report.txt", "old", kOld);
                        ::chmod(tree.path("dst/report.txt").c_str(), 0640);
                    },
                    true, 0, 0,
                    [](const TempTree& tree) {
                        const std::string kept = ".tavelin-versions/report " + stamp(kOld) + ".txt";
                        EXPECT_EQ(tree.read("dst/report.txt"), "new");
                        EXPECT_EQ(tree.read("dst/" + kept), "old");
                        EXPECT_EQ(tree.mtime("dst/" + kept), kOld);
                        struct stat st {};
                        ::stat(tree.path("dst/" + kept).c_str(), &st);
                        EXPECT_EQ(st.st_mode & 0777, 0640u);
                    }},
        VersionCase{"offByDefault",
                    [](TempTree& tree) {
                        tree.write("src/report.txt", "new", kNew);
                        tree.write("dst/report.txt", "old", kOld);
                    },
                    false, 0, 0,
                    [](const TempTree& tree) { EXPECT_EQ(tree.list("dst"), "report.txt"); }},
        VersionCase{
            "aNameAlreadyTakenGetsACounter",
            [](TempTree& tree) {
                tree.write("src/report.txt", "new", kNew);
                tree.write("dst/report.txt", "old", kOld);
                // Kept before from another version of the same second.
                tree.write("dst/.tavelin-versions/report " + stamp(kOld) + ".txt", "older", kOld);
            },
            true, 0, 0,
            [](const TempTree& tree) {
                EXPECT_EQ(tree.read("dst/.tavelin-versions/report " + stamp(kOld) + ".txt"),
                          "older");
                EXPECT_EQ(tree.read("dst/.tavelin-versions/report " + stamp(kOld) + " (2).txt"),
                          "old");
            }},
        VersionCase{"aNameWithoutAnExtensionInASubFolder",
                    [](TempTree& tree) {
                        tree.write("src/sub/Makefile", "new", kNew);
                        tree.write("dst/sub/Makefile", "old", kOld);
                    },
                    true, 0, 0,
                    [](const TempTree& tree) {
                        EXPECT_EQ(tree.read("dst/.tavelin-versions/sub/Makefile " + stamp(kOld)),
                                  "old");
                    }},
        VersionCase{"prunedWhenKeptLongerThanAsked",
                    [](TempTree& tree) {
                        tree.write("src/report.txt", "new", kNew);
                        tree.write("dst/report.txt", "old", kOld);
                        tree.write("dst/.tavelin-versions/sub/a 2020-01-01 000000.txt", "a", kOld);
                    },
                    true, 7, 8 * 86400, // the clock eight days ahead
                    [](const TempTree& tree) {
                        EXPECT_EQ(tree.list("dst/.tavelin-versions"), "");
                        EXPECT_EQ(tree.read("dst/report.txt"), "new");
                    }},
        VersionCase{"notPrunedWithinTheDays",
                    [](TempTree& tree) {
                        tree.write("src/report.txt", "new", kNew);
                        tree.write("dst/report.txt", "old", kOld);
                    },
                    true, 7, 6 * 86400,
                    [](const TempTree& tree) {
                        EXPECT_EQ(tree.list("dst/.tavelin-versions"),
                                  "report " + stamp(kOld) + ".txt");
                    }},
        VersionCase{"theVersionsFolderInsideTheSourceIsNeverCopied",
                    [](TempTree& tree) {
                        tree.write("src/report.txt", "new", kNew);
                        tree.write("src/.tavelin-versions/report 2020-01-01 000000.txt", "x", kOld);
                    },
                    true, 0, 0,
                    [](const TempTree& tree) { EXPECT_EQ(tree.list("dst"), "report.txt"); }}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// The old file gets its second name before the new one takes its place: a kill in between
// leaves the old file in place and kept.
class DiesBeforePlacing final : public FileOps {
  public:
    int place(int, const char*, const char*, bool) override { return EIO; }
};

TEST(KeptVersionsSafetyTest, AKillBetweenKeepingAndPlacingLosesNothing) {
    TempTree tree;
    tree.write("src/report.txt", "new", kNew);
    tree.write("dst/report.txt", "old", kOld);
    DiesBeforePlacing ops;
    const auto r =
        test::copyOnce({tree.path("src"), tree.path("dst"), "*", false, false, true, 0}, ops);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(tree.read("dst/report.txt"), "old");
    EXPECT_EQ(tree.read("dst/.tavelin-versions/report " + stamp(kOld) + ".txt"), "old");
    EXPECT_EQ(tree.list("dst"), ".tavelin-versions report.txt"); // no temporary left
}

} // namespace
} // namespace tavelin
