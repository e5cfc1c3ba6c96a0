#pragma once

#include "core/platform/Volumes.h"

#include <string>

namespace tavelin {

// Reads the mounted volumes from the kernel's mount table (/proc/self/mountinfo).
class MountTable final : public Volumes {
  public:
    // `desktopShares`: the desktop's folder of mounted network shares ($XDG_RUNTIME_DIR/gvfs).
    explicit MountTable(std::string mountInfoPath = "/proc/self/mountinfo",
                        std::string desktopShares = {});

    std::vector<Volume> list() const override;
    std::string desktopShareFolder() const override { return desktopShares_; }

    // Parses mountinfo text; exposed so that the filtering rules can be tested on a fixture.
    // `all` keeps the pseudo file systems and the system's own areas too.
    static std::vector<Volume> parse(const std::string& mountInfoText, bool all = false);
    static bool isPseudoFileSystem(const std::string& fsType, const std::string& mountPoint);
    // Mount tables (and fstab) write a blank as \040, and other awkward bytes likewise.
    static std::string unescape(const std::string& s);

  private:
    std::string path_;
    std::string desktopShares_;
};

} // namespace tavelin
