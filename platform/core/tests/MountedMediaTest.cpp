#include "platform/core/MountedMedia.h"

#include <gtest/gtest.h>

namespace {

TEST(MountedMediaTest, FindsOpticalDiscsAndFloppiesInTableOrder) {
    const auto entries =
        MountedMedia::Parse("sysfs /sys sysfs rw,nosuid 0 0\n"
                            "/dev/sda1 / ext4 rw,relatime 0 0\n"
                            "/dev/sr0 /media/user/TKY2JGD\\040CD iso9660 ro,nosuid 0 0\n"
                            "/dev/fd0 /media/floppy vfat rw 0 0\n"
                            "/dev/fdx /media/notafloppy vfat rw 0 0\n"
                            "/dev/sr1 /media/\\346\\227\\245 udf ro 0 0\n"
                            "short line\n"
                            "\n");
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[2].device, "/dev/sr0");
    EXPECT_EQ(entries[2].folder, "/media/user/TKY2JGD CD");
    EXPECT_EQ(entries[2].type, "iso9660");

    const auto discs = MountedMedia::CdRomFolders(entries);
    ASSERT_EQ(discs.size(), 2u);
    EXPECT_EQ(discs[0], "/media/user/TKY2JGD CD");
    EXPECT_EQ(discs[1], "/media/日"); // escaped UTF-8 bytes become a cp932 name

    const auto floppies = MountedMedia::FloppyFolders(entries);
    ASSERT_EQ(floppies.size(), 1u);
    EXPECT_EQ(floppies[0], "/media/floppy");

    EXPECT_TRUE(MountedMedia::CdRomFolders(MountedMedia::Parse("")).empty());
}

TEST(MountedMediaTest, ReadsThisProcesssTable) {
    // Every Linux process has a root file system.
    bool root = false;
    for (const auto &entry : MountedMedia::Read())
        root = root || entry.folder == "/";
    EXPECT_TRUE(root);
}

} // namespace
