#include "core/platform/DiskVolumeIdentity.h"

#include "tests/core/LoopMount.h"
#include "tests/core/TempTree.h"

#include <gtest/gtest.h>

namespace tavelin {
namespace {

TEST(DiskVolumeIdentityTest, FindsTheDeviceMountedWithADeviceNumber) {
    const std::string mountInfo = "30 1 8:2 / /home rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                                  "40 1 7:0 / /media/bob/MY\\040STICK rw - vfat /dev/loop0 rw\n"
                                  "41 40 7:0 /photos /srv/photos rw - vfat /dev/loop0 rw\n";
    EXPECT_EQ(DiskVolumeIdentity::deviceOf(mountInfo, "7:0"), "/dev/loop0");
    EXPECT_EQ(DiskVolumeIdentity::deviceOf(mountInfo, "8:2"), "/dev/sda2");
    EXPECT_EQ(DiskVolumeIdentity::deviceOf(mountInfo, "8:3"), "");
}

// The UUID comes from the file system itself; an unplugged drive's folder is on another one.
TEST(DiskVolumeIdentityTest, ReadsTheUuidOfAMountedImageAndNotOfItsEmptyMountPoint) {
    test::TempTree tree;
    const std::string uuid = "7c4b1e4e-1d2a-4f39-9a49-3c2f0b8d6e11";
    test::LoopMount mount(tree.path("usb.img"), tree.path("usb"), "mkfs.ext4 -q -F -U " + uuid,
                          "16M");
    if (!mount.problem().empty()) {
        GTEST_SKIP() << mount.problem();
    }
    const DiskVolumeIdentity identity;
    EXPECT_EQ(identity.uuidOf(tree.path("usb/docs/not/made/yet")), uuid);
    ASSERT_TRUE(mount.unmount());
    EXPECT_NE(identity.uuidOf(tree.path("usb/docs")), uuid);
}

} // namespace
} // namespace tavelin
