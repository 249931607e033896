#pragma once

#include <cstdint>

#include <wx/datetime.h>
#include <wx/string.h>

// A last-write time in 100-ns units since 1601-01-01 UTC (the catalogue's and logs' unit).
using FileTime = std::uint64_t;

// Two times closer than this are the same: FAT keeps times to two seconds only.
inline constexpr FileTime kFileTimeTolerance = 30000000;

// True when a and b are at most 3 seconds apart.
bool TimesEqual(FileTime a, FileTime b);
// True when a is later than b by more than 3 seconds.
bool TimeNewer(FileTime a, FileTime b);

// Last-write time of a regular file (symbolic links are not followed). False for anything
// else: missing file, directory, FIFO, link. Any thread.
// Deliberately read with lstat, without opening the file: a file that exists but cannot be
// read still counts as present, so its counterpart on the other side is never planned for
// deletion; the copy of it then fails and reports its error result.
bool GetFileModTime(const wxString& path, FileTime& time);
// Sets only the modification time of an existing file (access time untouched). Any thread.
bool SetFileModTime(const wxString& path, FileTime time);

// Sets only the modification time of an open file. Any thread.
bool SetFileModTime(int fd, FileTime time);

// Conversions between file times and Unix time (seconds and nanoseconds).
FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds = 0);

// "%Y-%m-%d %H:%M:%S UTC" of the time's UTC wall clock; empty when out of range.
wxString FormatFileTimeUtc(FileTime time);
// The moment of the file time; false when the value is out of range.
bool FileTimeToDateTime(FileTime time, wxDateTime& result);
