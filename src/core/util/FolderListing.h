#pragma once

#include "core/util/UniqueFd.h"

#include <dirent.h>
#include <string>

namespace tavelin {

// A folder open for listing its entries; closed once, however the lister leaves.
class FolderListing {
  public:
    // Lists the folder open as `fd`, taking it over. When it cannot, valid() is false and
    // error() tells why.
    explicit FolderListing(UniqueFd fd);
    // Opens and lists the folder at `path`.
    explicit FolderListing(const std::string& path);
    ~FolderListing();
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    bool valid() const { return dir_ != nullptr; }
    int error() const { return error_; }
    // The listing's own descriptor, for calls relative to the folder.
    int fd() const { return ::dirfd(dir_); }
    // The next entry; null at the end (errno then tells whether listing failed).
    const dirent* next() { return ::readdir(dir_); }

  private:
    DIR* dir_ = nullptr;
    int error_ = 0;
};

} // namespace tavelin
