#pragma once

#include "core/platform/Volume.h"

#include <string>
#include <vector>

namespace tavelin {

// The mounted volumes a user can pick from: the root folder first, pseudo file systems left out.
class Volumes {
  public:
    virtual ~Volumes() = default;
    virtual std::vector<Volume> list() const = 0;

    // True when `path` is the root folder of a listed volume ("drive root").
    bool isMountPoint(const std::string& path) const;
    // False when the volume is gone or cannot be read now (a drive "not ready").
    virtual bool isAvailable(const std::string& mountPoint) const;
    // The folder where the desktop mounts network shares for the user; empty when none.
    virtual std::string desktopShareFolder() const { return {}; }
};

} // namespace tavelin
