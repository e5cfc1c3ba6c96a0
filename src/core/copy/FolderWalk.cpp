#include "core/copy/FolderWalk.h"

#include "core/copy/FolderWalkVisitor.h"
#include "core/copy/KeptVersions.h"
#include "core/copy/TempFile.h"
#include "core/util/FolderPath.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavelin {

namespace {
bool isDotOrDotDot(const char* n) {
    return n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}
} // namespace

FolderWalk::FolderWalk(const WildcardPattern& pattern, bool subfolders)
    : pattern_(pattern), subfolders_(subfolders) {}

void FolderWalk::skipFolder(const std::string& path) {
    skipPath_ = path;
    skipKnown_ = false;
}

bool FolderWalk::isSkipped(int dirFd, const char* name) {
    if (skipPath_.empty()) {
        return false;
    }
    if (!skipKnown_) {
        struct stat st {};
        if (::stat(skipPath_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            return false;
        }
        skipKnown_ = true;
        skipDev_ = st.st_dev;
        skipIno_ = st.st_ino;
    }
    struct stat st {};
    return ::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && st.st_dev == skipDev_ &&
           st.st_ino == skipIno_;
}

Result<void> FolderWalk::walk(const std::string& root, FolderWalkVisitor& visitor) {
    stopped_ = false;
    FolderListing listing(root);
    if (!listing.valid()) {
        return fail(describeErrno("cannot open source folder", root, listing.error()));
    }
    walkFolder(listing, FolderPath::normalized(root), std::string(), visitor);
    return {};
}

void FolderWalk::walkFolder(FolderListing& listing, const std::string& path,
                            const std::string& relative, FolderWalkVisitor& visitor) {
    const int fd = listing.fd();
    visitor.enterFolder(fd, path, relative);
    struct Leave {
        FolderWalkVisitor& v;
        ~Leave() { v.leaveFolder(); }
    } leave{visitor};
    std::vector<std::string> subs;

    for (;;) {
        errno = 0;
        const dirent* entry = listing.next();
        if (entry == nullptr) {
            if (errno != 0) {
                visitor.failure(path, describeErrno("cannot list folder", path, errno));
            }
            break;
        }
        const char* name = entry->d_name;
        if (isDotOrDotDot(name) || TempFile::isTemporary(fd, name)) {
            continue;
        }
        unsigned char type = entry->d_type;
        struct stat st {};
        if (type == DT_UNKNOWN) {
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno != ENOENT) { // else gone since it was listed
                    const std::string entryPath = FolderPath::join(path, name);
                    visitor.failure(entryPath, describeErrno("cannot read", entryPath, errno));
                }
                continue;
            }
            type = S_ISDIR(st.st_mode)   ? DT_DIR
                   : S_ISLNK(st.st_mode) ? DT_LNK
                   : S_ISREG(st.st_mode) ? DT_REG
                                         : DT_UNKNOWN;
        }
        if (type == DT_DIR) {
            // Kept versions are never taken for source files, wherever they lie.
            if (subfolders_ && !isSkipped(fd, name) && KeptVersions::kFolder != name) {
                subs.emplace_back(name);
            }
            continue;
        }
        if ((type != DT_REG && type != DT_LNK) || !pattern_.matches(name)) {
            continue;
        }
        // A link to a file is that file; links to folders and to nothing are left out.
        if (type == DT_LNK && (::fstatat(fd, name, &st, 0) != 0 || !S_ISREG(st.st_mode))) {
            continue;
        }
        visitor.file(name, type == DT_LNK);
        if (visitor.stopRequested()) {
            stopped_ = true;
            break;
        }
    }
    visitor.folderListed();

    for (const auto& sub : subs) {
        if (stopped_ || visitor.stopRequested()) {
            stopped_ = true;
            return;
        }
        visitor.subfolder();
        const std::string subPath = FolderPath::join(path, sub);
        FolderListing subListing(
            UniqueFd(::openat(fd, sub.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)));
        if (!subListing.valid()) {
            visitor.failure(subPath,
                            describeErrno("cannot open folder", subPath, subListing.error()));
            continue;
        }
        walkFolder(subListing, subPath, relative.empty() ? sub : FolderPath::join(relative, sub),
                   visitor);
    }
}

} // namespace tavelin
