#pragma once

#include "core/platform/Volumes.h"

#include <vector>

namespace tavelin::test {

// A volume list that holds whatever the test says is mounted.
class FakeVolumes final : public Volumes {
  public:
    explicit FakeVolumes(std::vector<std::string> mountPoints = {"/"}) {
        for (auto& m : mountPoints) {
            volumes_.push_back(Volume{m, "ext4", "/dev/fake", ""});
        }
    }
    std::vector<Volume> list() const override { return volumes_; }

  private:
    std::vector<Volume> volumes_;
};

} // namespace tavelin::test
