#include "core/copy/TempName.h"
#include "core/watch/ChangeScheduler.h"
#include "core/watch/FolderWatcher.h"
#include "tests/core/FakeClock.h"
#include "tests/core/TempTree.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/inotify.h>

namespace tavelin {
namespace {

using test::at;
using test::TempTree;

// The kernel queues an event within the call that caused it, so it can be read at once.
bool changed(FolderWatcher& w) {
    return w.readChanges();
}

TEST(FolderWatcherTest, SeesWritesNewFoldersAndFilesInThemButNotItsOwnTemporaries) {
    TempTree tree;
    tree.mkdir("src/sub");
    tree.mkdir("src/bk"); // the destination, inside the source
    InotifyApi api;
    FolderWatcher w(tree.path("src"), true, tree.path("src/bk"), api);
    ASSERT_TRUE(w.start());
    EXPECT_EQ(w.watches(), 2u); // src and src/sub, not the destination
    EXPECT_FALSE(changed(w));

    tree.write("src/sub/a.txt", "a");
    EXPECT_TRUE(changed(w));
    tree.mkdir("src/new");
    EXPECT_TRUE(changed(w));
    tree.write("src/new/b.txt", "b"); // a folder that appeared is watched too
    EXPECT_TRUE(changed(w));
    tree.write("src/bk/c.txt", "c");
    tree.write("src/" + TempName::make(1234, 5), "half");
    EXPECT_FALSE(changed(w));
}

TEST(FolderWatcherTest, WithoutSubfoldersOnlyTheFolderItself) {
    TempTree tree;
    tree.mkdir("src/sub");
    InotifyApi api;
    FolderWatcher w(tree.path("src"), false, "", api);
    ASSERT_TRUE(w.start());
    tree.write("src/sub/a.txt", "a");
    EXPECT_FALSE(changed(w));
    tree.write("src/a.txt", "a");
    EXPECT_TRUE(changed(w));
}

TEST(FolderWatcherTest, AnOverflowedQueueCountsAsAChange) {
    TempTree tree;
    tree.mkdir("src");
    InotifyApi api;
    FolderWatcher w(tree.path("src"), true, "", api);
    ASSERT_TRUE(w.start());
    EXPECT_TRUE(w.handle(-1, IN_Q_OVERFLOW, ""));
}

// The user's watch limit, reached after `allowed` watches.
class LimitedApi final : public InotifyApi {
  public:
    explicit LimitedApi(int allowed) : allowed_(allowed) {}
    int addWatch(int fd, const std::string& path, std::uint32_t mask) override {
        if (allowed_-- <= 0) {
            errno = ENOSPC;
            return -1;
        }
        return InotifyApi::addWatch(fd, path, mask);
    }

  private:
    int allowed_;
};

TaskRecord onChangeTask(const TempTree& tree, int settle = 10) {
    TaskRecord t;
    t.task_name = "thesis";
    t.task_source = tree.path("src");
    t.task_destination = tree.path("dst");
    t.task_subfolders = true;
    t.task_onchange = true;
    t.task_settle = settle;
    return t;
}

TEST(ChangeSchedulerTest, AtTheWatchLimitTheTaskFallsBackToItsIntervalAndIsToldOnce) {
    TempTree tree;
    for (const char* f : {"src/a", "src/b", "src/c/d"}) {
        tree.mkdir(f);
    }
    test::FakeClock clock(at("10.03.2026 10:00:00"));
    LimitedApi api(2);
    ChangeScheduler changes(clock, api);
    const auto notices = changes.sync({onChangeTask(tree)});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].task, "thesis");
    EXPECT_EQ(notices[0].neededWatches, 5u); // src, a, b, c, c/d
    EXPECT_TRUE(changes.sync({onChangeTask(tree)}).empty());
}

TEST(ChangeSchedulerTest, RunsOnceTheSourceIsQuietAndOnceMoreAfterAChangeDuringTheRun) {
    TempTree tree;
    tree.mkdir("src");
    test::FakeClock clock(at("10.03.2026 10:00:00"));
    InotifyApi api;
    ChangeScheduler changes(clock, api);
    ASSERT_TRUE(changes.sync({onChangeTask(tree)}).empty());
    changes.poll();
    EXPECT_TRUE(changes.due().empty()); // nothing changed

    tree.write("src/a.txt", "a");
    changes.poll();
    clock.advance(5);
    tree.write("src/a.txt", "a again"); // still being edited: the quiet time starts again
    changes.poll();
    clock.advance(9);
    EXPECT_TRUE(changes.due().empty());
    clock.advance(1);
    EXPECT_EQ(changes.due(), std::vector<std::string>{"thesis"});

    tree.write("src/b.txt", "b"); // during the run
    changes.poll();
    clock.advance(30);
    EXPECT_TRUE(changes.due().empty()); // one run at a time
    changes.finished("thesis");
    EXPECT_EQ(changes.due(), std::vector<std::string>{"thesis"});
    changes.finished("thesis");
    EXPECT_TRUE(changes.due().empty());

    // A task that no longer copies on change is no longer watched.
    auto plain = onChangeTask(tree);
    plain.task_onchange = false;
    changes.sync({plain});
    EXPECT_EQ(changes.watchedTasks(), 0u);
}

} // namespace
} // namespace tavelin
