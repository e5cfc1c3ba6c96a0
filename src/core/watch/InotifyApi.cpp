#include "core/watch/InotifyApi.h"

#include <sys/inotify.h>

namespace tavelin {

int InotifyApi::addWatch(int fd, const std::string& path, std::uint32_t mask) {
    return ::inotify_add_watch(fd, path.c_str(), mask);
}

void InotifyApi::removeWatch(int fd, int wd) {
    ::inotify_rm_watch(fd, wd);
}

} // namespace tavelin
