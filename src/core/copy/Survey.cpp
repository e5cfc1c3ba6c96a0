#include "copy/Survey.h"

#include "copy/FileWorkers.h"
#include "copy/FolderWalk.h"
#include "copy/FolderWalkVisitor.h"
#include "copy/PathRules.h"

#include <atomic>
#include <fcntl.h>
#include <memory>
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

    void enterFolder(int fd, const std::string&, const std::string&) override {
        folders_.push_back(std::make_shared<Fd>(::fcntl(fd, F_DUPFD_CLOEXEC, 0)));
    }
    void folderListed() override { submit(); }
    void leaveFolder() override { folders_.pop_back(); }
    void subfolder() override { ++result_.totals.totalFolders; }
    void file(const char* name) override {
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
    }

  private:
    struct Fd {
        explicit Fd(int f) : fd(f) {}
        ~Fd() {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        int fd;
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
                    if (::fstatat(dir->fd, n.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode)) {
                        ++files;
                        bytes += st.st_size;
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
    std::vector<std::shared_ptr<Fd>> folders_;
    std::vector<std::string> batch_;
    std::atomic<std::int64_t> files_{0};
    std::atomic<std::int64_t> bytes_{0};
};

} // namespace

std::string Survey::folderToSkip(const PathRules& rules, const Selection& selection) {
    if (!selection.subfolders || selection.destinationRoot.empty()) {
        return {};
    }
    const std::string base = rules.destinationBase(selection.sourceRoot, selection.destinationRoot,
                                                   selection.typedDestination);
    const std::string source = PathRules::normalized(selection.sourceRoot);
    if (PathRules::normalized(base) != source && PathRules::isSameOrInside(base, source)) {
        return PathRules::normalized(base);
    }
    return {};
}

Result<SurveyResult> Survey::CountFiles(const Selection& selection, FileWorkers& workers,
                                        const StopCheck& stop) const {
    return Size_Of_All_Files_Found_Under(selection.sourceRoot, selection.pattern,
                                         selection.subfolders, folderToSkip(rules_, selection),
                                         workers, stop);
}

Result<SurveyResult> Survey::Size_Of_All_Files_Found_Under(const std::string& path_to_search,
                                                           const std::string& file_to_search_for,
                                                           bool subfolders, const std::string& skip,
                                                           FileWorkers& workers,
                                                           const StopCheck& stop) const {
    const WildcardPattern pattern(file_to_search_for);
    FolderWalk walk(pattern, subfolders);
    if (!skip.empty()) {
        walk.skipFolder(skip);
    }
    SurveyResult result;
    SurveyVisitor visitor(result, workers, stop);
    auto ok = walk.walk(path_to_search, visitor);
    visitor.finish();
    result.stopped = walk.stopped();
    if (!ok) {
        return std::unexpected(ok.error());
    }
    return result;
}

} // namespace tavelin
