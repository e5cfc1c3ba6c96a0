#include "core/copy/CopyDecision.h"

namespace tavelin {

namespace {
constexpr std::int64_t kSecond = 1'000'000'000;
} // namespace

bool CopyDecision::needsCopy(const FileState& source, const FileState& destination,
                             std::int64_t granularity) {
    const auto& s = source.modified;
    const auto& d = destination.modified;
    // A side without sub-second times (an old file system, or times set in whole seconds)
    // makes the comparison one of whole seconds.
    if (granularity < kSecond && (s.tv_nsec == 0 || d.tv_nsec == 0)) {
        granularity = kSecond;
    }
    std::int64_t difference = 0;
    if (granularity >= kSecond) {
        difference = static_cast<std::int64_t>(s.tv_sec) - d.tv_sec;
        granularity /= kSecond;
    } else {
        difference = (static_cast<std::int64_t>(s.tv_sec) - d.tv_sec) * kSecond +
                     (static_cast<std::int64_t>(s.tv_nsec) - d.tv_nsec);
    }
    if (difference >= granularity) {
        return true;
    }
    return difference > -granularity && source.size != destination.size;
}

} // namespace tavelin
