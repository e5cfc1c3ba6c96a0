#pragma once

#include <cstdint>
#include <ctime>

namespace tavelin {

// When a destination file that exists is no longer a copy of its source.
class CopyDecision {
  public:
    struct FileState {
        struct timespec modified {};
        std::int64_t size = 0;
    };

    // True when the source is newer than the destination at the precision both sides keep
    // (`granularity`: nanoseconds the destination's file system cannot tell apart), or when the
    // times are equal but the sizes differ (a copy that never got its contents).
    static bool needsCopy(const FileState& source, const FileState& destination,
                          std::int64_t granularity);
};

} // namespace tavelin
