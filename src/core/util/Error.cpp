#include "core/util/Error.h"

#include <cstring>

namespace tavelin {

std::string describeErrno(const std::string& operation, const std::string& path, int err) {
    return operation + " '" + path + "': " + std::strerror(err);
}

} // namespace tavelin
