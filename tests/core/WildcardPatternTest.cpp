#include "core/copy/WildcardPattern.h"

#include <gtest/gtest.h>

namespace tavelin {
namespace {

struct PatternCase {
    const char* pattern;
    const char* name;
    bool matches;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << "'" << c.pattern << "' on '" << c.name << "'";
}

class WildcardPatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(WildcardPatternTest, MatchesAsFileDialogsDo) {
    const auto& c = GetParam();
    EXPECT_EQ(WildcardPattern(c.pattern).matches(c.name), c.matches)
        << "pattern '" << c.pattern << "' name '" << c.name << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Table, WildcardPatternTest,
    ::testing::Values(
        PatternCase{"*.txt", "notes.txt", true}, PatternCase{"*.txt", "NOTES.TXT", true},
        PatternCase{"*.TXT", "notes.txt", true}, PatternCase{"*.txt", "notes.txt.bak", false},
        PatternCase{"*.txt", "notes.tx", false}, PatternCase{"*.txt", ".txt", true},
        PatternCase{"*", "anything.at.all", true}, PatternCase{"*.*", "Makefile", true},
        PatternCase{"*.*", ".hidden", true}, PatternCase{"a*b*c", "aXXbYYc", true},
        PatternCase{"a*b*c", "aXXbYY", false}, PatternCase{"*a*", "banana", true},
        PatternCase{"?.doc", "a.doc", true}, PatternCase{"?.doc", "ab.doc", false},
        PatternCase{"?.doc", ".doc", false}, PatternCase{"report?", "report", false},
        PatternCase{"r?p*t", "rePORt", true},
        // "?" is one character, also when that character takes several bytes in UTF-8.
        PatternCase{"?.txt", "\xC3\xA9.txt", true}, PatternCase{"??.txt", "\xC3\xA9.txt", false},
        PatternCase{"*\xC3\xA9*", "caf\xC3\xA9.txt", true},
        PatternCase{"*.pdf", "\xE6\x97\xA5\xE6\x9C\xAC.PDF", true},
        PatternCase{"\xC3\xA9*", "\xC3\x89t\xC3\xA9", true},
        // Several patterns, blanks around each ignored; an empty list matches everything.
        PatternCase{"*.txt;*.doc", "a.doc", true}, PatternCase{"*.txt;*.doc", "a.pdf", false},
        PatternCase{" *.txt ; *.doc ", "a.doc", true}, PatternCase{"*.txt;;", "a.txt", true},
        PatternCase{"", "whatever", true}, PatternCase{" ; ", "whatever", true},
        // A trailing ".*" also stands for no extension.
        PatternCase{"readme.*", "README", true}, PatternCase{"readme.*", "readme.md", true},
        PatternCase{"readme.*", "readmes", false},
        // Letters of every script, compared without regard to case.
        PatternCase{"\xC3\xA4rger.txt", "\xC3\x84RGER.TXT", true},
        PatternCase{"*.\xCE\xA3\xCE\xA4", "x.\xCF\x83\xCF\x84", true}, // Greek ΣΤ / στ
        PatternCase{"\xD0\x94*", "\xD0\xB4\xD0\xBE\xD0\xBC", true},    // Cyrillic Д / д
        PatternCase{"\xC3\xA4*", "a\xCC\x88", false}, // a + combining mark: another spelling
        // "*." is every name without an extension.
        PatternCase{"*.", "Makefile", true}, PatternCase{"*.", "notes.txt", false},
        PatternCase{"*.", ".bashrc", true}, PatternCase{"make*.", "Makefile", true},
        // Bytes that are not UTF-8 match only themselves.
        PatternCase{"?.bin", "\xFF.bin", true}, PatternCase{"\xFE*", "\xFF.bin", false},
        PatternCase{"*.txt", "caf\xE9.TXT", true}));

TEST(WildcardPatternTest, APatternWithAFolderSeparatorIsRefused) {
    EXPECT_TRUE(WildcardPattern::check("*.txt;report?.doc").has_value());
    for (const char* bad : {"docs/*.txt", "*.txt;sub\\*.doc"}) {
        const auto checked = WildcardPattern::check(bad);
        ASSERT_FALSE(checked.has_value()) << bad;
        EXPECT_NE(checked.error().message.find("can never match a file name"), std::string::npos);
    }
}

} // namespace
} // namespace tavelin
