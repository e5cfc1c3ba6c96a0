#include "core/platform/MountWatch.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <thread>

namespace tavelin {

MountWatch::MountWatch(const std::string& mountInfoPath)
    : fd_(::open(mountInfoPath.c_str(), O_RDONLY | O_CLOEXEC)) {}

bool MountWatch::changed(int milliseconds) {
    if (!fd_) {
        // Nothing to watch: wait all the same, so a caller's loop never spins.
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        return false;
    }
    pollfd p{fd_.get(), POLLPRI, 0};
    int n = 0;
    do {
        n = ::poll(&p, 1, milliseconds);
    } while (n < 0 && errno == EINTR && milliseconds == 0);
    return n > 0 && (p.revents & (POLLPRI | POLLERR)) != 0;
}

} // namespace tavelin
