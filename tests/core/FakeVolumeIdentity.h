#pragma once

#include "core/platform/VolumeIdentity.h"

#include <string>

namespace tavelin::test {

// A volume identity the test decides on: the UUID of whatever is "mounted" at the moment, for
// every path.
class FakeVolumeIdentity final : public VolumeIdentity {
  public:
    std::string uuidOf(const std::string&) const override { return uuid; }
    std::string uuid;
};

} // namespace tavelin::test
