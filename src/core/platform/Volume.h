#pragma once

#include <string>

namespace tavelin {

// One mounted volume, as the drive lists show them.
struct Volume {
    std::string mountPoint;
    std::string fsType;
    std::string device;

    bool operator==(const Volume&) const = default;
};

} // namespace tavelin
