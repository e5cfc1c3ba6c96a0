#include "core/copy/CopyEngine.h"

#include "core/copy/FileOps.h"
#include "core/copy/FolderWalk.h"
#include "core/copy/FolderWalkVisitor.h"
#include "core/copy/RunObserver.h"
#include "core/copy/TempName.h"
#include "tests/core/FakeVolumes.h"
#include "tests/core/TempTree.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tavelin {
namespace {

using test::TempTree;

constexpr std::int64_t kT = 1'700'000'000;

class CopyEngineTest : public ::testing::Test {
  protected:
    Selection selection(bool subfolders = true, const std::string& pattern = "*.*") const {
        return Selection{tree.path("src"), tree.path("dst"), pattern, subfolders, false};
    }
    RunResult run(const Selection& s, RunObserver* observer = nullptr) {
        const CopyEngine engine(volumes, ops);
        auto result = engine.runCopy(s, observer);
        EXPECT_TRUE(result.has_value()) << (result ? "" : result.error().message);
        return result.value_or(RunResult{});
    }
    bool noTempLeft(const std::string& folder) const {
        return tree.list(folder).find(".tvl~") == std::string::npos;
    }

    TempTree tree;
    test::FakeVolumes volumes;
    FileOps ops;
};

struct NewerCase {
    const char* name;
    std::int64_t destinationTime; // -1: no destination file
    const char* destinationContent;
    bool copied;
};

void PrintTo(const NewerCase& c, std::ostream* os) {
    *os << c.name;
}

class NewerOnlyTest : public CopyEngineTest, public ::testing::WithParamInterface<NewerCase> {};

TEST_P(NewerOnlyTest, CopiesOnlyWhenMissingOlderOrNotACopy) {
    const auto& c = GetParam();
    tree.write("src/a.txt", "new content", kT);
    if (c.destinationTime >= 0) {
        tree.write("dst/a.txt", c.destinationContent, c.destinationTime);
    }
    const auto r = run(selection());
    EXPECT_EQ(r.counters.filesCopied, c.copied ? 1 : 0);
    EXPECT_EQ(r.counters.bytesCopied, c.copied ? 11 : 0);
    EXPECT_EQ(tree.read("dst/a.txt"), c.copied ? "new content" : c.destinationContent);
    EXPECT_EQ(tree.mtime("dst/a.txt"), c.copied ? kT : c.destinationTime);
    EXPECT_TRUE(r.succeeded());
}

INSTANTIATE_TEST_SUITE_P(
    Table, NewerOnlyTest,
    ::testing::Values(NewerCase{"missing", -1, "", true},
                      NewerCase{"older", kT - 1, "old content", true},
                      NewerCase{"equal", kT, "old content", false},
                      // Same time, other size: a copy that lost its contents (a power cut).
                      NewerCase{"equalTimeOtherSize", kT, "", true},
                      NewerCase{"newer", kT + 60, "old", false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(CopyEngineTest, SecondRunCopiesNothing) {
    tree.write("src/a.txt", "a", kT);
    tree.write("src/sub/b.txt", "bb", kT);
    EXPECT_EQ(run(selection()).counters.filesCopied, 2);
    const auto again = run(selection());
    EXPECT_EQ(again.counters.filesCopied, 0);
    EXPECT_EQ(again.totals.totalFiles, 2);
}

TEST_F(CopyEngineTest, HiddenAndReadOnlyFilesAreCopiedWithTheirTimeAndMode) {
    tree.write("src/.hidden.txt", "h", kT);
    tree.write("src/ro.txt", "read only", kT);
    ::chmod(tree.path("src/ro.txt").c_str(), 0444);
    tree.write("dst/ro.txt", "old", kT - 100);
    ::chmod(tree.path("dst/ro.txt").c_str(), 0444);

    const auto r = run(selection());
    EXPECT_EQ(r.counters.filesCopied, 2);
    EXPECT_EQ(tree.read("dst/.hidden.txt"), "h");
    EXPECT_EQ(tree.read("dst/ro.txt"), "read only");
    struct stat st {};
    ASSERT_EQ(::stat(tree.path("dst/ro.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_EQ(st.st_mtim.tv_sec, kT);
}

TEST_F(CopyEngineTest, OnlyMatchingFilesAndNeededFoldersAreCreated) {
    tree.write("src/a.txt", "a", kT);
    tree.write("src/b.doc", "b", kT);
    tree.write("src/nomatch/c.pdf", "c", kT);
    tree.write("src/deep/er/d.TXT", "d", kT);
    const auto r = run(selection(true, "*.txt"));
    EXPECT_EQ(r.totals, (SurveyTotals{2, 3, 2}));
    EXPECT_EQ(tree.list("dst"), "a.txt deep");
    EXPECT_EQ(tree.read("dst/deep/er/d.TXT"), "d");
}

TEST_F(CopyEngineTest, WithoutSubfoldersOnlyTheFolderItselfIsLookedAt) {
    tree.write("src/a.txt", "a", kT);
    tree.write("src/sub/b.txt", "b", kT);
    const auto r = run(selection(false));
    EXPECT_EQ(r.totals, (SurveyTotals{1, 0, 1}));
    EXPECT_EQ(r.counters.foldersDone, 0);
    EXPECT_EQ(tree.list("dst"), "a.txt");
}

TEST_F(CopyEngineTest, LinksToFoldersAreNotFollowedAndLinksToFilesAreCopiedAsFiles) {
    tree.write("src/a/file.txt", "content", kT);
    ASSERT_EQ(::symlink("..", tree.path("src/a/loop").c_str()), 0);
    ASSERT_EQ(::symlink("a/file.txt", tree.path("src/link.txt").c_str()), 0);
    ASSERT_EQ(::symlink("missing", tree.path("src/dangling.txt").c_str()), 0);

    const auto r = run(selection());
    EXPECT_EQ(r.totals, (SurveyTotals{2, 1, 14}));
    EXPECT_EQ(r.counters.filesCopied, 2);
    struct stat st {};
    ASSERT_EQ(::lstat(tree.path("dst/link.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(tree.read("dst/link.txt"), "content");
    EXPECT_EQ(tree.list("dst/a"), "file.txt");
}

TEST_F(CopyEngineTest, FifoInTheSourceIsNeitherCountedNorOpened) {
    tree.write("src/a.txt", "a", kT);
    ASSERT_EQ(::mkfifo(tree.path("src/pipe.txt").c_str(), 0600), 0);
    const auto r = run(selection());
    EXPECT_EQ(r.totals.totalFiles, 1);
    EXPECT_EQ(tree.list("dst"), "a.txt");
}

TEST_F(CopyEngineTest, DestinationInsideTheSourceIsNotWalked) {
    tree.write("src/a.txt", "a", kT);
    tree.write("src/sub/b.txt", "b", kT);
    Selection s = selection();
    s.destinationRoot = tree.path("src/backup");
    const auto first = run(s);
    const auto second = run(s);
    EXPECT_EQ(first.totals, (SurveyTotals{2, 1, 2}));
    EXPECT_EQ(second.totals, first.totals);
    EXPECT_EQ(second.counters.filesCopied, 0);
    EXPECT_EQ(tree.list("src/backup"), "a.txt sub");
}

TEST_F(CopyEngineTest, IntoAMountPointTheSourceFolderNameIsRecreated) {
    tree.write("src/sub/a.txt", "a", kT);
    const test::FakeVolumes mounted({"/", tree.path("dst")});
    const CopyEngine engine(mounted, ops);
    ASSERT_TRUE(engine.runCopy(selection()).has_value());
    EXPECT_EQ(tree.read("dst/src/sub/a.txt"), "a");
}

TEST_F(CopyEngineTest, SurveyTotalsEqualWhatTheRunLooksAt) {
    for (int i = 0; i < 5; ++i) {
        tree.write("src/f" + std::to_string(i) + ".txt", std::string(i * 10, 'x'), kT);
        tree.write("src/d" + std::to_string(i) + "/g.txt", "yy", kT);
        tree.write("src/d" + std::to_string(i) + "/h.bin", "zz", kT);
    }
    tree.mkdir("src/empty/deeper");
    const CopyEngine engine(volumes, ops);
    const auto survey = engine.countFiles(selection(true, "*.txt"));
    ASSERT_TRUE(survey.has_value());
    const auto r = run(selection(true, "*.txt"));
    EXPECT_EQ(survey->totals, r.totals);
    EXPECT_EQ(r.totals, (SurveyTotals{10, 7, 110}));
    EXPECT_EQ(r.counters.filesLooked, r.totals.totalFiles);
    EXPECT_EQ(r.counters.foldersDone, r.totals.totalFolders);
}

TEST_F(CopyEngineTest, MissingSourceIsAnErrorOfTheWholeRun) {
    Selection s = selection();
    const CopyEngine engine(volumes, ops);
    const auto r = engine.runCopy(s);
    ASSERT_FALSE(r.has_value());
    EXPECT_NE(r.error().message.find(tree.path("src")), std::string::npos) << r.error().message;
    EXPECT_FALSE(tree.exists("dst"));
}

// A walk visits a folder's own files before any of its sub-folders' files.
TEST(FolderWalkTest, FilesOfAFolderComeBeforeItsSubfolders) {
    TempTree tree;
    tree.write("r/b/x.txt", "");
    tree.write("r/one.txt", "");
    tree.write("r/a/c/y.txt", "");
    tree.write("r/two.txt", "");
    struct Recorder final : FolderWalkVisitor {
        std::vector<std::string> seen;
        void enterFolder(int, const std::string&, const std::string& rel) override {
            seen.push_back("[" + rel + "]");
        }
        void folderListed() override {}
        void leaveFolder() override {}
        void subfolder() override {}
        void file(const char* name, bool) override { seen.push_back(name); }
        void failure(const std::string&, const std::string&) override {}
        bool stopRequested() override { return false; }
    } recorder;
    const WildcardPattern all("*");
    FolderWalk walk(all, true);
    ASSERT_TRUE(walk.walk(tree.path("r"), recorder).has_value());
    ASSERT_EQ(recorder.seen.size(), 8u);
    EXPECT_EQ(recorder.seen[0], "[]");
    std::vector<std::string> rootFiles(recorder.seen.begin() + 1, recorder.seen.begin() + 3);
    std::sort(rootFiles.begin(), rootFiles.end());
    EXPECT_EQ(rootFiles, (std::vector<std::string>{"one.txt", "two.txt"}));
    // Depth first: "a" is followed by its own sub-folder "a/c" before "b", or "b" comes first.
    const auto at = [&](const std::string& s) {
        return std::find(recorder.seen.begin(), recorder.seen.end(), s) - recorder.seen.begin();
    };
    EXPECT_EQ(at("[a/c]"), at("[a]") + 1);
    EXPECT_EQ(at("y.txt"), at("[a/c]") + 1);
    EXPECT_EQ(at("x.txt"), at("[b]") + 1);
}

// File operations that fail on purpose at one step of the copy.
class FailingOps final : public FileOps {
  public:
    enum class Step { Data, Replace };
    explicit FailingOps(Step step, std::string victim) : step_(step), victim_(std::move(victim)) {}

    std::expected<std::int64_t, int> copyData(int in, int out, std::int64_t size,
                                              const StopCheck& stop) override {
        if (step_ == Step::Data && size == static_cast<std::int64_t>(victim_.size())) {
            // Half the file reaches the disk, then the device gives up.
            char buf[64];
            const auto half = ::read(in, buf, victim_.size() / 2);
            EXPECT_EQ(::write(out, buf, static_cast<std::size_t>(half)), half);
            return std::unexpected(EIO);
        }
        return FileOps::copyData(in, out, size, stop);
    }
    int place(int dirFd, const char* from, const char* to, bool replace) override {
        if (step_ == Step::Replace && std::string(to) == "victim.txt") {
            return EACCES;
        }
        return FileOps::place(dirFd, from, to, replace);
    }

  private:
    Step step_;
    std::string victim_;
};

void PrintTo(FailingOps::Step step, std::ostream* os) {
    *os << (step == FailingOps::Step::Data ? "data" : "replace");
}

class MidCopyFailureTest : public CopyEngineTest,
                           public ::testing::WithParamInterface<FailingOps::Step> {};

TEST_P(MidCopyFailureTest, LeavesTheOldFileIntactAndNoTemporaryBehind) {
    const std::string content = "the new version of the file, forty bytes";
    tree.write("src/victim.txt", content, kT);
    tree.write("src/other.txt", "fine", kT);
    tree.write("dst/victim.txt", "old version", kT - 10);
    FailingOps failing(GetParam(), content);
    const CopyEngine engine(volumes, failing);
    const auto r = engine.runCopy(selection());
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(tree.read("dst/victim.txt"), "old version");
    EXPECT_EQ(tree.mtime("dst/victim.txt"), kT - 10);
    EXPECT_EQ(tree.read("dst/other.txt"), "fine");
    EXPECT_EQ(tree.list("dst"), "other.txt victim.txt");
    EXPECT_EQ(r->counters.filesCopied, 1);
    EXPECT_EQ(r->counters.bytesCopied, 4);
    ASSERT_EQ(r->failures.size(), 1u);
    EXPECT_EQ(r->failures[0].path, tree.path("src/victim.txt"));
    EXPECT_NE(r->failures[0].reason.find(tree.path("dst/victim.txt")), std::string::npos);
    EXPECT_FALSE(r->succeeded());
}

INSTANTIATE_TEST_SUITE_P(Steps, MidCopyFailureTest,
                         ::testing::Values(FailingOps::Step::Data, FailingOps::Step::Replace),
                         [](const auto& testCase) {
                             return std::string(
                                 testCase.param == FailingOps::Step::Data ? "data" : "replace");
                         });

TEST_F(CopyEngineTest, FullDestinationCountsFailuresAndLeavesNoPartialFile) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    }
    tree.mkdir("dst");
    if (::mount("tmpfs", tree.path("dst").c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount tmpfs here";
    }
    for (int i = 0; i < 6; ++i) {
        tree.write("src/f" + std::to_string(i) + ".bin",
                   std::string(30000, static_cast<char>('a' + i)), kT);
    }
    const auto r = run(selection());
    const std::string listing = tree.list("dst");
    ::umount(tree.path("dst").c_str());

    EXPECT_GT(r.failures.size(), 0u);
    EXPECT_EQ(r.counters.filesCopied + static_cast<std::int64_t>(r.failures.size()), 6);
    EXPECT_EQ(r.counters.bytesCopied, r.counters.filesCopied * 30000);
    EXPECT_EQ(listing.find(".tvl~"), std::string::npos) << listing;
    for (const auto& f : r.failures) {
        EXPECT_NE(f.reason.find("No space left"), std::string::npos) << f.reason;
    }
}

class CoarseClockOps final : public FileOps {
  public:
    std::int64_t timeGranularity(int) override { return 2'000'000'000; }
};

TEST_F(CopyEngineTest, CoarseDestinationClockTreatsOneSecondAsEqual) {
    tree.write("src/one.txt", "1", kT);
    tree.write("src/two.txt", "2", kT);
    tree.write("dst/one.txt", "o", kT - 1);
    tree.write("dst/two.txt", "o", kT - 2);
    CoarseClockOps coarse;
    const CopyEngine engine(volumes, coarse);
    const auto r = engine.runCopy(selection());
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(tree.read("dst/one.txt"), "o");
    EXPECT_EQ(tree.read("dst/two.txt"), "2");
    EXPECT_EQ(FileOps::granularityForFileSystem(0x4d44), 2'000'000'000);     // FAT
    EXPECT_EQ(FileOps::granularityForFileSystem(0xEF53), 1);                 // ext2/3/4
    EXPECT_EQ(FileOps::granularityForFileSystem(0x01021994), 1);             // tmpfs
    EXPECT_EQ(FileOps::granularityForFileSystem(0x65735546), 1'000'000'000); // FUSE: not known
}

TEST_F(CopyEngineTest, StopRequestEndsTheRunBetweenFiles) {
    for (int i = 0; i < 2000; ++i) {
        tree.write("src/d" + std::to_string(i % 10) + "/f" + std::to_string(i), "x", kT);
    }
    struct StopAfterOne final : RunObserver {
        int files = 0;
        void fileDone(const RunProgress&) override { ++files; }
        bool stopRequested() const override { return files >= 1; }
    } observer;
    const auto r = run(selection(), &observer);
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.totals.totalFiles, 2000);
    EXPECT_GE(r.counters.filesLooked, 1);
    EXPECT_LT(r.counters.filesLooked, 2000);
    EXPECT_FALSE(r.succeeded());
    // Every file that made it is complete; nothing half-written is left.
    EXPECT_EQ(tree.fileCount(), 2000 + r.counters.filesCopied);
    for (int d = 0; d < 10; ++d) {
        EXPECT_TRUE(noTempLeft("dst/d" + std::to_string(d)));
    }
}

TEST_F(CopyEngineTest, StopRequestDuringTheSurveyCopiesNothing) {
    for (int i = 0; i < 50; ++i) {
        tree.write("src/f" + std::to_string(i), "x", kT);
    }
    struct StopAtOnce final : RunObserver {
        mutable int asked = 0;
        bool surveyed = false;
        void surveyFinished(const SurveyTotals&) override { surveyed = true; }
        bool stopRequested() const override { return ++asked > 0; }
    } observer;
    const auto r = run(selection(), &observer);
    EXPECT_TRUE(r.stopped);
    EXPECT_FALSE(observer.surveyed);
    EXPECT_LT(r.totals.totalFiles, 50);
    EXPECT_EQ(r.counters.filesLooked, 0);
    EXPECT_FALSE(tree.exists("dst"));
}

TEST_F(CopyEngineTest, SizesAreExactSixtyFourBitSums) {
    // Sparse files: large sizes without the disk space.
    tree.mkdir("src");
    for (const auto& [name, size] :
         {std::pair<const char*, off_t>{"a", 16'777'217}, {"b", 3LL << 30}}) {
        const int fd =
            ::open(tree.path(std::string("src/") + name).c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
    }
    const CopyEngine engine(volumes, ops);
    const auto survey = engine.countFiles(Selection{tree.path("src"), "", "*", false, false});
    ASSERT_TRUE(survey.has_value());
    EXPECT_EQ(survey->totals.totalSize, 16'777'217LL + (3LL << 30));
}

TEST_F(CopyEngineTest, TwoRunsInOneProcessDoNotDisturbEachOther) {
    for (int i = 0; i < 200; ++i) {
        tree.write("one/f" + std::to_string(i) + ".txt", "1", kT);
        tree.write("two/g" + std::to_string(i) + ".txt", "22", kT);
    }
    const CopyEngine engine(volumes, ops);
    Result<RunResult> a, b;
    std::thread t1([&] { a = engine.runCopy({tree.path("one"), tree.path("out"), "*", true}); });
    std::thread t2([&] { b = engine.runCopy({tree.path("two"), tree.path("out"), "*", true}); });
    t1.join();
    t2.join();
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->counters.bytesCopied, 200);
    EXPECT_EQ(b->counters.bytesCopied, 400);
    EXPECT_EQ(tree.fileCount(), 800);
}

} // namespace
} // namespace tavelin
