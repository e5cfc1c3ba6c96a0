#include "core/copy/CopyDecision.h"

#include <gtest/gtest.h>

namespace tavelin {
namespace {

constexpr std::int64_t kSecond = 1'000'000'000;
constexpr std::int64_t kT = 1'700'000'000;

struct DecisionCase {
    const char* name;
    struct timespec source;
    struct timespec destination;
    std::int64_t destinationSize; // the source has 100 bytes
    std::int64_t granularity;
    bool copy;
};

void PrintTo(const DecisionCase& c, std::ostream* os) {
    *os << c.name;
}

class CopyDecisionTest : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(CopyDecisionTest, ComparesAtThePrecisionBothSidesKeep) {
    const auto& c = GetParam();
    EXPECT_EQ(
        CopyDecision::needsCopy({c.source, 100}, {c.destination, c.destinationSize}, c.granularity),
        c.copy);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CopyDecisionTest,
    ::testing::Values(
        DecisionCase{"sameInstant", {kT, 5}, {kT, 5}, 100, 1, false},
        DecisionCase{"editedInTheSameSecond", {kT, 700}, {kT, 200}, 100, 1, true},
        DecisionCase{"destinationNewerInTheSameSecond", {kT, 200}, {kT, 700}, 100, 1, false},
        // A side in whole seconds: the other side's fraction cannot be compared.
        DecisionCase{"wholeSecondDestination", {kT, 700}, {kT, 0}, 100, 1, false},
        DecisionCase{"wholeSecondSourceOneSecondLater", {kT + 1, 0}, {kT, 500}, 100, 1, true},
        // A destination in 100 ns steps keeps the source's time cut down to its step.
        DecisionCase{"ntfsCutTheTime", {kT, 123'456'789}, {kT, 123'456'700}, 100, 100, false},
        DecisionCase{"ntfsNewer", {kT, 123'456'900}, {kT, 123'456'700}, 100, 100, true},
        DecisionCase{"fatOneSecondIsEqual", {kT + 1, 0}, {kT, 0}, 100, 2 * kSecond, false},
        DecisionCase{"fatTwoSecondsIsNewer", {kT + 2, 0}, {kT, 0}, 100, 2 * kSecond, true},
        DecisionCase{"unknownFileSystemWholeSeconds", {kT, 900}, {kT, 100}, 100, kSecond, false},
        // The same time with another size is no copy (the contents were lost).
        DecisionCase{"sameTimeOtherSize", {kT, 5}, {kT, 5}, 0, 1, true},
        DecisionCase{"fatSameTimeOtherSize", {kT + 1, 0}, {kT, 0}, 7, 2 * kSecond, true},
        DecisionCase{"newerDestinationOtherSize", {kT, 0}, {kT + 60, 0}, 7, 1, false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
} // namespace tavelin
