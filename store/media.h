#pragma once

#include <memory>
#include <vector>

#include <wx/string.h>

// One drive present now.
struct ConnectedMedium {
    wxString label;        // volume label (shown as the device)
    wxString root;         // mount point with a trailing "/"; every medium path starts with it
    wxString fileSystem;   // as Windows names it: "FAT32", "FAT", "NTFS", "exFAT", ...
    wxString uid;          // the marker's GUID (quotes made double quotes) when exactly 36 long
    unsigned mediumId = 0; // MEDIA.ID whose GUID is uid; 0 when not a catalogued medium
    wxString displayName;  // MEDIA.NAME, else the label
};

// Records are shared and immutable once listed: a window may keep one across a new
// enumeration, which only replaces the list, never the records it handed out. Windows that
// need "the same medium" later should keep its mediumId and look it up again.
using ConnectedMediumPtr = std::shared_ptr<const ConnectedMedium>;
using ConnectedMediaList = std::vector<ConnectedMediumPtr>;

// The drives found at the last EnumerateConnectedMedia, in mount-point order. GUI thread only.
extern ConnectedMediaList connectedMedia;

inline constexpr const char* kAcceptedFileSystems = "ntfs:vfat:usbfs:fat:fat32";
inline constexpr const char* kMediumMarkerName = "dralvo.txt";

// Appends a record (label, root, fileSystem, uid set) to list for every accepted drive:
// removable (or any with showAll), readable, and whose lower-cased file-system name occurs in
// accepted. The drives come from platform/drives.h, so DRALVO_SYSROOT simulates them. Always
// true (a list is always given). Any thread (it touches no shared state).
bool EnumerateMediaDrives(ConnectedMediaList& list, bool showAll, const wxString& accepted);

// Rebuilds connectedMedia and fills in mediumId and displayName from the catalogue (deleted
// media are recognised too). Throws wxSQLite3Exception when the select fails. GUI thread.
void EnumerateConnectedMedia(bool showAll);

// The first record of connectedMedia with this medium ID, or null.
ConnectedMediumPtr FindConnectedMedium(unsigned mediumId);

// The GUID in the marker at the drive's root (with or without its trailing "/"): quotes made
// double quotes, empty unless exactly 36 characters. A bounded read of a regular file, never
// through a link: the stick is untrusted. Any thread.
wxString ReadMediumMarker(const wxString& root);

// Writes "dralvo.txt" holding guid at the drive's root, atomically and never through a link.
// True when it was written.
bool WriteMediumMarker(const wxString& root, const wxString& guid);
