#pragma once

#include <string>

namespace tavelin::test {

// Runs a shell command quietly; true when it succeeded.
bool shell(const std::string& command);

// A file-system image mounted through a loop device, unmounted however the test ends. Needs
// root; tests skip with the reason that `problem()` gives.
class LoopMount {
  public:
    // Makes the image (`mkfs` such as "mkfs.ext4 -q -F", given the image path last).
    LoopMount(std::string image, std::string mountPoint, const std::string& mkfs,
              const std::string& size);
    ~LoopMount();
    LoopMount(const LoopMount&) = delete;
    LoopMount& operator=(const LoopMount&) = delete;

    // Empty when the image is made and mounted; else why not (the test skips).
    const std::string& problem() const { return problem_; }
    bool mount();
    bool unmount();

  private:
    std::string image_;
    std::string mountPoint_;
    std::string problem_;
    bool mounted_ = false;
};

} // namespace tavelin::test
