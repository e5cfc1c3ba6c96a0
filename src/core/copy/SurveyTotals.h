#pragma once

#include <cstdint>

namespace tavelin {

// What a survey found: the files a run looks at, the sub-folders it enters, their byte total.
struct SurveyTotals {
    std::int64_t totalFiles = 0;
    std::int64_t totalFolders = 0;
    std::int64_t totalSize = 0;

    bool operator==(const SurveyTotals&) const = default;
};

} // namespace tavelin
