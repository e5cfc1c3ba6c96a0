#include "tests/core/LoopMount.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tavelin::test {

bool shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

LoopMount::LoopMount(std::string image, std::string mountPoint, const std::string& mkfs,
                     const std::string& size)
    : image_(std::move(image)), mountPoint_(std::move(mountPoint)) {
    const std::string tool = mkfs.substr(0, mkfs.find(' '));
    if (::geteuid() != 0) {
        problem_ = "loop mounts need root";
    } else if (!shell("command -v " + tool)) {
        problem_ = tool + " is not installed (scripts/install-deps installs it)";
    } else if (!shell("truncate -s " + size + " '" + image_ + "' && " + mkfs + " '" + image_ +
                      "'")) {
        problem_ = "cannot make the image with " + tool;
    } else {
        std::filesystem::create_directories(mountPoint_);
        if (!mount()) {
            problem_ = "the kernel refuses loop mounts here";
        }
    }
}

LoopMount::~LoopMount() {
    unmount();
}

bool LoopMount::mount() {
    mounted_ = mounted_ || shell("mount -o loop '" + image_ + "' '" + mountPoint_ + "'");
    return mounted_;
}

bool LoopMount::unmount() {
    if (mounted_) {
        mounted_ = !shell("umount '" + mountPoint_ + "'");
    }
    return !mounted_;
}

} // namespace tavelin::test
