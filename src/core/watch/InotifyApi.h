#pragma once

#include <cstdint>
#include <string>

namespace tavelin {

// The inotify calls a folder watcher makes; tests replace addWatch to reach the per-user
// watch limit without changing the system's settings.
class InotifyApi {
  public:
    virtual ~InotifyApi() = default;
    // A watch descriptor, or -1 with errno set (ENOSPC: the user's watch limit is reached).
    virtual int addWatch(int fd, const std::string& path, std::uint32_t mask);
    virtual void removeWatch(int fd, int wd);
};

} // namespace tavelin
