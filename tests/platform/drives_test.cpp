#include "platform/drives.h"

#include <filesystem>
#include <utility>

#include <gtest/gtest.h>

#include "store/text.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class DriveLayer : public ::testing::Test {
protected:
    DriveLayer()
    {
        roots.mountTable = ToUtf8(dir / "mountinfo");
        roots.sysfs = ToUtf8(dir / "sys");
        roots.byLabel = ToUtf8(dir / "by-label");
        roots.udevData = ToUtf8(dir / "udev");
        dir.MakeDir("by-label");
    }

    std::string Mounts(const std::string& table)
    {
        dir.Write("mountinfo", table);
        std::string listed;
        for (const MountedDrive& d : ListMountedDrives(roots))
            listed += d.mountPoint + "=" + d.device + ":" + d.type + ":" +
                      std::to_string(d.mountId) + " ";
        return listed;
    }
    // A sysfs device directory in the kernel's layout holding one flag file, reached through
    // class/block/<its name>.
    void Device(const std::string& path, const char* flag, const char* value)
    {
        const fs::path full = fs::path(roots.sysfs) / "devices" / path;
        dir.Write(FromUtf8((full / flag).string()).Mid(dir.Path().length()), value);
        const fs::path link = fs::path(roots.sysfs) / "class" / "block" / full.filename();
        fs::create_directories(link.parent_path());
        fs::create_symlink(full, link);
    }

    TempDir dir;
    DriveRoots roots;
};

// Both table formats; listed in mount point order, once each; a missing table lists nothing.
TEST_F(DriveLayer, ListsMountsInMountPointOrderOnceEach)
{
    EXPECT_EQ(Mounts("36 1 8:17 / /media/z rw - vfat /dev/sdb1 rw\n"
                     "37 1 8:33 / /media/a\\040b rw shared:5 - ntfs3 /dev/sdc1 rw\n"
                     "38 1 0:40 / /media/z rw - exfat /dev/sdd1 rw\n"
                     "39 1 0:41 / relative rw - vfat /dev/sde1 rw\n"
                     "40 1 0:42 / /media/\\377 rw - vfat /dev/sdf1 rw\n"
                     "garbage\n"),
              "/media/a b=/dev/sdc1:ntfs3:37 /media/z=/dev/sdd1:exfat:38 ");
    EXPECT_EQ(Mounts("/dev/sdb1 /media/stick vfat rw,relatime 0 0\ntmpfs /tmp tmpfs rw 0 0\n"),
              "/media/stick=/dev/sdb1:vfat:0 /tmp=tmpfs:tmpfs:0 ");
    roots.mountTable = ToUtf8(dir / "absent");
    EXPECT_TRUE(ListMountedDrives(roots).empty());
}

// From the device's or its disk's flag or a USB bus on the way; without a device name the
// number pair of a mountinfo table finds the device.
TEST_F(DriveLayer, RemovableFromDeviceOrDiskFlagOrUsbBus)
{
    for (const auto& [disk, flag] : {std::pair{"pci0/ata1/block/sda", "0\n"},
                                     {"pci0/ata2/block/sdb", "1\n"},
                                     {"pci0/usb2/2-1/host6/block/sdc", "0\n"}}) {
        Device(disk, "removable", flag);
        Device(disk + ("/" + fs::path(disk).filename().string()) + "1", "partition", "1\n");
    }
    Device("virtual/block/mmcblk0", "removable", "1\n");
    fs::create_directories(fs::path(roots.sysfs) / "dev" / "block");
    fs::create_symlink(fs::path(roots.sysfs) / "devices/pci0/ata2/block/sdb/sdb1",
                       fs::path(roots.sysfs) / "dev" / "block" / "8:17");
    std::string removable;
    for (const char* device :
         {"/dev/sda1", "/dev/sdb1", "/dev/sdc1", "/dev/mmcblk0", "tmpfs", "sdx"})
        removable += IsRemovableDrive({"/mnt", device, "vfat", ""}, roots) ? "1" : "0";
    EXPECT_EQ("011100", removable);
    EXPECT_TRUE(IsRemovableDrive({"/mnt", "none", "vfat", "8:17"}, roots));
}

// As the other system names them; a FUSE mount after what it carries.
TEST_F(DriveLayer, NamesFileSystemsLabelsAndRoots)
{
    const struct {
        const char* type;
        unsigned long clusters;
        const char* name;
    } cases[] = {{"vfat", 0, "FAT32"}, {"vfat", 65525, "FAT32"}, {"vfat", 65524, "FAT"},
                 {"msdos", 2000, "FAT"}, {"ntfs3", 0, "NTFS"}, {"exfat", 0, "exFAT"},
                 {"ext4", 0, "ext4"}};
    for (const auto& c : cases)
        EXPECT_EQ(WindowsFileSystemName(c.type, c.clusters), c.name) << c.type << " " << c.clusters;
    Device("usb1/block/sdb", "removable", "1\n");
    dir.Write("sys/devices/usb1/block/sdb/dev", "8:16\n");
    dir.Write("udev/b8:16", "S:disk/by-label/X\nE:ID_FS_TYPE=ntfs\n");
    EXPECT_EQ(DriveFileSystemName({"/mnt", "/dev/sdb", "fuseblk", ""}, roots), "NTFS");
    EXPECT_EQ(DriveFileSystemName({"/mnt", "/dev/sdx", "fuseblk.ntfs-3g", ""}, roots), "NTFS");
    EXPECT_EQ(DriveFileSystemName({"/mnt", "/dev/sdx", "fuseblk", ""}, roots), "fuseblk");

    // The root is the mount point with a trailing slash.
    const std::string stick = ToUtf8(dir.MakeDir("media/stick"));
    fs::create_symlink("../../sdb1", fs::path(roots.byLabel) / "MY\\x20STICK");
    fs::create_symlink("../../sdc1", fs::path(roots.byLabel) / "OTHER");
    EXPECT_EQ(ReadVolumeLabel({stick, "/dev/sdb1", "vfat", ""}, roots), wxString("MY STICK"));
    EXPECT_EQ(ReadVolumeLabel({stick, "/dev/sdd1", "vfat", ""}, roots), wxString("stick"));
    EXPECT_FALSE(ReadVolumeLabel({stick + "-gone", "/dev/sdb1", "vfat", ""}, roots));
    EXPECT_EQ(DriveRoot({"/", "", "", ""}), "/");
    EXPECT_EQ(DriveRoot({"/media/Мой диск", "", "", ""}), FromUtf8("/media/Мой диск/"));
}

} // namespace
