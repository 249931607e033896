#pragma once

#include <wx/string.h>

#include "store/file_time.h"

// Copies a regular file's bytes into target through a temporary file beside it (see AtomicFile),
// renamed over target only when every byte has arrived. On failure (missing or unreadable source,
// a source that is no regular file, a full or vanished medium) a previous target is left as it
// was and no temporary file remains. The new target gets the default permissions (0666 less the
// umask) and the modification time given, set before it takes its place (so a target in place
// always carries its final time). A symbolic link at the target is replaced, never followed.
// Any thread; source and target must differ.
bool CopyFileAtomic(const wxString& source, const wxString& target, FileTime time);
