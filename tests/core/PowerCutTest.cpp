#include "core/copy/CopyEngine.h"
#include "core/copy/FileOps.h"
#include "tests/core/CopyOnce.h"
#include "tests/core/FakeVolumes.h"
#include "tests/core/LoopMount.h"
#include "tests/core/TempTree.h"

#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

namespace tavelin {
namespace {

using test::LoopMount;
using test::shell;
using test::TempTree;

constexpr std::int64_t kT = 1'700'000'000;

struct PowerCutCase {
    const char* name;
    const char* mkfs;
    const char* size;
};

void PrintTo(const PowerCutCase& c, std::ostream* os) {
    *os << c.name;
}

class PowerCutTest : public ::testing::TestWithParam<PowerCutCase> {};

// The power goes right after a run has reported its files as copied: after the file system
// comes back, every one of them is there, complete, and the versions it replaced are gone only
// because the new ones took their place.
TEST_P(PowerCutTest, CopiedFilesSurviveAPowerCut) {
    const auto& c = GetParam();
    TempTree tree;
    LoopMount mount(tree.path("disk.img"), tree.path("mnt"), c.mkfs, c.size);
    if (!mount.problem().empty()) {
        GTEST_SKIP() << mount.problem();
    }
    if (!shell("command -v xfs_io")) {
        GTEST_SKIP() << "xfs_io is not installed (scripts/install-deps installs it)";
    }

    std::mt19937 random(42);
    for (int i = 0; i < 120; ++i) {
        std::string content(1000 + random() % 60000, '\0');
        for (auto& ch : content) {
            ch = static_cast<char>('a' + random() % 26);
        }
        tree.write("src/d" + std::to_string(i % 4) + "/f" + std::to_string(i) + ".txt", content,
                   kT);
        if (i % 3 == 0) { // an older copy that the run replaces
            tree.write("mnt/dst/d" + std::to_string(i % 4) + "/f" + std::to_string(i) + ".txt",
                       "old version", kT - 100);
        }
    }
    ASSERT_TRUE(shell("sync -f '" + tree.path("mnt") + "'"));

    FileOps ops;
    const auto r = test::copyOnce({tree.path("src"), tree.path("mnt/dst"), "*", true}, ops);
    ASSERT_TRUE(r.has_value());
    ASSERT_EQ(r->counters.filesCopied, 120);

    // The power cut: the file system stops at once, without writing its log out.
    ASSERT_TRUE(shell("xfs_io -x -c shutdown '" + tree.path("mnt") + "'"));
    mount.unmount();
    ASSERT_TRUE(mount.mount());

    int complete = 0;
    for (int i = 0; i < 120; ++i) {
        const std::string rel = "d" + std::to_string(i % 4) + "/f" + std::to_string(i) + ".txt";
        const bool same = tree.read("mnt/dst/" + rel) == tree.read("src/" + rel) &&
                          tree.mtime("mnt/dst/" + rel) == kT;
        complete += same ? 1 : 0;
        EXPECT_TRUE(same) << rel << " came back as " << tree.read("mnt/dst/" + rel).size()
                          << " bytes";
    }
    EXPECT_EQ(complete, 120);
    EXPECT_EQ(tree.list("mnt/dst/d0").find(".tvl~"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Table, PowerCutTest,
                         ::testing::Values(PowerCutCase{"ext4", "mkfs.ext4 -q -F", "64M"},
                                           PowerCutCase{"xfs", "mkfs.xfs -q -f", "320M"}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
} // namespace tavelin
