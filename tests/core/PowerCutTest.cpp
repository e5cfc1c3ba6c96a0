#include "copy/CopyEngine.h"
#include "copy/FileOps.h"
#include "core/FakeVolumes.h"
#include "core/TempTree.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <sys/mount.h>
#include <unistd.h>

namespace tavelin {
namespace {

using test::TempTree;

constexpr std::int64_t kT = 1'700'000'000;

bool shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A file system image mounted through a loop device, unmounted however the test ends.
class LoopMount {
  public:
    LoopMount(std::string image, std::string mountPoint)
        : image_(std::move(image)), mountPoint_(std::move(mountPoint)) {}
    ~LoopMount() { unmount(); }
    LoopMount(const LoopMount&) = delete;
    LoopMount& operator=(const LoopMount&) = delete;

    bool mount() {
        mounted_ = shell("mount -o loop '" + image_ + "' '" + mountPoint_ + "'");
        return mounted_;
    }
    void unmount() {
        if (mounted_) {
            mounted_ = !shell("umount '" + mountPoint_ + "'");
        }
    }

  private:
    std::string image_;
    std::string mountPoint_;
    bool mounted_ = false;
};

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
    if (::geteuid() != 0) {
        GTEST_SKIP() << "loop mounts need root";
    }
    if (!shell(std::string("command -v ") + c.mkfs + " && command -v xfs_io")) {
        GTEST_SKIP() << c.mkfs
                     << " or xfs_io is not installed (scripts/install-deps installs them)";
    }
    TempTree tree;
    const std::string image = tree.path("disk.img");
    tree.mkdir("mnt");
    if (!shell("truncate -s " + std::string(c.size) + " '" + image + "' && " + c.mkfs + " '" +
               image + "'")) {
        GTEST_SKIP() << "cannot make a " << c.name << " image here";
    }
    LoopMount mount(image, tree.path("mnt"));
    if (!mount.mount()) {
        GTEST_SKIP() << "the kernel refuses loop mounts here";
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

    test::FakeVolumes volumes;
    FileOps ops;
    const CopyEngine engine(volumes, ops);
    const auto r = engine.RunCopy({tree.path("src"), tree.path("mnt/dst"), "*", true});
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
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tavelin
