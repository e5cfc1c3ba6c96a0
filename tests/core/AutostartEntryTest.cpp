#include "core/shell/AutostartEntry.h"

#include "tests/core/TempTree.h"

#include <gtest/gtest.h>

namespace tavelin {
namespace {

TEST(AutostartEntryTest, WritesAndRemovesTheDesktopEntry) {
    test::TempTree tree;
    const AutostartEntry entry(tree.path("config"));
    ASSERT_TRUE(entry.add("/opt/tavelin/bin/tavelin").has_value());
    const std::string text = tree.read("config/autostart/Tavelin.desktop");
    EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(text.find("\nName=Tavelin\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=/opt/tavelin/bin/tavelin\n"), std::string::npos);
    EXPECT_EQ(tree.list("config/autostart"), "Tavelin.desktop");
    ASSERT_TRUE(entry.remove().has_value());
    EXPECT_FALSE(entry.exists());
    EXPECT_TRUE(entry.remove().has_value()); // already gone is fine
}

struct ExecCase {
    const char* path;
    const char* exec;
};

void PrintTo(const ExecCase& c, std::ostream* os) {
    *os << c.path;
}

class ExecQuotingTest : public ::testing::TestWithParam<ExecCase> {};

TEST_P(ExecQuotingTest, QuotesAsTheDesktopEntryFormatRequires) {
    EXPECT_EQ(AutostartEntry::execValue(GetParam().path), GetParam().exec);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExecQuotingTest,
    ::testing::Values(ExecCase{"/usr/bin/tavelin", "/usr/bin/tavelin"},
                      ExecCase{"/home/bob/My Apps/tavelin", "\"/home/bob/My Apps/tavelin\""},
                      ExecCase{"/opt/100%/tavelin", "/opt/100%%/tavelin"},
                      ExecCase{"/opt/a$b/tavelin", "\"/opt/a\\\\$b/tavelin\""},
                      ExecCase{"/opt/say \"hi\"/t", "\"/opt/say \\\\\"hi\\\\\"/t\""}));

} // namespace
} // namespace tavelin
