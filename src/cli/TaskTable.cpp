#include "cli/TaskTable.h"

#include "cli/Json.h"
#include "cli/TerminalText.h"

#include <algorithm>
#include <array>
#include <functional>
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

namespace {

template <std::size_t N>
void printAligned(std::ostream& out, const std::vector<std::array<std::string, N>>& rows,
                  const std::function<void(std::size_t)>& after = {}) {
    std::array<std::size_t, N> widths{};
    for (const auto& r : rows) {
        for (std::size_t i = 0; i < N; ++i) {
            widths[i] = std::max(widths[i], width(r[i]));
        }
    }
    for (std::size_t row = 0; row < rows.size(); ++row) {
        std::string line;
        for (std::size_t i = 0; i < N; ++i) {
            line += rows[row][i];
            if (i + 1 < N) {
                line += std::string(widths[i] - width(rows[row][i]) + 2, ' ');
            }
        }
        out << line << "\n";
        if (after) {
            after(row);
        }
    }
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
                        dateText(t.task_lastdate), dateText(t.task_nextdate),
                        std::string(statusText(t.task_success))});
    }
    printAligned<7>(out, rows);
}

void TaskTable::printHistoryText(std::ostream& out, const std::vector<TaskRunEntry>& runs) {
    using Row = std::array<std::string, 9>;
    std::vector<Row> rows{
        {"STARTED", "ENDED", "TASK", "TRIGGER", "STATUS", "SCANNED", "COPIED", "FAILED", "BYTES"}};
    for (const auto& r : runs) {
        rows.push_back({r.started.display(), r.ended.display(),
                        TerminalText::shorten(TerminalText::escape(r.task_name), kNameColumns),
                        r.trigger, std::string(statusText(r.status)), std::to_string(r.scanned),
                        std::to_string(r.copied), std::to_string(r.failed),
                        std::to_string(r.bytes)});
    }
    printAligned<9>(out, rows, [&](std::size_t row) {
        if (row == 0) {
            return;
        }
        for (const auto& e : runs[row - 1].errors) {
            out << "    " << TerminalText::escape(e.path) << ": " << TerminalText::escape(e.reason)
                << "\n";
        }
    });
}

void TaskTable::printHistoryJson(std::ostream& out, const std::vector<TaskRunEntry>& runs) {
    out << "[";
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const auto& r = runs[i];
        out << (i ? "," : "") << "{\"task_name\":" << Json::quote(r.task_name)
            << ",\"trigger\":" << Json::quote(r.trigger)
            << ",\"started\":" << Json::quote(r.started.display())
            << ",\"ended\":" << Json::quote(r.ended.display())
            << ",\"status\":" << Json::quote(statusText(r.status)) << ",\"scanned\":" << r.scanned
            << ",\"copied\":" << r.copied << ",\"failed\":" << r.failed << ",\"bytes\":" << r.bytes
            << ",\"errors\":";
        Json::printFailures(out, r.errors);
        out << "}";
    }
    out << "]\n";
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
            << ",\"task_success\":" << Json::quote(statusText(t.task_success))
            << ",\"task_filetypes\":" << Json::quote(t.task_filetypes)
            << ",\"task_uncpath\":" << t.task_uncpath << ",\"task_catchup\":" << t.task_catchup
            << ",\"task_onchange\":" << t.task_onchange << ",\"task_settle\":" << t.task_settle
            << ",\"task_keepversions\":" << t.task_keepversions
            << ",\"task_versionsdays\":" << t.task_versionsdays << "}";
    }
    out << "]\n";
}

} // namespace tavelin::cli
