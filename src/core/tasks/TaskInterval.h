#pragma once

#include "core/util/LocalDateTime.h"

#include <optional>
#include <string>

namespace tavelin {

// The time between two runs of a task, stored as "hh:mm".
class TaskInterval {
  public:
    // Accepts exactly "hh:mm" with hours 00-23 and minutes 00-59, and not "00:00" (a task
    // would run on every tick). Anything else cannot schedule a task.
    static std::optional<TaskInterval> parse(const std::string& text);

    int hours() const { return hours_; }
    int minutes() const { return minutes_; }
    std::string text() const;

    // Base plus the minutes, then plus the hours: plain wall-clock arithmetic, seconds kept.
    LocalDateTime nextRunTime(const LocalDateTime& base) const;

  private:
    TaskInterval(int hours, int minutes) : hours_(hours), minutes_(minutes) {}
    int hours_;
    int minutes_;
};

} // namespace tavelin
