#pragma once

#include <cstdint>

#include <wx/string.h>

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

// The identity of path as it stands now; exists is false for a missing path, a link or a
// non-directory.
RootIdentity ReadRootIdentity(const wxString& path);

// True when driveRoot (with or without its trailing "/") is a mount point of the mount table
// (DRALVO_SYSROOT honoured, so simulated drives count as mounted).
bool IsMountedDriveRoot(const wxString& driveRoot);

// Analysis thread, before the folder is compared: records the identities of the station root,
// the medium root and the medium's drive root (when folder.mediumDriveRoot is set).
void RecordRootIdentities(FolderJob& folder);

// Copy thread, before the folder's items are carried out: empty when every root that existed at
// analysis still exists with the same identity and the drive root (when set) is still mounted
// with its identity; otherwise a sentence naming what changed.
wxString CheckRootIdentities(const FolderJob& folder);
