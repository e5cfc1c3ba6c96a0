#include "core/util/Version.h"

#include <cstdio>

namespace tavelin {

std::string Version::text() {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d.%02d", major(), minor());
    return buf;
}

std::string Version::shortText() {
    return std::to_string(major()) + "." + std::to_string(minor());
}

} // namespace tavelin
