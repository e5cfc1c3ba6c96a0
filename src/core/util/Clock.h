#pragma once

#include "core/util/LocalDateTime.h"

namespace tavelin {

// The source of "now". Injected everywhere so that tests can move time by hand.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

} // namespace tavelin
