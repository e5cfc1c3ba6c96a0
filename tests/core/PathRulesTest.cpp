#include "core/copy/PathRules.h"

#include "core/util/FolderPath.h"
#include "tests/core/FakeVolumes.h"

#include <gtest/gtest.h>

namespace tavelin {
namespace {

struct DestinationCase {
    const char* source;
    const char* destination;
    bool typed;
    const char* expectedBase;
};

void PrintTo(const DestinationCase& c, std::ostream* os) {
    *os << c.destination << (c.typed ? " (typed)" : "");
}

class DestinationBaseTest : public ::testing::TestWithParam<DestinationCase> {};

TEST_P(DestinationBaseTest, FollowsTheDriveRootRule) {
    const test::FakeVolumes volumes({"/", "/media/usb", "/mnt/backup disk"});
    const PathRules rules(volumes);
    const auto& c = GetParam();
    EXPECT_EQ(rules.destinationBase(c.source, c.destination, c.typed), c.expectedBase)
        << c.source << " -> " << c.destination;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DestinationBaseTest,
    ::testing::Values(
        // Into a mount point the source folder's name is recreated.
        DestinationCase{"/home/bob/Documents", "/media/usb", false, "/media/usb/Documents"},
        DestinationCase{"/home/bob/Documents/", "/media/usb/", false, "/media/usb/Documents"},
        DestinationCase{"/home/bob/Documents", "/media//usb", false, "/media/usb/Documents"},
        DestinationCase{"/data", "/mnt/backup disk", false, "/mnt/backup disk/data"},
        DestinationCase{"/home/bob/src", "/", false, "/src"},
        // The root of everything has no name to recreate.
        DestinationCase{"/", "/media/usb", false, "/media/usb"},
        // Into any other folder the contents go straight in.
        DestinationCase{"/home/bob/Documents", "/media/usb/docs", false, "/media/usb/docs"},
        DestinationCase{"/home/bob/Documents", "/srv/backup//bob/", false, "/srv/backup/bob"},
        // A typed destination is taken as typed, even on a mount point.
        DestinationCase{"/home/bob/Documents", "/media/usb", true, "/media/usb"},
        DestinationCase{"/home/bob/Documents", "//server/share/", true, "//server/share/"}));

struct InsideCase {
    const char* path;
    const char* folder;
    bool inside;
};

void PrintTo(const InsideCase& c, std::ostream* os) {
    *os << c.path << " in " << c.folder;
}

class InsideTest : public ::testing::TestWithParam<InsideCase> {};

TEST_P(InsideTest, ComparesWholeNames) {
    const auto& c = GetParam();
    EXPECT_EQ(FolderPath::isSameOrInside(c.path, c.folder), c.inside)
        << c.path << " in " << c.folder;
}

INSTANTIATE_TEST_SUITE_P(Table, InsideTest,
                         ::testing::Values(InsideCase{"/data/backup", "/data", true},
                                           InsideCase{"/data", "/data/", true},
                                           InsideCase{"/database", "/data", false},
                                           InsideCase{"/data", "/data/backup", false},
                                           InsideCase{"/x/y", "/", true}));

TEST(PathRulesTest, FolderNameAndJoin) {
    EXPECT_EQ(FolderPath::folderName("/home/bob/src/"), "src");
    EXPECT_EQ(FolderPath::folderName("/"), "");
    EXPECT_EQ(FolderPath::join("/a", "b"), "/a/b");
    EXPECT_EQ(FolderPath::join("/", "b"), "/b");
}

} // namespace
} // namespace tavelin
