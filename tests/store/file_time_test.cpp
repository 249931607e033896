#include "store/file_time.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <limits>

#include <gtest/gtest.h>

#include "store/text.h"
#include "tests/support/temp_dir.h"

namespace {

FileTime Second(std::int64_t s, std::int64_t ns = 0) { return FileTimeFromUnix(1600000000 + s, ns); }

// Up to three seconds apart is equal, and neither is newer; extreme values do not overflow.
TEST(FileTimeTest, TimesWithinThreeSecondsAreEqualAndTextShowsTheUtcWallClock)
{
    constexpr FileTime kMax = std::numeric_limits<FileTime>::max();
    const struct {
        FileTime a, b;
        bool equal, aNewer;
    } cases[] = {
        {Second(0), Second(3), true, false},       {Second(0), Second(3, 100), false, false},
        {Second(3, 100), Second(0), false, true},  {0, kMax, false, false},
        {kMax, kMax - Second(3) + Second(0), true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimesEqual(c.a, c.b), c.equal) << c.a << " " << c.b;
        EXPECT_EQ(TimeNewer(c.a, c.b), c.aNewer) << c.a << " " << c.b;
    }

    // The text shows the UTC wall clock whatever the local zone, in summer time too.
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    EXPECT_EQ(FormatFileTimeUtc(FileTimeFromUnix(1625140800, 999999900)), "2021-07-01 12:00:00 UTC");
    EXPECT_EQ(FormatFileTimeUtc(FileTimeFromUnix(1614834367)), "2021-03-04 05:06:07 UTC");
    wxDateTime moment;
    ASSERT_TRUE(FileTimeToDateTime(FileTimeFromUnix(1625140800), moment));
    EXPECT_EQ(moment.GetTicks(), 1625140800);
    old ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();
}

// Hundred-nanosecond units survive and the access time is left alone. A file that cannot be
// read still has its time (it counts as present); anything but a regular file has none.
TEST(FileTimeTest, SetAndGetTheTimeOfRegularFilesOnly)
{
    TempDir dir;
    const wxString path = dir.Write("a.txt", "x");
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, NativePath(path).c_str(), times, 0), 0);
    ASSERT_TRUE(SetFileModTime(path, Second(7, 123456700)));
    ASSERT_EQ(chmod(NativePath(path).c_str(), 0), 0);
    FileTime time = 0;
    ASSERT_TRUE(GetFileModTime(path, time));
    EXPECT_EQ(time, Second(7, 123456700));
    struct stat st {};
    ASSERT_EQ(stat(NativePath(path).c_str(), &st), 0);
    EXPECT_EQ(st.st_atim.tv_sec, 1000000000);
    EXPECT_FALSE(SetFileModTime(dir / "missing", Second(0)));
    ASSERT_EQ(mkfifo(NativePath(dir / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink(NativePath(path).c_str(), NativePath(dir / "link").c_str()), 0);
    for (const wxString& other : {dir.MakeDir("folder"), dir / "fifo", dir / "link", dir / "missing"}) {
        EXPECT_FALSE(GetFileModTime(other, time)) << other;
        EXPECT_EQ(time, Second(7, 123456700)) << other;
    }
}

} // namespace
