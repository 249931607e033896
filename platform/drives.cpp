#include "platform/drives.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string_view>

namespace fs = std::filesystem;

namespace {

// Unique, never reused mount IDs (Linux 6.8); older headers lack the name.
#ifndef STATX_MNT_ID_UNIQUE
constexpr unsigned STATX_MNT_ID_UNIQUE = 0x4000U;
#endif

// FAT32 starts at this many clusters; below it the volume is FAT12/16, which Windows calls FAT.
constexpr std::uint64_t kFat32MinClusters = 65525;

std::string SysRootPrefix()
{
    const char* value = std::getenv(kSysRootVariable);
    std::string prefix = value ? value : "";
    while (!prefix.empty() && prefix.back() == '/')
        prefix.pop_back();
    return prefix;
}

bool IsValidUtf8(const std::string& text)
{
    return text.empty() || !wxString::FromUTF8(text.data(), text.size()).empty();
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The mount table writes blanks, tabs, line ends and backslashes as \ooo.
std::string DecodeOctalEscapes(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const char a = text[i + 1], b = text[i + 2], c = text[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// udev writes characters unsafe in a file name (a blank is \x20) as \xNN.
std::string DecodeHexEscapes(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const int hi = HexValue(text[i + 2]), lo = HexValue(text[i + 3]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; in >> field;)
        fields.push_back(field);
    return fields;
}

// A line of /proc/self/mountinfo ("id parent maj:min root point options [tags] - type source
// super") or of /proc/self/mounts ("source point type options dump pass").
std::optional<MountedDrive> ParseMountLine(const std::string& line)
{
    const std::vector<std::string> f = SplitFields(line);
    MountedDrive drive;
    const auto dash = std::find(f.begin(), f.end(), "-");
    if (f.size() >= 9 && dash - f.begin() >= 6 && f.end() - dash >= 3 &&
        f[2].find(':') != std::string::npos) {
        drive.majorMinor = f[2];
        drive.mountId = std::strtoull(f[0].c_str(), nullptr, 10);
        drive.mountPoint = DecodeOctalEscapes(f[4]);
        drive.type = DecodeOctalEscapes(dash[1]);
        drive.device = DecodeOctalEscapes(dash[2]);
    } else if (f.size() >= 3) {
        drive.device = DecodeOctalEscapes(f[0]);
        drive.mountPoint = DecodeOctalEscapes(f[1]);
        drive.type = DecodeOctalEscapes(f[2]);
    } else {
        return std::nullopt;
    }
    if (drive.mountPoint.empty() || drive.mountPoint[0] != '/' || !IsValidUtf8(drive.mountPoint))
        return std::nullopt;
    return drive;
}

std::string ReadFirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool FlagIsSet(const fs::path& file)
{
    return ReadFirstLine(file.string()).starts_with('1');
}

// The kernel's name of the mount's block device (sdb1, dm-0), following /dev symlinks such as
// /dev/disk/by-uuid/...; empty for pseudo sources like "tmpfs".
std::string DeviceName(const MountedDrive& drive)
{
    if (!drive.device.starts_with('/'))
        return std::string();
    std::error_code ec;
    const fs::path real = fs::canonical(drive.device, ec);
    return (ec ? fs::path(drive.device) : real).filename().string();
}

// The device's sysfs directory with links resolved, or empty when sysfs does not know it.
fs::path SysfsDeviceDir(const MountedDrive& drive, const DriveRoots& roots)
{
    std::vector<fs::path> candidates;
    const std::string name = DeviceName(drive);
    if (!name.empty())
        candidates.push_back(fs::path(roots.sysfs) / "class" / "block" / name);
    if (!drive.majorMinor.empty())
        candidates.push_back(fs::path(roots.sysfs) / "dev" / "block" / drive.majorMinor);
    for (const fs::path& candidate : candidates) {
        std::error_code ec;
        const fs::path real = fs::canonical(candidate, ec);
        if (!ec)
            return real;
    }
    return fs::path();
}

// True when a directory between the sysfs root and the device is a USB host controller
// ("usb1", "usb2", ...).
bool OnUsbBus(const fs::path& deviceDir, const DriveRoots& roots)
{
    std::error_code ec;
    const fs::path sysfs = fs::canonical(roots.sysfs, ec);
    const fs::path below = ec ? deviceDir : deviceDir.lexically_relative(sysfs);
    for (const fs::path& part : below) {
        const std::string s = part.string();
        if (s.size() > 3 && s.starts_with("usb") && s[3] >= '0' && s[3] <= '9')
            return true;
    }
    return false;
}

// The type udev's probe found on the device (ID_FS_TYPE), or empty.
std::string UdevFileSystemType(const MountedDrive& drive, const DriveRoots& roots)
{
    const fs::path deviceDir = SysfsDeviceDir(drive, roots);
    if (deviceDir.empty())
        return std::string();
    const std::string majorMinor = ReadFirstLine((deviceDir / "dev").string());
    if (majorMinor.empty())
        return std::string();
    std::ifstream in(fs::path(roots.udevData) / ("b" + majorMinor));
    constexpr std::string_view key = "E:ID_FS_TYPE=";
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(key))
            return line.substr(key.size());
    return std::string();
}

bool IsFuseBlockType(const std::string& type)
{
    return type == "fuseblk" || type.starts_with("fuseblk.");
}

} // namespace

DriveRoots DefaultDriveRoots()
{
    const std::string prefix = SysRootPrefix();
    DriveRoots roots;
    roots.mountTable = prefix + "/proc/self/mountinfo";
    std::error_code ec;
    if (!fs::exists(roots.mountTable, ec))
        roots.mountTable = prefix + "/proc/self/mounts";
    roots.sysfs = prefix + "/sys";
    roots.byLabel = prefix + "/dev/disk/by-label";
    roots.udevData = prefix + "/run/udev/data";
    return roots;
}

std::vector<MountedDrive> ListMountedDrives(const DriveRoots& roots)
{
    std::map<std::string, MountedDrive> byMountPoint;
    std::ifstream in(roots.mountTable);
    for (std::string line; std::getline(in, line);) {
        if (auto drive = ParseMountLine(line))
            byMountPoint[drive->mountPoint] = std::move(*drive);
    }
    std::vector<MountedDrive> drives;
    drives.reserve(byMountPoint.size());
    for (auto& entry : byMountPoint)
        drives.push_back(std::move(entry.second));
    return drives;
}

bool IsRemovableDrive(const MountedDrive& drive, const DriveRoots& roots)
{
    const fs::path dir = SysfsDeviceDir(drive, roots);
    if (dir.empty())
        return false;
    if (FlagIsSet(dir / "removable"))
        return true;
    std::error_code ec;
    // A partition carries no flag of its own; its disk is the directory above it.
    if (fs::exists(dir / "partition", ec) && FlagIsSet(dir.parent_path() / "removable"))
        return true;
    return OnUsbBus(dir, roots);
}

wxString WindowsFileSystemName(const std::string& type, std::uint64_t clusters)
{
    if (type == "vfat" || type == "msdos")
        return clusters != 0 && clusters < kFat32MinClusters ? "FAT" : "FAT32";
    if (type == "ntfs" || type == "ntfs3")
        return "NTFS";
    if (type == "exfat")
        return "exFAT";
    return wxString::FromUTF8(type.data(), type.size());
}

wxString DriveFileSystemName(const MountedDrive& drive, const DriveRoots& roots)
{
    std::string type = drive.type;
    if (IsFuseBlockType(type)) {
        std::string probed = UdevFileSystemType(drive, roots);
        if (probed.empty() && type.size() > 8)
            probed = type.substr(8);  // the mount's subtype, e.g. fuseblk.ntfs-3g
        if (probed.starts_with("ntfs"))
            type = "ntfs";
        else if (!probed.empty())
            type = probed;
    }
    std::uint64_t clusters = 0;
    if (type == "vfat" || type == "msdos") {
        // On a FAT volume the kernel reports clusters as the file-system blocks.
        struct statvfs st;
        if (statvfs(drive.mountPoint.c_str(), &st) == 0)
            clusters = st.f_blocks;
    }
    return WindowsFileSystemName(type, clusters);
}

std::optional<wxString> ReadVolumeLabel(const MountedDrive& drive, const DriveRoots& roots)
{
    DIR* dir = opendir(drive.mountPoint.c_str());
    if (!dir)
        return std::nullopt;
    closedir(dir);

    const std::string device = DeviceName(drive);
    std::vector<std::string> labels;
    std::error_code ec;
    if (!device.empty()) {
        for (fs::directory_iterator it(roots.byLabel, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code linkError;
            const fs::path target = fs::read_symlink(it->path(), linkError);
            if (!linkError && target.filename() == device)
                labels.push_back(DecodeHexEscapes(it->path().filename().string()));
        }
    }
    std::sort(labels.begin(), labels.end());
    for (const std::string& label : labels)
        if (!label.empty() && IsValidUtf8(label))
            return wxString::FromUTF8(label.data(), label.size());
    const std::string name = fs::path(drive.mountPoint).filename().string();
    return wxString::FromUTF8(name.data(), name.size());
}

namespace {

// The kernel's ID of the mount that holds what dir and path name; 0 when it has none.
std::uint64_t KernelMountId(int dir, const char* path, int flags)
{
    struct statx st {};
    if (statx(dir, path, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
              STATX_MNT_ID | STATX_MNT_ID_UNIQUE, &st) == 0
        && (st.stx_mask & (STATX_MNT_ID | STATX_MNT_ID_UNIQUE)))
        return st.stx_mnt_id;
    return 0;
}

std::uint64_t TableMountId(const std::string& path)
{
    for (const MountedDrive& drive : ListMountedDrives())
        if (drive.mountPoint == path)
            return drive.mountId;
    return 0;
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::uint64_t MountIdOf(const std::string& path)
{
    const std::string wanted = WithoutTrailingSlash(path);
    if (SysRootPrefix().empty())
        if (const std::uint64_t id = KernelMountId(AT_FDCWD, wanted.c_str(), 0))
            return id;
    return TableMountId(wanted);
}

std::uint64_t MountIdOfOpen(int fd, const std::string& path)
{
    if (SysRootPrefix().empty())
        if (const std::uint64_t id = KernelMountId(fd, "", AT_EMPTY_PATH))
            return id;
    return TableMountId(WithoutTrailingSlash(path));
}

wxString DriveRoot(const MountedDrive& drive)
{
    wxString root = wxString::FromUTF8(drive.mountPoint.data(), drive.mountPoint.size());
    if (!root.EndsWith("/"))
        root += "/";
    return root;
}
