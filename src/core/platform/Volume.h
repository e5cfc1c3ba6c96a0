#pragma once

#include <string>

namespace tavelin {

// One mounted volume, as the drive lists show them.
struct Volume {
    std::string mountPoint;
    std::string fsType;
    std::string device;
    // "major:minor" of the mounted file system, as stat() reports it for files on it.
    std::string deviceNumber;

    bool operator==(const Volume&) const = default;
};

} // namespace tavelin
