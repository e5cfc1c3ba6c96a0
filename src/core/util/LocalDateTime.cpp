#include "core/util/LocalDateTime.h"

#include <cstdio>

namespace tavelin {

namespace {

// Howard Hinnant's civil-calendar conversions; exact for every proleptic Gregorian date.
std::int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) {
        return 29;
    }
    return days[m - 1];
}

bool valid(const LocalDateTime& t) {
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= daysInMonth(t.year, t.month) &&
           t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
           t.second <= 59;
}

std::optional<LocalDateTime> checked(LocalDateTime t) {
    if (!valid(t)) {
        return std::nullopt;
    }
    return t;
}

} // namespace

std::int64_t LocalDateTime::toEpochSeconds() const {
    return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

LocalDateTime LocalDateTime::fromEpochSeconds(std::int64_t s) {
    std::int64_t days = s / 86400;
    std::int64_t rem = s % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    LocalDateTime t;
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rem / 3600);
    t.minute = static_cast<int>(rem % 3600 / 60);
    t.second = static_cast<int>(rem % 60);
    return t;
}

LocalDateTime LocalDateTime::addSeconds(std::int64_t seconds) const {
    return fromEpochSeconds(toEpochSeconds() + seconds);
}

LocalDateTime LocalDateTime::addMinutes(std::int64_t minutes) const {
    return addSeconds(minutes * 60);
}

std::string LocalDateTime::display() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d", day, month, year, hour, minute,
                  second);
    return buf;
}

std::string LocalDateTime::storage() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute,
                  second);
    return buf;
}

std::string LocalDateTime::clockText() const {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d:%02d", hour, minute);
    return buf;
}

std::string LocalDateTime::hourText() const {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02d", hour);
    return buf;
}

std::optional<LocalDateTime> LocalDateTime::parseStorage(const std::string& text) {
    LocalDateTime t;
    int consumed = 0;
    if (text.size() != 19 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &t.year, &t.month, &t.day, &t.hour,
                    &t.minute, &t.second, &consumed) != 6 ||
        consumed != 19) {
        return std::nullopt;
    }
    return checked(t);
}

std::optional<LocalDateTime> LocalDateTime::parseDisplay(const std::string& text) {
    LocalDateTime t;
    int consumed = 0;
    if (text.size() != 19 ||
        std::sscanf(text.c_str(), "%2d.%2d.%4d %2d:%2d:%2d%n", &t.day, &t.month, &t.year, &t.hour,
                    &t.minute, &t.second, &consumed) != 6 ||
        consumed != 19) {
        return std::nullopt;
    }
    return checked(t);
}

} // namespace tavelin
