#include "TaskTable.h"

#include "Json.h"
#include "TerminalText.h"

#include <algorithm>
#include <array>
#include <ostream>

namespace tavelin::cli {

namespace {

std::string dateText(const std::optional<LocalDateTime>& t) {
    return t ? t->display() : std::string();
}

constexpr std::size_t kNameColumns = 40;

std::size_t width(const std::string& s) {
    return TerminalText::width(s);
}

} // namespace

void TaskTable::printText(std::ostream& out, const std::vector<TaskRecord>& tasks) {
    using Row = std::array<std::string, 7>;
    std::vector<Row> rows{
        {"NAME", "SOURCE", "DESTINATION", "EVERY", "LAST TIME", "NEXT TIME", "STATUS"}};
    for (const auto& t : tasks) {
        // Names are the user's own text: shown escaped, a very long one shortened.
        rows.push_back({TerminalText::shorten(TerminalText::escape(t.task_name), kNameColumns),
                        TerminalText::escape(t.task_source),
                        TerminalText::escape(t.task_destination), t.task_interval,
                        dateText(t.task_lastdate), dateText(t.task_nextdate), t.task_success});
    }
    std::array<std::size_t, 7> widths{};
    for (const auto& r : rows) {
        for (std::size_t i = 0; i < r.size(); ++i) {
            widths[i] = std::max(widths[i], width(r[i]));
        }
    }
    for (const auto& r : rows) {
        std::string line;
        for (std::size_t i = 0; i < r.size(); ++i) {
            line += r[i];
            if (i + 1 < r.size()) {
                line += std::string(widths[i] - width(r[i]) + 2, ' ');
            }
        }
        out << line << "\n";
    }
}

void TaskTable::printJson(std::ostream& out, const std::vector<TaskRecord>& tasks) {
    out << "[";
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        const auto& t = tasks[i];
        out << (i ? "," : "") << "{\"task_name\":" << Json::quote(t.task_name)
            << ",\"task_source\":" << Json::quote(t.task_source)
            << ",\"task_destination\":" << Json::quote(t.task_destination)
            << ",\"task_subfolders\":" << t.task_subfolders
            << ",\"task_interval\":" << Json::quote(t.task_interval)
            << ",\"task_lastdate\":" << Json::quote(dateText(t.task_lastdate))
            << ",\"task_nextdate\":" << Json::quote(dateText(t.task_nextdate))
            << ",\"task_success\":" << Json::quote(t.task_success)
            << ",\"task_filetypes\":" << Json::quote(t.task_filetypes)
            << ",\"task_uncpath\":" << t.task_uncpath << ",\"task_catchup\":" << t.task_catchup
            << "}";
    }
    out << "]\n";
}

} // namespace tavelin::cli
