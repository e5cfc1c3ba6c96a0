#pragma once

#include "core/util/Clock.h"

namespace tavelin {

// The machine's local wall clock, to the second.
class SystemClock final : public Clock {
  public:
    LocalDateTime now() const override;
};

} // namespace tavelin
