#include "core/platform/NetworkShare.h"

#include "core/platform/Fstab.h"
#include "tests/core/TempTree.h"

#include <gtest/gtest.h>

namespace tavelin {
namespace {

struct ShareCase {
    const char* name;
    const char* typed;
    const char* expected; // "@" stands for the test's desktop share folder; "!" an error
};

void PrintTo(const ShareCase& c, std::ostream* os) {
    *os << c.name;
}

class NetworkShareTest : public ::testing::TestWithParam<ShareCase> {};

TEST_P(NetworkShareTest, TypedPathIsTheFolderOfItsMountedShare) {
    const auto& c = GetParam();
    test::TempTree tree;
    tree.mkdir("gvfs/smb-share:domain=WORK,server=fileserver,share=photos,user=bob");
    const std::vector<Volume> mounts = {
        {"/", "ext4", "/dev/sda1", "8:1"},
        {"/mnt/nas docs", "cifs", "//NAS/Docs", "0:50"},
        {"/mnt/other", "ext4", "//nas/backup", "8:3"}, // not a network mount
    };
    const auto local = NetworkShare::resolve(c.typed, mounts, tree.path("gvfs"));
    std::string expected = c.expected;
    if (expected == "!") {
        ASSERT_FALSE(local.has_value()) << *local;
        EXPECT_NE(local.error().message.find("is not mounted"), std::string::npos);
        return;
    }
    if (expected.starts_with("@")) {
        expected = tree.path("gvfs") + expected.substr(1);
    }
    ASSERT_TRUE(local.has_value()) << local.error().message;
    EXPECT_EQ(*local, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NetworkShareTest,
    ::testing::Values(
        ShareCase{"cifsMount", "//nas/docs/reports/2026", "/mnt/nas docs/reports/2026"},
        ShareCase{"backslashesAndCase", "\\\\Nas\\DOCS\\reports", "/mnt/nas docs/reports"},
        ShareCase{"shareRoot", "//nas/docs/", "/mnt/nas docs"},
        ShareCase{"desktopMount", "//FileServer/Photos/2026",
                  "@/smb-share:domain=WORK,server=fileserver,share=photos,user=bob/2026"},
        ShareCase{"notMounted", "//nosuch/share/docs", "!"},
        ShareCase{"onlyALocalFileSystemOfThatName", "//nas/backup/x", "!"},
        ShareCase{"plainPathAsTyped", "/srv/backup", "/srv/backup"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(NetworkShareTest, NotMountedNamesTheShare) {
    const auto local = NetworkShare::resolve("\\\\nosuch\\share\\docs", {}, "");
    ASSERT_FALSE(local.has_value());
    EXPECT_EQ(local.error().message, "network share //nosuch/share is not mounted");
}

struct FstabCase {
    const char* name;
    const char* destination;
    const char* unmounted;
};

void PrintTo(const FstabCase& c, std::ostream* os) {
    *os << c.name;
}

class FstabTest : public ::testing::TestWithParam<FstabCase> {};

TEST_P(FstabTest, ADestinationOnAnUnmountedListedFileSystemIsNamed) {
    const std::string fstab = "# /etc/fstab\n"
                              "UUID=1111 / ext4 defaults 0 1\n"
                              "UUID=2222 none swap sw 0 0\n"
                              "UUID=3333 /media/usb vfat noauto,user 0 0\n"
                              "UUID=4444 /data ext4 defaults 0 2\n"
                              "UUID=5555 /data/archive\\040disk xfs noauto 0 0\n";
    const std::vector<Volume> mounted = {{"/", "ext4", "/dev/sda1", "8:1"},
                                         {"/data", "ext4", "/dev/sdb1", "8:17"}};
    EXPECT_EQ(Fstab::unmountedFor(GetParam().destination, Fstab::mountPoints(fstab), mounted),
              GetParam().unmounted);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FstabTest,
    ::testing::Values(FstabCase{"unpluggedStick", "/media/usb/docs", "/media/usb"},
                      FstabCase{"itsMountPoint", "/media/usb", "/media/usb"},
                      FstabCase{"mountedDisk", "/data/docs", ""},
                      FstabCase{"deeperUnmountedDisk", "/data/archive disk/2026",
                                "/data/archive disk"},
                      FstabCase{"similarName", "/media/usb2/docs", ""},
                      FstabCase{"rootOnly", "/home/bob/backup", ""}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

} // namespace
} // namespace tavelin
