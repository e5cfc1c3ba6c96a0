#pragma once

#include "core/util/UniqueFd.h"
#include "core/watch/InotifyApi.h"

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <unordered_map>
#include <vector>

namespace tavelin {

// Watches a source folder (and, when asked, every folder below it) for what a copy would act
// on: a file written and closed, a file or folder moved in, a folder created. One inotify
// watch per folder; folders that appear are watched as they come. This program's own
// temporaries and the destination (when it lies inside the source) never count.
class FolderWatcher {
  public:
    // `skip`: a folder not to watch (the destination); may not exist yet.
    FolderWatcher(std::string root, bool subfolders, std::string skip, InotifyApi& api);

    // Sets up the watches. False when the per-user watch limit was reached (or inotify is not
    // to be had): the task then runs on its interval only; neededWatches() tells how many
    // folders it has.
    bool start();
    bool limitReached() const { return limitReached_; }
    std::size_t neededWatches() const { return needed_; }
    std::size_t watches() const { return byWatch_.size(); }
    // For an event loop: readable when events wait.
    int fd() const { return fd_.get(); }

    // Reads the waiting events without blocking. True when one of them is a change.
    // An overflowed queue counts as a change (something was missed: one full run covers it).
    bool readChanges();

    // One inotify event, as read (exposed for tests of what counts).
    bool handle(int wd, std::uint32_t mask, const std::string& name);

  private:
    void watchTree(const std::string& folder);
    bool isSkipped(const std::string& folder) const;

    std::string root_;
    bool subfolders_;
    std::string skip_;
    InotifyApi& api_;
    UniqueFd fd_;
    std::unordered_map<int, std::string> byWatch_;
    bool limitReached_ = false;
    std::size_t needed_ = 0;
};

} // namespace tavelin
