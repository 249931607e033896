#pragma once

#include <string>
#include <vector>

#include <wx/string.h>

#include "tests/support/temp_dir.h"

// One simulated drive: a real directory that the drive layer reports as a mounted volume.
struct FakeDrive {
    wxString mountDir;             // absolute, or relative to the TempDir; made when missing
    wxString label;                // the volume label; empty: none (the directory's name shows)
    std::string fsType = "vfat";   // as the mount table names it: vfat, ntfs3, exfat, ext4, ...
    bool removable = true;         // the sysfs flag of the device
    std::string probedFsType;      // what udev found on the device (matters for "fuseblk")
};

// A DRALVO_SYSROOT tree (mount table, sysfs flags, labels, udev data) inside a TempDir; the
// variable names it while this object lives. Drives are listed in the order of their mount
// directories, as the drive layer sorts them. Test thread only; one at a time.
class FakeDrives {
public:
    explicit FakeDrives(const TempDir& dir);
    ~FakeDrives();
    FakeDrives(const FakeDrives&) = delete;
    FakeDrives& operator=(const FakeDrives&) = delete;

    // Adds a drive and returns its root (the mount directory with a trailing "/").
    wxString Add(const FakeDrive& drive);

private:
    const TempDir& dir_;
    std::string root_;  // the tree, ending with "/"
    std::string mountTable_;
};
