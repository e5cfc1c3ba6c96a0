#pragma once

#include "core/platform/Volume.h"
#include "core/util/Error.h"

#include <optional>
#include <string>
#include <vector>

namespace tavelin {

// A typed network path, //server/share/rest or \\server\share\rest, and the local folder where
// that share is mounted. Copies never go to a typed path as if it were a local folder: a share
// that is not mounted would otherwise be created as folders on the local root disk.
class NetworkShare {
  public:
    struct Parts {
        std::string server;
        std::string share;
        std::string rest; // below the share, with '/' separators; may be empty
    };

    // The parts of a typed network path; none for any other path.
    static std::optional<Parts> parse(const std::string& typed);

    // The local folder for a typed destination: below a CIFS/SMB mount of //server/share in
    // `mounts`, else below the desktop's mount of it in `desktopShares` (server and share
    // compared without regard to case). Fails with "network share //server/share is not
    // mounted" when there is neither. Any other typed path is returned as typed.
    static Result<std::string> resolve(const std::string& typed, const std::vector<Volume>& mounts,
                                       const std::string& desktopShares);
};

} // namespace tavelin
