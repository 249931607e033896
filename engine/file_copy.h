#pragma once

#include <functional>
#include <memory>

#include <wx/string.h>

#include "store/bzip2.h"
#include "store/file_io.h"
#include "store/file_time.h"

// File operations of a copy run. Any thread. A call that fails sets errno to the reason.
// Those given a directory `below` (held open above their paths) reach their paths from there, so
// a path that leads elsewhere meanwhile (a stick pulled or swapped) is not followed; a path not
// below it fails (EINVAL).

// Runs right before a finished file is renamed over its target; false abandons the file.
using BeforeRename = std::function<bool()>;

// Copies a regular file's bytes into target through a temporary file beside it (see AtomicFile),
// renamed over target only when every byte has arrived. On failure (missing or unreadable source,
// a source that is no regular file, a full or vanished medium, beforeRename false) a previous
// target is left as it was and no temporary file remains. The new target gets the default
// permissions (0666 less the umask) and the modification time given, set before it takes its
// place (so a target in place always carries its final time). A symbolic link at the target is
// replaced, never followed. Source and target must differ. stop, when set, is looked at per
// block and abandons the copy (errno ECANCELED).
// below: for the target only.
bool CopyFileAtomic(const wxString& source, const wxString& target, FileTime time,
                    const BeforeRename& beforeRename = nullptr, const StopFlag* stop = nullptr,
                    const std::shared_ptr<const OpenDirectory>& below = nullptr);

// The same for a file that write(temporary path) makes (it may replace the temporary file it is
// given): the time is set on the temporary file, then beforeRename runs, then the rename.
bool WriteFileAtomic(const wxString& target, FileTime time,
                     const std::function<bool(const wxString&)>& write,
                     const BeforeRename& beforeRename = nullptr);
// WriteFileAtomic in two steps, so another thread may do the first: the temporary file written
// and given its time (null on failure, nothing left behind), then beforeRename and the rename.
std::unique_ptr<AtomicFile> WriteTemporaryFile(const wxString& target, FileTime time,
                                               const std::function<bool(const wxString&)>& write);
bool CommitTemporaryFile(AtomicFile& file, const BeforeRename& beforeRename = nullptr);

// True when path does not lie below root, or when a directory between root and path (path
// included) is a symbolic link. The root itself is the user's location and is not examined;
// the check stops at the first missing name.
bool ReachesThroughLink(const wxString& root, const wxString& path);

// Makes path and its missing parents below root one at a time, never root or above it; a link
// or a file met on the way is left as it is and fails the call. root must be a directory.
bool MakeDirectoriesBelow(const wxString& root, const wxString& path,
                          const std::shared_ptr<const OpenDirectory>& below = nullptr);

// Removes path when it is a regular file (never a link or a directory). True when it was removed
// or nothing is there.
bool RemoveRegularFile(const wxString& path,
                       const std::shared_ptr<const OpenDirectory>& below = nullptr);

// Writes everything of the file system that holds path (or its nearest existing parent) to its
// device: data, times and directory entries. False (errno set) when the device reports an error.
bool FlushFileSystem(const wxString& path);
