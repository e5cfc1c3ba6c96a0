#pragma once

#include <cstdint>

namespace tavelin {

// A copy run's counters, as they stand after each file or folder.
struct RunProgress {
    std::int64_t filesLooked = 0;
    std::int64_t filesCopied = 0;
    std::int64_t bytesCopied = 0;
    std::int64_t foldersDone = 0;

    bool operator==(const RunProgress&) const = default;
};

} // namespace tavelin
