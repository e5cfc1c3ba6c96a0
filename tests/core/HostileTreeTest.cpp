#include "core/copy/CopyEngine.h"
#include "core/copy/FileOps.h"
#include "core/copy/TempFile.h"
#include "core/copy/TempName.h"
#include "tests/core/CopyOnce.h"
#include "tests/core/FakeVolumes.h"
#include "tests/core/TempTree.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace tavelin {
namespace {

using test::TempTree;

constexpr std::int64_t kT = 1'700'000'000;
constexpr uid_t kNobody = 65534;

// A temporary of this program left behind by a process that is gone.
void writeStaleTemporary(TempTree& tree, const std::string& folder) {
    const std::string name = TempName::make(0x7ffffff0, 1); // above any pid_max
    tree.write(folder + "/" + name, "half a file");
    ::setxattr(tree.path(folder + "/" + name).c_str(), TempFile::kMarkAttribute, name.data(),
               name.size(), 0);
}

mode_t modeOf(const TempTree& tree, const std::string& relative) {
    struct stat st {};
    return ::lstat(tree.path(relative).c_str(), &st) == 0 ? st.st_mode : 0;
}

struct HostileCase {
    const char* name;
    bool needsRoot;
    std::function<void(TempTree&)> setup;
    std::int64_t copied;
    const char* failure; // expected in the one failure's reason; empty: no failure
    std::function<void(const TempTree&)> check;
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}

class HostileTreeTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileTreeTest, NeverWritesOutsideAndNeverSkipsInSilence) {
    const auto& c = GetParam();
    if (c.needsRoot && ::geteuid() != 0) {
        GTEST_SKIP() << "giving files to another user needs root";
    }
    TempTree tree;
    tree.mkdir("src");
    tree.mkdir("dst");
    tree.mkdir("outside");
    c.setup(tree);
    FileOps ops;
    const auto r = test::copyOnce({tree.path("src"), tree.path("dst"), "*", true, false}, ops);
    ASSERT_TRUE(r.has_value()) << r.error().message;
    EXPECT_EQ(r->counters.filesCopied, c.copied);
    if (*c.failure == '\0') {
        EXPECT_TRUE(r->failures.empty()) << r->failures.front().reason;
    } else {
        ASSERT_EQ(r->failures.size(), 1u);
        EXPECT_NE(r->failures[0].reason.find(c.failure), std::string::npos)
            << r->failures[0].reason;
        EXPECT_FALSE(r->succeeded());
    }
    EXPECT_EQ(tree.list("outside").find("a.txt"), std::string::npos) << tree.list("outside");
    c.check(tree);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileTreeTest,
    ::testing::Values(
        HostileCase{"destinationFolderIsALink", false,
                    [](TempTree& tree) {
                        tree.write("src/sub/a.txt", "a", kT);
                        ::symlink(tree.path("outside").c_str(), tree.path("dst/sub").c_str());
                    },
                    0, "destination folder is a symbolic link",
                    [](const TempTree& tree) { EXPECT_EQ(tree.list("outside"), ""); }},
        HostileCase{"destinationFileIsALink", false,
                    [](TempTree& tree) {
                        tree.write("src/a.txt", "new", kT);
                        tree.write("outside/target.txt", "keep", kT - 10);
                        ::symlink(tree.path("outside/target.txt").c_str(),
                                  tree.path("dst/a.txt").c_str());
                    },
                    1, "",
                    [](const TempTree& tree) {
                        EXPECT_TRUE(S_ISREG(modeOf(tree, "dst/a.txt")));
                        EXPECT_EQ(tree.read("dst/a.txt"), "new");
                        EXPECT_EQ(tree.read("outside/target.txt"), "keep");
                    }},
        HostileCase{"folderInTheWay", false,
                    [](TempTree& tree) {
                        tree.write("src/a.txt", "a", kT);
                        tree.mkdir("dst/a.txt");
                        tree.setMtime("dst/a.txt", kT + 100); // newer: used to be skipped quietly
                    },
                    0, "a folder is in the way",
                    [](const TempTree& tree) { EXPECT_TRUE(S_ISDIR(modeOf(tree, "dst/a.txt"))); }},
        HostileCase{"linkToFolderInTheWay", false,
                    [](TempTree& tree) {
                        tree.write("src/a.txt", "a", kT);
                        ::symlink(tree.path("outside").c_str(), tree.path("dst/a.txt").c_str());
                    },
                    0, "a link to a folder is in the way",
                    [](const TempTree& tree) { EXPECT_TRUE(S_ISLNK(modeOf(tree, "dst/a.txt"))); }},
        HostileCase{"sourceLinkOfAnotherUser", true,
                    [](TempTree& tree) {
                        tree.write("secret", "root only", kT);
                        ::chmod(tree.path("secret").c_str(), 0600);
                        ::symlink(tree.path("secret").c_str(), tree.path("src/a.txt").c_str());
                        ::lchown(tree.path("src/a.txt").c_str(), kNobody, kNobody);
                    },
                    0, "link owned by another user",
                    [](const TempTree& tree) { EXPECT_FALSE(tree.exists("dst/a.txt")); }},
        HostileCase{"sourceLinkOfTheTargetsOwner", true,
                    [](TempTree& tree) {
                        tree.write("theirs", "shared", kT);
                        ::chown(tree.path("theirs").c_str(), kNobody, kNobody);
                        ::symlink(tree.path("theirs").c_str(), tree.path("src/a.txt").c_str());
                        ::lchown(tree.path("src/a.txt").c_str(), kNobody, kNobody);
                    },
                    1, "",
                    [](const TempTree& tree) { EXPECT_EQ(tree.read("dst/a.txt"), "shared"); }},
        HostileCase{"privateFolderStaysPrivate", false,
                    [](TempTree& tree) {
                        tree.write("src/private/a.txt", "a", kT);
                        tree.write("src/shared/b.txt", "b", kT);
                        ::chmod(tree.path("src/private").c_str(), 0700);
                        ::chmod(tree.path("src/shared").c_str(), 0775);
                    },
                    2, "",
                    [](const TempTree& tree) {
                        EXPECT_EQ(modeOf(tree, "dst/private") & 07777, 0700u);
                        EXPECT_EQ(modeOf(tree, "dst/shared") & 07777, 0775u);
                    }},
        HostileCase{"editedAgainWithinTheSameSecond", false,
                    [](TempTree& tree) {
                        tree.write("src/a.txt", "edit 2", kT);
                        tree.write("dst/a.txt", "edit 1", kT);
                        const struct timespec src[2] = {{kT, 700'000'000}, {kT, 700'000'000}};
                        const struct timespec dst[2] = {{kT, 200'000'000}, {kT, 200'000'000}};
                        ::utimensat(AT_FDCWD, tree.path("src/a.txt").c_str(), src, 0);
                        ::utimensat(AT_FDCWD, tree.path("dst/a.txt").c_str(), dst, 0);
                    },
                    1, "",
                    [](const TempTree& tree) { EXPECT_EQ(tree.read("dst/a.txt"), "edit 2"); }},
        HostileCase{"temporaryLookAlikes", false,
                    [](TempTree& tree) {
                        const std::string lookAlike = TempName::make(0x7ffffff1, 7);
                        tree.write("src/" + lookAlike, "a user's file", kT);
                        tree.write("dst/old/" + lookAlike, "another user's file", kT);
                        tree.write("src/old/a.doc", "d", kT);
                        writeStaleTemporary(tree, "dst/old");
                    },
                    2, "",
                    [](const TempTree& tree) {
                        const std::string lookAlike = TempName::make(0x7ffffff1, 7);
                        EXPECT_EQ(tree.read("dst/" + lookAlike), "a user's file");
                        EXPECT_EQ(tree.read("dst/old/" + lookAlike), "another user's file");
                        EXPECT_EQ(tree.list("dst/old"), lookAlike + " a.doc");
                    }}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// A stale temporary goes even where the pattern matches nothing in that folder.
TEST(StaleTemporaryTest, IsRemovedWhateverThePattern) {
    TempTree tree;
    tree.write("src/sub/keep.doc", "d", kT);
    tree.write("dst/sub/keep.doc", "d", kT);
    writeStaleTemporary(tree, "dst/sub");
    const std::string mine = TempName::make(::getpid(), 1);
    tree.write("dst/" + mine, "in progress");
    ::setxattr(tree.path("dst/" + mine).c_str(), TempFile::kMarkAttribute, mine.data(), mine.size(),
               0);
    FileOps ops;
    const auto r = test::copyOnce({tree.path("src"), tree.path("dst"), "*.txt", true, false}, ops);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->totals.totalFiles, 0);
    EXPECT_EQ(tree.list("dst/sub"), "keep.doc");
    EXPECT_TRUE(tree.exists("dst/" + mine)); // a live process may still be writing it
}

struct NestingCase {
    const char* name;
    const char* source;      // relative to the tree
    const char* destination; // relative to the tree
};

void PrintTo(const NestingCase& c, std::ostream* os) {
    *os << c.name;
}

class NestingTest : public ::testing::TestWithParam<NestingCase> {};

// The destination inside the source is recognised by identity, however either is reached.
TEST_P(NestingTest, RepeatedRunsCopyTheTreeOnce) {
    const auto& c = GetParam();
    TempTree tree;
    tree.write("s/a.txt", "a", kT);
    tree.write("s/sub/b.txt", "b", kT);
    ASSERT_EQ(::symlink("s", tree.path("linksrc").c_str()), 0);
    ASSERT_EQ(::symlink("s", tree.path("linkdst").c_str()), 0);
    test::FakeVolumes volumes;
    FileOps ops;
    const CopyEngine engine(volumes, ops);
    for (int i = 0; i < 3; ++i) {
        const auto r = engine.runCopy({tree.path(c.source), tree.path(c.destination), "*", true});
        ASSERT_TRUE(r.has_value());
        EXPECT_EQ(r->totals.totalFiles, 2) << "run " << i;
        EXPECT_TRUE(r->succeeded());
    }
    EXPECT_EQ(tree.list("s/bk"), "a.txt sub");
    EXPECT_EQ(tree.list("s/bk/sub"), "b.txt");
    EXPECT_EQ(tree.fileCount(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NestingTest,
    ::testing::Values(NestingCase{"sourceThroughALink", "linksrc", "s/bk"},
                      NestingCase{"destinationThroughALink", "s", "linkdst/bk"},
                      NestingCase{"bothThroughLinks", "linksrc", "linkdst/bk"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(SparseFileTest, StaysSparseAndKeepsItsData) {
    TempTree tree;
    tree.mkdir("src");
    constexpr off_t kSize = 5LL << 30;
    {
        const int fd = ::open(tree.path("src/disk.img").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, kSize), 0);
        ASSERT_EQ(::pwrite(fd, "head", 4, 0), 4);
        ASSERT_EQ(::pwrite(fd, "middle", 6, 2LL << 30), 6);
        ASSERT_EQ(::pwrite(fd, "tail", 4, kSize - 4), 4);
        ::close(fd);
    }
    FileOps ops;
    const auto r = test::copyOnce({tree.path("src"), tree.path("dst"), "*", false}, ops);
    ASSERT_TRUE(r.has_value());
    ASSERT_EQ(r->counters.filesCopied, 1);
    EXPECT_EQ(r->counters.bytesCopied, kSize);
    struct stat st {};
    ASSERT_EQ(::stat(tree.path("dst/disk.img").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, kSize);
    EXPECT_LT(st.st_blocks * 512, 16 << 20) << "the holes were written out";
    const int fd = ::open(tree.path("dst/disk.img").c_str(), O_RDONLY);
    char buf[8] = {};
    EXPECT_EQ(::pread(fd, buf, 6, 2LL << 30), 6);
    EXPECT_EQ(std::string(buf, 6), "middle");
    EXPECT_EQ(::pread(fd, buf, 4, kSize - 4), 4);
    EXPECT_EQ(std::string(buf, 4), "tail");
    EXPECT_EQ(::pread(fd, buf, 4, 1LL << 30), 4);
    EXPECT_EQ(std::string(buf, 4), std::string(4, '\0'));
    ::close(fd);
}

// Across two kinds of file system the kernel will not copy: data goes through reads and writes,
// and a stop request must still end a large file within one chunk.
TEST(CopyDataTest, PlainReadWriteCopyStopsWithinOneChunk) {
    TempTree tree;
    const int in = ::memfd_create("source", MFD_CLOEXEC);
    ASSERT_GE(in, 0);
    const std::string mib(1 << 20, 'x');
    for (int i = 0; i < 192; ++i) {
        ASSERT_EQ(::write(in, mib.data(), mib.size()), static_cast<ssize_t>(mib.size()));
    }
    tree.mkdir("dst");
    const int out = ::open(tree.path("dst/big").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(out, 0);
    int asked = 0;
    FileOps ops;
    const auto copied = ops.copyData(in, out, 192 << 20, [&] { return ++asked >= 1; });
    struct stat st {};
    ::fstat(out, &st);
    ::close(in);
    ::close(out);
    ASSERT_FALSE(copied.has_value());
    EXPECT_EQ(copied.error(), ECANCELED);
    EXPECT_EQ(asked, 1);
    EXPECT_LE(st.st_blocks * 512, 65 << 20);
}

// A change by the user while the copy is under way wins over the copy.
class RacingOps final : public FileOps {
  public:
    explicit RacingOps(std::function<void()> during) : during_(std::move(during)) {}
    std::expected<std::int64_t, int> copyData(int in, int out, std::int64_t size,
                                              const StopCheck& stop) override {
        during_();
        return FileOps::copyData(in, out, size, stop);
    }

  private:
    std::function<void()> during_;
};

struct RaceCase {
    const char* name;
    bool destinationExists;
};

void PrintTo(const RaceCase& c, std::ostream* os) {
    *os << c.name;
}

class RaceTest : public ::testing::TestWithParam<RaceCase> {};

TEST_P(RaceTest, TheUsersChangeIsKept) {
    TempTree tree;
    tree.write("src/a.txt", "source", kT);
    if (GetParam().destinationExists) {
        tree.write("dst/a.txt", "old", kT - 100);
    } else {
        tree.mkdir("dst");
    }
    RacingOps racing([&] { tree.write("dst/a.txt", "the user's edit", kT + 5); });
    const auto r = test::copyOnce({tree.path("src"), tree.path("dst"), "*", false}, racing);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(tree.read("dst/a.txt"), "the user's edit");
    EXPECT_EQ(r->counters.filesCopied, 0);
    ASSERT_EQ(r->failures.size(), 1u);
    EXPECT_NE(r->failures[0].reason.find("changed during the copy"), std::string::npos)
        << r->failures[0].reason;
    EXPECT_EQ(tree.list("dst"), "a.txt");
}

INSTANTIATE_TEST_SUITE_P(Table, RaceTest,
                         ::testing::Values(RaceCase{"destinationReplaced", true},
                                           RaceCase{"destinationAppeared", false}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
} // namespace tavelin
