#pragma once

#include <string>

namespace tavelin {

// Tells which file system a path lies on, so that a task writes only to the disk it was saved
// for: an unplugged drive leaves an empty folder behind on the root disk, and that must never
// receive the copy.
class VolumeIdentity {
  public:
    virtual ~VolumeIdentity() = default;
    // The UUID of the file system that holds `path`, or would hold it (the nearest folder above
    // it that exists); empty when that file system has none or it cannot be read.
    virtual std::string uuidOf(const std::string& path) const = 0;
};

} // namespace tavelin
