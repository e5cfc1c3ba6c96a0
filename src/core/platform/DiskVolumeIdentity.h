#pragma once

#include "core/platform/VolumeIdentity.h"

namespace tavelin {

// The UUID from the device's own superblock: found through /dev/disk/by-uuid where the system
// keeps it, else read with libblkid (which needs read access to the device).
class DiskVolumeIdentity final : public VolumeIdentity {
  public:
    explicit DiskVolumeIdentity(std::string mountInfoPath = "/proc/self/mountinfo",
                                std::string byUuidFolder = "/dev/disk/by-uuid");

    std::string uuidOf(const std::string& path) const override;

    // The device mounted with the given "major:minor", from mountinfo text; empty when none.
    static std::string deviceOf(const std::string& mountInfoText, const std::string& deviceNumber);

  private:
    std::string mountInfoPath_;
    std::string byUuidFolder_;
};

} // namespace tavelin
