#pragma once

#include "platform/Volumes.h"

#include <string>

namespace tavelin {

// Reads the mounted volumes from the kernel's mount table (/proc/self/mountinfo).
class MountTable final : public Volumes {
  public:
    explicit MountTable(std::string mountInfoPath = "/proc/self/mountinfo");

    std::vector<Volume> list() const override;

    // Parses mountinfo text; exposed so that the filtering rules can be tested on a fixture.
    static std::vector<Volume> parse(const std::string& mountInfoText);
    static bool isPseudoFileSystem(const std::string& fsType, const std::string& mountPoint);

  private:
    std::string path_;
};

} // namespace tavelin
