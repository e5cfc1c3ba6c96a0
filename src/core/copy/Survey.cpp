#include "core/copy/Survey.h"

#include "core/copy/FileWorkers.h"
#include "core/copy/FolderWalk.h"
#include "core/copy/FolderWalkVisitor.h"
#include "core/copy/PathRules.h"
#include "core/util/FolderPath.h"
#include "core/util/UniqueFd.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavelin {

namespace {

// Lists on the walking thread; the sizes are read by the workers.
class SurveyVisitor final : public FolderWalkVisitor {
  public:
    SurveyVisitor(SurveyResult& result, FileWorkers& workers, const Survey::StopCheck& stop)
        : result_(result), workers_(workers), stop_(stop) {}

    void enterFolder(int fd, const std::string& path, const std::string&) override {
        folders_.push_back(
            std::make_shared<Folder>(UniqueFd(::fcntl(fd, F_DUPFD_CLOEXEC, 0)), path));
    }
    void folderListed() override { submit(); }
    void leaveFolder() override { folders_.pop_back(); }
    void subfolder() override { ++result_.totals.totalFolders; }
    void file(const char* name, bool) override {
        batch_.emplace_back(name);
        if (batch_.size() >= 256) {
            submit();
        }
    }
    void failure(const std::string& path, const std::string& reason) override {
        result_.failures.push_back({path, reason});
    }
    bool stopRequested() override { return stop_ && stop_(); }

    void finish() {
        submit();
        workers_.finish([] {});
        result_.totals.totalFiles += files_.load();
        result_.totals.totalSize += bytes_.load();
        for (auto& f : unreadable_) {
            result_.failures.push_back(std::move(f));
        }
    }

  private:
    struct Folder {
        UniqueFd fd;
        std::string path;
    };

    void submit() {
        if (batch_.empty()) {
            return;
        }
        workers_.submit(
            [this, dir = folders_.back(), names = std::move(batch_)] {
                std::int64_t files = 0;
                std::int64_t bytes = 0;
                for (const auto& n : names) {
                    struct stat st {};
                    if (::fstatat(dir->fd.get(), n.c_str(), &st, 0) == 0) {
                        if (S_ISREG(st.st_mode)) {
                            ++files;
                            bytes += st.st_size;
                        }
                    } else if (errno != ENOENT) {
                        // Listed but unreadable (a folder that can be read but not searched):
                        // a file the run will fail on, so it is counted and told.
                        ++files;
                        const std::string path = FolderPath::join(dir->path, n);
                        std::lock_guard lock(failuresMutex_);
                        unreadable_.push_back({path, describeErrno("cannot read", path, errno)});
                    }
                }
                files_ += files;
                bytes_ += bytes;
            },
            [] {});
        batch_.clear();
    }

    SurveyResult& result_;
    FileWorkers& workers_;
    const Survey::StopCheck& stop_;
    std::vector<std::shared_ptr<Folder>> folders_;
    std::mutex failuresMutex_;
    std::vector<FileFailure> unreadable_;
    std::vector<std::string> batch_;
    std::atomic<std::int64_t> files_{0};
    std::atomic<std::int64_t> bytes_{0};
};

} // namespace

std::string Survey::folderToSkip(const PathRules& rules, const Selection& selection) {
    if (!selection.subfolders || selection.destinationRoot.empty()) {
        return {};
    }
    return rules.destinationBase(selection.sourceRoot, selection.destinationRoot,
                                 selection.typedDestination);
}

Result<SurveyResult> Survey::countFiles(const Selection& selection, FileWorkers& workers,
                                        const StopCheck& stop) const {
    const WildcardPattern pattern(selection.pattern);
    FolderWalk walk(pattern, selection.subfolders);
    if (const std::string skip = folderToSkip(rules_, selection); !skip.empty()) {
        walk.skipFolder(skip);
    }
    SurveyResult result;
    SurveyVisitor visitor(result, workers, stop);
    auto ok = walk.walk(selection.sourceRoot, visitor);
    visitor.finish();
    result.stopped = walk.stopped();
    if (!ok) {
        return std::unexpected(ok.error());
    }
    return result;
}

} // namespace tavelin
