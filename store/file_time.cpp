#include "store/file_time.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "store/text.h"

namespace {

constexpr std::int64_t kUnixEpochIn1601Seconds = 11644473600LL;
constexpr std::int64_t kUnitsPerSecond = 10000000;

} // namespace

bool TimesEqual(FileTime a, FileTime b)
{
    return (a > b ? a - b : b - a) <= kFileTimeTolerance;
}

bool TimeNewer(FileTime a, FileTime b)
{
    return a > b && a - b > kFileTimeTolerance;
}

FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds)
{
    return static_cast<FileTime>((seconds + kUnixEpochIn1601Seconds) * kUnitsPerSecond
                                 + nanoseconds / 100);
}

bool GetFileModTime(const wxString& path, FileTime& time)
{
    struct stat st;
    if (lstat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (st.st_mtim.tv_sec < -kUnixEpochIn1601Seconds)
        return false;
    time = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    return true;
}

namespace {

// Access time left alone, modification time set.
void ToTimespecs(FileTime time, struct timespec (&times)[2])
{
    const auto seconds = static_cast<std::int64_t>(time / kUnitsPerSecond) - kUnixEpochIn1601Seconds;
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = static_cast<long>(time % kUnitsPerSecond) * 100;
}

} // namespace

bool SetFileModTime(const wxString& path, FileTime time)
{
    struct timespec times[2];
    ToTimespecs(time, times);
    return utimensat(AT_FDCWD, NativePath(path).c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

bool SetFileModTime(int fd, FileTime time)
{
    struct timespec times[2];
    ToTimespecs(time, times);
    return futimens(fd, times) == 0;
}

bool FileTimeToDateTime(FileTime time, wxDateTime& result)
{
    const auto seconds = static_cast<std::int64_t>(time / kUnitsPerSecond) - kUnixEpochIn1601Seconds;
    result = wxDateTime(wxLongLong(seconds) * 1000);
    return result.IsValid();
}

wxString FormatFileTimeUtc(FileTime time)
{
    wxDateTime dt;
    if (!FileTimeToDateTime(time, dt))
        return wxString();
    // Formatted in UTC itself, so summer time never shifts the text.
    return dt.Format("%Y-%m-%d %H:%M:%S UTC", wxDateTime::UTC);
}
