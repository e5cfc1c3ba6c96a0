#include "core/util/FolderListing.h"

#include <cerrno>
#include <fcntl.h>

namespace tavelin {

FolderListing::FolderListing(UniqueFd fd) {
    if (!fd) {
        error_ = errno;
        return;
    }
    dir_ = ::fdopendir(fd.get());
    if (dir_ == nullptr) {
        error_ = errno;
        return;
    }
    fd.release(); // the listing owns it now
}

FolderListing::FolderListing(const std::string& path)
    : FolderListing(UniqueFd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))) {}

FolderListing::~FolderListing() {
    if (dir_ != nullptr) {
        ::closedir(dir_);
    }
}

} // namespace tavelin
