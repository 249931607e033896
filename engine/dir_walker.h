#pragma once

#include <cstdint>
#include <string>

#include <wx/dir.h>
#include <wx/string.h>

#include "store/file_time.h"

// Why a name was skipped by the walk.
enum class SkippedName { NotUtf8, Backslash, Temporary };

// The depth-first walk of one folder shared by the synchronisation walk and the rules test.
// Within a directory every subdirectory is offered first, in the file system's listing order,
// and walked at once when the visitor answers wxDIR_CONTINUE; then the directory's files are
// offered. Hidden names are included; "." and ".." never are; the root itself is not offered.
//
// Only directories and regular files are taken; symbolic links are never followed (only the
// root may be one). Names that are not valid UTF-8, names holding a backslash (the
// catalogue's separator: "a\b.txt" would pair with "a/b.txt") and files named like this
// program's temporary files (IsTemporaryName) are never offered, but reported. Relative paths
// are UTF-8 with the native separator and never start with it. Runs on the calling thread; one
// directory descriptor is open per level.
class DirWalkVisitor {
public:
    virtual ~DirWalkVisitor() = default;

    // A directory: wxDIR_CONTINUE walks it now, wxDIR_IGNORE leaves it and all below it
    // out, wxDIR_STOP ends the walk.
    virtual wxDirTraverseResult WalkDir(const std::string& rel) = 0;
    // A regular file with its last-write time and size: wxDIR_STOP ends the walk, anything
    // else goes on. The visitor may take rel's text over (move it out).
    virtual wxDirTraverseResult WalkFile(std::string& rel, FileTime time, std::uint64_t size) = 0;
    // A directory (rel empty: the root) that exists but could not be opened or listed
    // completely, or holding names whose type or time could not be read: what lies in it is
    // unknown.
    virtual void WalkUnreadable(const std::string& rel) = 0;
    // The root does not exist.
    virtual void WalkMissingRoot() = 0;
    // A name skipped (a directory with all below it); shown is its full path, for a name that
    // is not UTF-8 with every byte outside printable ASCII replaced by "?".
    virtual void WalkSkippedName(const wxString& shown, SkippedName why) = 0;
};

// Walks the folder root (with or without a trailing separator). False when the root cannot be
// opened as a directory (the visitor then hears WalkMissingRoot() when it does not exist,
// else WalkUnreadable(""), and nothing else); true otherwise, also when a visitor's answer
// stopped the walk early.
bool WalkDirectoryTree(const wxString& root, DirWalkVisitor& visitor);
