#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <wx/string.h>

// Linux stand-in for the Windows drive calls: the mount table plays GetLogicalDrives (mount
// points in place of letters A..Z), sysfs plays GetDriveTypeW (removable or not) and
// /dev/disk/by-label with a readability check plays GetVolumeInformationW. Nothing here
// shows an error box, so there is no critical-error mode to switch off.
// Every function reads the system anew and keeps no state; any thread may call them.

// Where the drive layer reads the system's state. Tests and people without a USB stick point
// these at a fake directory tree (see DefaultDriveRoots).
struct DriveRoots {
    std::string mountTable;  // /proc/self/mountinfo, or a file in the /proc/self/mounts form
    std::string sysfs;       // /sys
    std::string byLabel;     // /dev/disk/by-label
    std::string udevData;    // /run/udev/data: the file-system type behind a FUSE block mount
};

// The environment variable naming a directory put in front of every system path above.
inline constexpr const char* kSysRootVariable = "DRALVO_SYSROOT";

// The real roots, each prefixed with $DRALVO_SYSROOT when it is set and not empty. The mount
// table is <prefix>/proc/self/mountinfo, or <prefix>/proc/self/mounts when that one is missing.
DriveRoots DefaultDriveRoots();

// One line of the mount table.
struct MountedDrive {
    std::string mountPoint;  // absolute, escapes decoded, valid UTF-8
    std::string device;      // the mount source, e.g. /dev/sdb1 (may be a pseudo name: tmpfs)
    std::string type;        // Linux file-system type as the table names it: vfat, fuseblk, ...
    std::string majorMinor;  // "8:17" from a mountinfo table, empty from a mounts table
    std::uint64_t mountId = 0;  // the first field of a mountinfo table, 0 from a mounts table
};

// The mounts in mount-point order (byte order of the path, standing for the letter order).
// A mount point mounted twice is listed once, as its last (visible) mount; mount points that
// are not valid UTF-8 are left out. Empty when the table cannot be read.
std::vector<MountedDrive> ListMountedDrives(const DriveRoots& roots = DefaultDriveRoots());

// True when the block device (or, for a partition, its disk) has sysfs "removable" = 1 or sits
// on the USB bus. Windows calls USB hard disks fixed; here they count as removable because
// people carry them the same way. False for mounts without a block device.
bool IsRemovableDrive(const MountedDrive& drive, const DriveRoots& roots = DefaultDriveRoots());

// The file-system name as Windows reports it (see WindowsFileSystemName); a FUSE block mount
// is named after the file system udev (or the mount's subtype) found on the device.
wxString DriveFileSystemName(const MountedDrive& drive,
                             const DriveRoots& roots = DefaultDriveRoots());

// Windows' name of a Linux file-system type: vfat/msdos -> "FAT32", or "FAT" below 65525
// clusters (clusters 0 = unknown); ntfs/ntfs3 -> "NTFS"; exfat -> "exFAT"; others unchanged.
wxString WindowsFileSystemName(const std::string& type, std::uint64_t clusters);

// The volume label: the /dev/disk/by-label name that points at the device (\xNN decoded),
// else the mount directory's name. Nullopt when the mount directory cannot be read, as
// GetVolumeInformationW fails for a drive without a disc.
std::optional<wxString> ReadVolumeLabel(const MountedDrive& drive,
                                        const DriveRoots& roots = DefaultDriveRoots());

// The ID of the mount that holds the directory at path (not followed when it is a link): the
// kernel's unique mount ID where it has one, else its reused one, else field 1 of the mount
// table line of that mount point. With DRALVO_SYSROOT set, that of the simulated mount table
// (its drives are plain directories). 0 when unknown. A stick unmounted and mounted again, or
// another one mounted at the same place, gets another ID, even with the same device numbers.
std::uint64_t MountIdOf(const std::string& path);
// The same for the directory open as fd (opened at path, O_PATH will do): the mount it was
// opened on, whatever is mounted at path now. With DRALVO_SYSROOT set, that of path in the
// simulated mount table.
std::uint64_t MountIdOfOpen(int fd, const std::string& path);

// The drive root: the mount point with a trailing "/" (it stands where "E:\" stood).
wxString DriveRoot(const MountedDrive& drive);
