#pragma once

#include "core/platform/Volume.h"

#include <string>
#include <vector>

namespace tavelin {

// The file systems the system expects to mount (/etc/fstab). A destination under one of them
// that is not mounted now would be written onto the disk below its empty mount point.
class Fstab {
  public:
    // The mount points listed in fstab text; swap and "none" are left out.
    static std::vector<std::string> mountPoints(const std::string& fstabText);
    // The deepest listed mount point that `path` lies at or under and that is not mounted now;
    // empty when there is none.
    static std::string unmountedFor(const std::string& path, const std::vector<std::string>& listed,
                                    const std::vector<Volume>& mounted);
    // The same for the system's own fstab file.
    static std::string unmountedFor(const std::string& path, const std::string& fstabPath,
                                    const std::vector<Volume>& mounted);
};

} // namespace tavelin
