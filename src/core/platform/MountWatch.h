#pragma once

#include "core/util/UniqueFd.h"

#include <string>

namespace tavelin {

// Notices mounts and unmounts without polling the disk: the kernel flags an open mount table
// with a priority event (POLLPRI) each time it changes.
class MountWatch {
  public:
    explicit MountWatch(const std::string& mountInfoPath = "/proc/self/mountinfo");

    bool valid() const { return fd_.valid(); }
    // For an event loop: readable as an exceptional condition when the table changes.
    int fd() const { return fd_.get(); }
    // Waits up to `milliseconds` for a change; true when one came. A change seen by the
    // caller's own event loop is taken by calling this with 0.
    bool changed(int milliseconds);

  private:
    UniqueFd fd_;
};

} // namespace tavelin
