#include "core/platform/MountTable.h"

#include <gtest/gtest.h>

namespace tavelin {
namespace {

TEST(MountTableTest, ListsRealVolumesRootFirstWithoutPseudoFileSystems) {
    const std::string fixture = "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
                                "23 1 0:22 / /sys rw - sysfs sysfs rw\n"
                                "25 1 0:5 / /dev rw - devtmpfs udev rw\n"
                                "26 25 0:23 / /dev/pts rw - devpts devpts rw\n"
                                "30 1 8:2 / /home rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                                "1 0 8:1 / / rw,relatime shared:2 - ext4 /dev/sda1 rw\n"
                                "31 23 0:26 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
                                "40 1 8:17 / /media/bob/MY\\040STICK rw - vfat /dev/sdb1 rw\n"
                                "41 1 0:40 / /run/user/1000 rw - tmpfs tmpfs rw\n"
                                "42 1 0:41 / /tmp rw - tmpfs tmpfs rw\n";
    const auto volumes = MountTable::parse(fixture);
    ASSERT_EQ(volumes.size(), 4u);
    EXPECT_EQ(volumes[0], (Volume{"/", "ext4", "/dev/sda1", "8:1"}));
    EXPECT_EQ(volumes[1].mountPoint, "/home");
    EXPECT_EQ(volumes[2], (Volume{"/media/bob/MY STICK", "vfat", "/dev/sdb1", "8:17"}));
    EXPECT_EQ(volumes[3].mountPoint, "/tmp");
}

TEST(MountTableTest, ThisMachineHasARoot) {
    const MountTable table;
    const auto volumes = table.list();
    ASSERT_FALSE(volumes.empty());
    EXPECT_EQ(volumes.front().mountPoint, "/");
    EXPECT_TRUE(table.isMountPoint("/"));
}

} // namespace
} // namespace tavelin
