#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace tavelin {

// How a task's last run ended. The stored and shown texts are "-", "OK", "Failed" and
// "Stopped" (the last only in the history: a stopped task run counts as failed).
enum class TaskStatus { NotRun, Ok, Failed, Stopped };

std::string_view statusText(TaskStatus status);
std::ostream& operator<<(std::ostream& out, TaskStatus status);

// The status a stored text names; nullopt for any other text.
std::optional<TaskStatus> parseTaskStatus(std::string_view text);

} // namespace tavelin
