#include "core/watch/FolderWatcher.h"

#include "core/copy/KeptVersions.h"
#include "core/copy/TempName.h"
#include "core/util/FolderListing.h"
#include "core/util/FolderPath.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavelin {

namespace {

constexpr std::uint32_t kMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE_SELF |
                                IN_MOVE_SELF | IN_ONLYDIR | IN_DONT_FOLLOW;

bool sameFolder(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

FolderWatcher::FolderWatcher(std::string root, bool subfolders, std::string skip, InotifyApi& api)
    : root_(FolderPath::normalized(root)), subfolders_(subfolders), skip_(std::move(skip)),
      api_(api) {}

bool FolderWatcher::start() {
    fd_.reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!fd_) {
        limitReached_ = true;
        return false;
    }
    watchTree(root_);
    return !limitReached_;
}

bool FolderWatcher::isSkipped(const std::string& folder) const {
    return !skip_.empty() && sameFolder(folder, skip_);
}

void FolderWatcher::watchTree(const std::string& folder) {
    if (isSkipped(folder)) {
        return;
    }
    ++needed_;
    if (!limitReached_) {
        const int wd = api_.addWatch(fd_.get(), folder, kMask);
        if (wd >= 0) {
            byWatch_[wd] = folder;
        } else if (errno == ENOSPC) {
            limitReached_ = true; // go on counting, to tell how many would be needed
        }
    }
    if (!subfolders_) {
        return;
    }
    FolderListing listing(folder);
    if (!listing.valid()) {
        return;
    }
    while (const dirent* e = listing.next()) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) {
            continue;
        }
        if (e->d_type == DT_DIR && KeptVersions::kFolder != n) {
            watchTree(FolderPath::join(folder, n));
        }
    }
}

bool FolderWatcher::handle(int wd, std::uint32_t mask, const std::string& name) {
    if ((mask & IN_Q_OVERFLOW) != 0) {
        return true;
    }
    const auto it = byWatch_.find(wd);
    if (it == byWatch_.end()) {
        return false;
    }
    if ((mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) != 0) {
        if ((mask & IN_IGNORED) != 0) {
            byWatch_.erase(it);
        }
        return false;
    }
    if (TempName::isTemp(name)) {
        return false; // a copy of this program's own, in a destination inside the source
    }
    const std::string path = FolderPath::join(it->second, name);
    if ((mask & IN_ISDIR) != 0) {
        if ((mask & (IN_CREATE | IN_MOVED_TO)) == 0 || isSkipped(path) ||
            KeptVersions::kFolder == name) {
            return false;
        }
        if (subfolders_) {
            watchTree(path); // a new folder, and whatever was already put into it
        }
        return true;
    }
    return (mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) != 0;
}

bool FolderWatcher::readChanges() {
    if (!fd_) {
        return false;
    }
    bool changed = false;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd_.get(), buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            const std::string name = e->len > 0 ? std::string(e->name) : std::string();
            changed = handle(e->wd, e->mask, name) || changed;
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
        }
    }
    return changed;
}

} // namespace tavelin
