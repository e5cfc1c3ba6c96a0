#include "core/tasks/TaskInterval.h"
#include "core/tasks/UpdateRates.h"
#include "tests/core/FakeClock.h"

#include <gtest/gtest.h>

namespace tavelin {
namespace {

using test::at;

struct NextRunCase {
    const char* interval;
    const char* base;
    const char* next;
};

void PrintTo(const NextRunCase& c, std::ostream* os) {
    *os << c.interval << " after " << c.base;
}

class NextRunTimeTest : public ::testing::TestWithParam<NextRunCase> {};

TEST_P(NextRunTimeTest, AddsMinutesThenHoursKeepingTheSeconds) {
    const auto& c = GetParam();
    const auto interval = TaskInterval::parse(c.interval);
    ASSERT_TRUE(interval.has_value());
    EXPECT_EQ(interval->nextRunTime(at(c.base)).display(), c.next);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NextRunTimeTest,
    ::testing::Values(NextRunCase{"00:30", "31.12.2025 23:45:10", "01.01.2026 00:15:10"},
                      NextRunCase{"02:00", "10.03.2026 23:30:00", "11.03.2026 01:30:00"},
                      NextRunCase{"00:15", "10.03.2026 10:02:30", "10.03.2026 10:17:30"},
                      NextRunCase{"00:15", "08.12.2025 21:52:07", "08.12.2025 22:07:07"},
                      NextRunCase{"07:30", "28.02.2028 20:00:59", "29.02.2028 03:30:59"},
                      NextRunCase{"23:59", "29.02.2028 12:00:00", "01.03.2028 11:59:00"},
                      NextRunCase{"01:00", "30.04.2026 23:10:00", "01.05.2026 00:10:00"}));

struct ParseCase {
    const char* text;
    bool valid;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << "'" << c.text << "'";
}

class IntervalParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(IntervalParseTest, RefusesWhatCannotScheduleATask) {
    EXPECT_EQ(TaskInterval::parse(GetParam().text).has_value(), GetParam().valid)
        << "'" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(Table, IntervalParseTest,
                         ::testing::Values(ParseCase{"00:15", true}, ParseCase{"23:59", true},
                                           ParseCase{"05:00", true}, ParseCase{"00:00", false},
                                           ParseCase{"24:00", false}, ParseCase{"07:60", false},
                                           ParseCase{"7:30", false}, ParseCase{"", false},
                                           ParseCase{"ab:cd", false}, ParseCase{"07-30", false},
                                           ParseCase{" 7:30", false}));

TEST(UpdateRatesTest, TheListHas28RowsInOrder) {
    const auto rows = UpdateRates::updateRates();
    ASSERT_EQ(rows.size(), 28u);
    EXPECT_EQ(rows[0], "No Auto");
    EXPECT_EQ(rows[3], "1  hrs");
    EXPECT_EQ(rows[4], "2  hrs");
    EXPECT_EQ(rows[5], "01:00");
    EXPECT_EQ(rows[27], "23:00");
}

struct RateIntervalCase {
    const char* rate;
    const char* interval;
};

void PrintTo(const RateIntervalCase& c, std::ostream* os) {
    *os << "'" << c.rate << "'";
}

class RateIntervalTest : public ::testing::TestWithParam<RateIntervalCase> {};

TEST_P(RateIntervalTest, GivesTheTaskInterval) {
    EXPECT_EQ(UpdateRates::intervalFor(GetParam().rate), GetParam().interval) << GetParam().rate;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RateIntervalTest,
    ::testing::Values(RateIntervalCase{"No Auto", ""}, RateIntervalCase{"15 Min", "00:15"},
                      RateIntervalCase{"30 Min", "00:30"}, RateIntervalCase{"1  hrs", "01:00"},
                      RateIntervalCase{"2  hrs", "02:00"}, RateIntervalCase{"1 hrs", ""},
                      RateIntervalCase{"05:00", "05:00"}, RateIntervalCase{"07:30", "07:30"},
                      RateIntervalCase{"7:30", ""}, RateIntervalCase{"15 min", ""},
                      RateIntervalCase{"ab:cd", "ab:cd"}));

struct RuleCase {
    const char* rate;
    const char* clock;
    bool runs;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << "'" << c.rate << "' at " << c.clock;
}

class UpdateRateRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(UpdateRateRuleTest, RunsTheSelectionAtTheRightMinutes) {
    const auto& c = GetParam();
    EXPECT_EQ(UpdateRates::isRunMinute(c.rate, c.clock), c.runs) << c.rate << " @ " << c.clock;
}

INSTANTIATE_TEST_SUITE_P(
    Table, UpdateRateRuleTest,
    ::testing::Values(RuleCase{"No Auto", "10:00", false}, RuleCase{"15 Min", "10:15", true},
                      RuleCase{"15 Min", "10:16", false}, RuleCase{"15 Min", "10:45", true},
                      RuleCase{"30 Min", "10:15", false}, RuleCase{"30 Min", "10:30", true},
                      RuleCase{"1  hrs", "13:00", true}, RuleCase{"1  hrs", "13:30", false},
                      RuleCase{"2  hrs", "14:00", true}, RuleCase{"2  hrs", "13:00", false},
                      RuleCase{"1 hrs", "13:00", false}, RuleCase{"07:30", "07:30", true},
                      RuleCase{"07:30", "19:30", false}, RuleCase{"05:00", "05:00", true},
                      RuleCase{"", "10:00", false}));

TEST(LocalDateTimeTest, StorageFormSortsAndDisplayShowsMidnight) {
    const auto t = at("01.01.2026 00:00:00");
    EXPECT_EQ(t.storage(), "2026-01-01 00:00:00");
    EXPECT_EQ(t.display(), "01.01.2026 00:00:00");
    EXPECT_LT(at("31.12.2025 23:59:59").storage(), t.storage());
    EXPECT_EQ(LocalDateTime::parseStorage("2026-02-29 10:00:00"), std::nullopt);
    EXPECT_EQ(LocalDateTime::parseDisplay("29.02.2028 10:00:00")->storage(), "2028-02-29 10:00:00");
}

} // namespace
} // namespace tavelin
