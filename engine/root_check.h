#pragma once

#include <cstdint>
#include <memory>

#include <wx/string.h>

#include "store/file_io.h"

struct FolderJob;

// What a folder's roots were when the analysis looked at them, so the copy can tell that a
// stick was pulled, unmounted or swapped in between. Any thread.

// The identity of a directory: device and inode of the path itself (never through a link).
struct RootIdentity {
    bool exists = false;  // a real directory (not a link) stood there
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const RootIdentity&) const = default;
};

// What the analysis saw of the medium's drive. Device and inode numbers come back alike when
// two sticks formatted alike are mounted one after the other; the mount ID and the marker do
// not.
struct DriveIdentity {
    RootIdentity root;
    std::uint64_t mountId = 0;
    // The root was on another device than its parent directory: a real mount (a simulated
    // drive or "/" is not), so a pull shows as the parent's device.
    bool ownDevice = false;
};

// The identity of path as it stands now; exists is false for a missing path, a link or a
// non-directory.
RootIdentity ReadRootIdentity(const wxString& path);

// True when driveRoot (with or without its trailing "/") is a mount point of the mount table
// (DRALVO_SYSROOT honoured, so simulated drives count as mounted).
bool IsMountedDriveRoot(const wxString& driveRoot);

// True when the two folders are the same directory or one lies inside the other, compared by
// the identities of each folder and all its ancestors (links and bind mounts resolved); a
// folder not made yet counts by its nearest existing ancestor, and by its name.
bool FoldersOverlap(const wxString& first, const wxString& second);

// Analysis thread, before the folder is compared: records the identities of the station root,
// the medium root and the medium's drive (when folder.mediumDriveRoot is set).
void RecordRootIdentities(FolderJob& folder);

// A handle on the medium's drive root (when set), opened by the copy thread when a folder starts
// and kept until it ends. While it is open the mount it was opened on cannot be freed, so no
// stick mounted meanwhile gets that mount's ID, even where the kernel reuses IDs.
class DriveHold {
public:
    explicit DriveHold(const FolderJob& folder);

    // True when the folder has no drive root, or the handle is open on the mount the analysis
    // recorded.
    bool OnRecordedMount(const FolderJob& folder) const;
    // The open root (null without a drive root): files made below it stay on that mount.
    const std::shared_ptr<const OpenDirectory>& Root() const { return root_; }

private:
    std::shared_ptr<const OpenDirectory> root_;
    std::uint64_t mountId_ = 0;
};

// Copy thread, before the folder's items are carried out: empty when the analysis did not
// refuse the folder, every root that existed at analysis still exists with the same identity,
// the medium folder is not reached through a link on the drive, and the drive (when set) is
// still the same mount with the run medium's marker (and the mount hold was opened on, when
// given); otherwise a sentence naming what changed.
wxString CheckRootIdentities(const FolderJob& folder, const DriveHold* hold = nullptr);

// Before every item and every write ahead (any thread): false once the drive root (when set)
// is no longer the directory the analysis saw on its own device, on the mount it recorded.
// Reliable where mount IDs are reused only while a DriveHold of the folder is open. Three
// stats; only a simulated drive's ID is read from its mount table.
bool MediumStillMounted(const FolderJob& folder);
