#include "tests/support/fake_drives.h"

#include <stdlib.h>

#include <algorithm>
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

void WriteFile(const fs::path& path, const std::string& content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

} // namespace

FakeDrives::FakeDrives(const TempDir& dir) : dir_(dir), root_(ToUtf8(dir.MakeDir("sysroot")) + "/")
{
    for (const char* tree : {"sys/class/block", "dev/disk/by-label", "run/udev/data"})
        fs::create_directories(root_ + tree);
    WriteFile(root_ + "proc/self/mountinfo", "");
    setenv(kSysRootVariable, root_.c_str(), 1);
}

FakeDrives::~FakeDrives() { unsetenv(kSysRootVariable); }

wxString FakeDrives::Add(const FakeDrive& drive)
{
    const std::string index = std::to_string(std::count(mountTable_.begin(), mountTable_.end(), '\n'));
    const std::string device = "fakedisk" + index, majorMinor = "8:" + std::to_string(16 * std::stoi(index) + 1);
    wxString mountDir = drive.mountDir.StartsWith("/") ? drive.mountDir : dir_ / drive.mountDir;
    if (mountDir.EndsWith("/") && mountDir.length() > 1)
        mountDir.RemoveLast();
    fs::create_directories(ToUtf8(mountDir));

    const fs::path sysDevice = root_ + "sys/class/block/" + device;
    WriteFile(sysDevice / "removable", drive.removable ? "1\n" : "0\n");
    WriteFile(sysDevice / "dev", majorMinor + "\n");
    if (!drive.label.empty()) {
        const fs::path link = root_ + "dev/disk/by-label/" + Escape(ToUtf8(drive.label), " /\\", "\\x%02x");
        std::error_code ec;
        fs::remove(link, ec);
        fs::create_symlink("../../" + device, link);
    }
    if (!drive.probedFsType.empty())
        WriteFile(root_ + "run/udev/data/b" + majorMinor, "E:ID_FS_TYPE=" + drive.probedFsType + "\n");
    mountTable_ += "10" + index + " 1 0:10" + index + " / " + Escape(ToUtf8(mountDir), " \t\n\\", "\\%03o") +
                   " rw,relatime - " + drive.fsType + " /dev/" + device + " rw\n";
    WriteFile(root_ + "proc/self/mountinfo", mountTable_);
    return mountDir == "/" ? mountDir : mountDir + "/";
}
