#include "core/tasks/UpdateRates.h"

#include <cstdio>

namespace tavelin {

namespace {

int twoDigits(const std::string& s, std::size_t at) {
    if (at + 2 > s.size() || s[at] < '0' || s[at] > '9' || s[at + 1] < '0' || s[at + 1] > '9') {
        return -1;
    }
    return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

} // namespace

std::vector<std::string> UpdateRates::updateRates() {
    std::vector<std::string> rows{"No Auto", "15 Min", "30 Min", "1  hrs", "2  hrs"};
    for (int h = 1; h <= 23; ++h) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%02d:00", h);
        rows.emplace_back(buf);
    }
    return rows;
}

std::string UpdateRates::intervalFor(const std::string& rateText) {
    if (rateText == "No Auto") {
        return {};
    }
    if (rateText == "15 Min") {
        return "00:15";
    }
    if (rateText == "30 Min") {
        return "00:30";
    }
    if (rateText == "1  hrs") {
        return "01:00";
    }
    if (rateText == "2  hrs") {
        return "02:00";
    }
    if (rateText.size() == 5 && rateText.find(':') != std::string::npos) {
        return rateText;
    }
    return {};
}

bool UpdateRates::isRunMinute(const std::string& rateText, const std::string& clock) {
    const int hour = twoDigits(clock, 0);
    const int minute = clock.size() == 5 ? twoDigits(clock, 3) : -1;
    if (rateText == "No Auto") {
        return false;
    }
    if (rateText == "15 Min") {
        return minute >= 0 && minute % 15 == 0;
    }
    if (rateText == "30 Min") {
        return minute >= 0 && minute % 30 == 0;
    }
    if (rateText == "1  hrs") {
        return minute == 0;
    }
    if (rateText == "2  hrs") {
        return minute == 0 && hour >= 0 && hour % 2 == 0;
    }
    return !rateText.empty() && rateText == clock;
}

} // namespace tavelin
