#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace tavelin {

// A local wall-clock date-time to the whole second, without a time zone.
// Arithmetic is plain calendar arithmetic, as the task store needs it.
struct LocalDateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    auto operator<=>(const LocalDateTime&) const = default;

    LocalDateTime addMinutes(std::int64_t minutes) const;
    LocalDateTime addSeconds(std::int64_t seconds) const;

    // "dd.mm.yyyy hh:mm:ss": the form shown to users.
    std::string display() const;
    // "yyyy-mm-dd hh:mm:ss": the stored form, which sorts chronologically.
    std::string storage() const;
    // "hh:mm" and "hh".
    std::string clockText() const;
    std::string hourText() const;

    static std::optional<LocalDateTime> parseStorage(const std::string& text);
    static std::optional<LocalDateTime> parseDisplay(const std::string& text);
    static LocalDateTime fromEpochSeconds(std::int64_t daysSinceEpochSeconds);
    std::int64_t toEpochSeconds() const;
};

} // namespace tavelin
