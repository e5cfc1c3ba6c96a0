#include "core/util/Error.h"

#include <cstring>

namespace tavelin {

std::string describe(const std::string& operation, const std::string& path,
                     const std::string& reason) {
    return operation + " '" + path + "': " + reason;
}

std::string describeErrno(const std::string& operation, const std::string& path, int err) {
    return describe(operation, path, std::strerror(err));
}

} // namespace tavelin
