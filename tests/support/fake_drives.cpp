#include "tests/support/fake_drives.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/drives.h"
#include "store/text.h"

namespace fs = std::filesystem;

namespace {

// Escapes the special characters of text with format: the mount table writes blanks, tabs,
// line ends and backslashes as \ooo, udev writes blanks, slashes and backslashes of a label as \xNN.
std::string Escape(const std::string& text, const std::string& specials, const char* format)
{
    std::string out;
    for (const char c : text) {
        char code[5];
        std::snprintf(code, sizeof code, format, static_cast<unsigned char>(c));
        out += specials.find(c) == std::string::npos ? std::string(1, c) : std::string(code);
    }
    return out;
}
std::string MountTableEscape(const std::string& text) { return Escape(text, " \t\n\\", "\\%03o"); }
std::string LabelEscape(const std::string& text) { return Escape(text, " /\\", "\\x%02x"); }

void WriteFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

} // namespace

FakeDrives::FakeDrives(const TempDir& dir, const wxString& sysRoot)
    : dir_(dir), sysRoot_(dir.MakeDir(sysRoot) + "/")
{
    dir_.MakeDir(sysRoot + "/sys/class/block");
    dir_.MakeDir(sysRoot + "/dev/disk/by-label");
    dir_.MakeDir(sysRoot + "/run/udev/data");
    WriteMountTable();
    if (const char* value = getenv(kSysRootVariable))
        previous_ = value;
    setenv(kSysRootVariable, ToUtf8(sysRoot_).c_str(), 1);
}

FakeDrives::~FakeDrives()
{
    if (previous_)
        setenv(kSysRootVariable, previous_->c_str(), 1);
    else
        unsetenv(kSysRootVariable);
}

wxString FakeDrives::Add(const FakeDrive& drive)
{
    const std::size_t index = mountLines_.size();
    const std::string device = "fakedisk" + std::to_string(index);
    const std::string majorMinor = "8:" + std::to_string(16 * index + 1);
    wxString mountDir = drive.mountDir.StartsWith("/") ? drive.mountDir : dir_ / drive.mountDir;
    if (mountDir.EndsWith("/") && mountDir.length() > 1)
        mountDir.RemoveLast();
    fs::create_directories(ToUtf8(mountDir));

    const fs::path root(ToUtf8(sysRoot_));
    const fs::path sysDevice = root / "sys" / "class" / "block" / device;
    WriteFile(sysDevice / "removable", drive.removable ? "1\n" : "0\n");
    WriteFile(sysDevice / "dev", majorMinor + "\n");
    if (!drive.label.empty()) {
        const fs::path link = root / "dev" / "disk" / "by-label" / LabelEscape(ToUtf8(drive.label));
        std::error_code ec;
        fs::remove(link, ec);
        fs::create_symlink("../../" + device, link);
    }
    if (!drive.probedFsType.empty()) {
        const fs::path udev = root / "run" / "udev" / "data" / ("b" + majorMinor);
        WriteFile(udev, "E:ID_FS_TYPE=" + drive.probedFsType + "\n");
    }

    mountLines_.push_back(std::to_string(100 + index) + " 1 0:" + std::to_string(100 + index) +
                          " / " + MountTableEscape(ToUtf8(mountDir)) + " rw,relatime - " +
                          drive.fsType + " /dev/" + device + " rw");
    WriteMountTable();
    return mountDir == "/" ? mountDir : mountDir + "/";
}

void FakeDrives::WriteMountTable() const
{
    std::string table;
    for (const std::string& line : mountLines_)
        table += line + "\n";
    WriteFile(fs::path(ToUtf8(sysRoot_)) / "proc" / "self" / "mountinfo", table);
}
