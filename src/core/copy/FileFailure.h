#pragma once

#include <string>

namespace tavelin {

// One file (or folder) the run could not handle, and why.
struct FileFailure {
    std::string path;
    std::string reason;

    bool operator==(const FileFailure&) const = default;
};

} // namespace tavelin
