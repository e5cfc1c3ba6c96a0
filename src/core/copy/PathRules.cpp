#include "core/copy/PathRules.h"

#include "core/platform/Volumes.h"
#include "core/util/FolderPath.h"

namespace tavelin {

std::string PathRules::destinationBase(const std::string& sourceRoot,
                                       const std::string& destinationRoot,
                                       bool typedDestination) const {
    if (typedDestination) {
        // Taken as typed: a network path keeps its leading and doubled separators.
        return destinationRoot;
    }
    const std::string dest = FolderPath::normalized(destinationRoot);
    if (volumes_.isMountPoint(dest)) {
        const std::string name = FolderPath::folderName(sourceRoot);
        return name.empty() ? dest : FolderPath::join(dest, name);
    }
    return dest;
}

} // namespace tavelin
