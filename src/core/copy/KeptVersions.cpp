#include "core/copy/KeptVersions.h"

#include "core/util/FolderListing.h"
#include "core/util/FolderPath.h"
#include "core/util/UniqueFd.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavelin {

std::string KeptVersions::versionName(std::string_view name, std::time_t modified, int counter) {
    struct tm local {};
    ::localtime_r(&modified, &local);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, " %04d-%02d-%02d %02d%02d%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    std::string inserted = stamp;
    if (counter > 1) {
        inserted += " (" + std::to_string(counter) + ")";
    }
    // The extension is what follows the last dot, unless that dot starts the name.
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return std::string(name) + inserted;
    }
    return std::string(name.substr(0, dot)) + inserted + std::string(name.substr(dot));
}

namespace {

// Removes old files below the open folder `dirFd`; empty folders left behind go too.
int pruneFolder(int dirFd, std::int64_t keptBefore) {
    int removed = 0;
    FolderListing listing(UniqueFd(::fcntl(dirFd, F_DUPFD_CLOEXEC, 0)));
    if (!listing.valid()) {
        return 0;
    }
    while (const dirent* e = listing.next()) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) {
            continue;
        }
        struct stat st {};
        if (::fstatat(dirFd, n, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            UniqueFd sub(::openat(dirFd, n, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (sub) {
                removed += pruneFolder(sub.get(), keptBefore);
                ::unlinkat(dirFd, n, AT_REMOVEDIR); // only when now empty
            }
        } else if (S_ISREG(st.st_mode) && st.st_ctim.tv_sec < keptBefore) {
            // A version's change time is when it was kept (its second name was made then).
            if (::unlinkat(dirFd, n, 0) == 0) {
                ++removed;
            }
        }
    }
    return removed;
}

} // namespace

int KeptVersions::prune(const std::string& base, int days, std::int64_t now) {
    if (days <= 0) {
        return 0;
    }
    UniqueFd versions(::open(FolderPath::join(base, kFolder).c_str(),
                             O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!versions) {
        return 0;
    }
    return pruneFolder(versions.get(), now - static_cast<std::int64_t>(days) * 86400);
}

} // namespace tavelin
