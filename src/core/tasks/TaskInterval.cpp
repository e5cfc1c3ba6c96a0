#include "core/tasks/TaskInterval.h"

#include <cstdio>

namespace tavelin {

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

std::optional<TaskInterval> TaskInterval::parse(const std::string& text) {
    if (text.size() != 5 || text[2] != ':' || !isDigit(text[0]) || !isDigit(text[1]) ||
        !isDigit(text[3]) || !isDigit(text[4])) {
        return std::nullopt;
    }
    const int h = (text[0] - '0') * 10 + (text[1] - '0');
    const int m = (text[3] - '0') * 10 + (text[4] - '0');
    if (h > 23 || m > 59 || (h == 0 && m == 0)) {
        return std::nullopt;
    }
    return TaskInterval(h, m);
}

std::string TaskInterval::text() const {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d:%02d", hours_, minutes_);
    return buf;
}

LocalDateTime TaskInterval::nextRunTime(const LocalDateTime& base) const {
    return base.addMinutes(minutes_).addMinutes(static_cast<std::int64_t>(hours_) * 60);
}

} // namespace tavelin
