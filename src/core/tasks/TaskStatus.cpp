#include "core/tasks/TaskStatus.h"

#include <array>
#include <ostream>
#include <utility>

namespace tavelin {

namespace {

constexpr std::array<std::pair<TaskStatus, std::string_view>, 4> kTexts{{
    {TaskStatus::NotRun, "-"},
    {TaskStatus::Ok, "OK"},
    {TaskStatus::Failed, "Failed"},
    {TaskStatus::Stopped, "Stopped"},
}};

} // namespace

std::string_view statusText(TaskStatus status) {
    for (const auto& [s, text] : kTexts) {
        if (s == status) {
            return text;
        }
    }
    return "-";
}

std::ostream& operator<<(std::ostream& out, TaskStatus status) {
    return out << statusText(status);
}

std::optional<TaskStatus> parseTaskStatus(std::string_view text) {
    for (const auto& [s, t] : kTexts) {
        if (t == text) {
            return s;
        }
    }
    return std::nullopt;
}

} // namespace tavelin
