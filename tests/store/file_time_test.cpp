#include "store/file_time.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "store/text.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr FileTime kBase = 132000000000000000ULL;  // a day in 2019
constexpr FileTime kMax = std::numeric_limits<FileTime>::max();

class FileTimeTest : public ::testing::Test {
protected:
    static struct stat Stat(const wxString& path)
    {
        struct stat st {};
        EXPECT_EQ(lstat(NativePath(path).c_str(), &st), 0);
        return st;
    }

    TempDir dir;
};

// Times up to three seconds apart are equal; extreme values do not overflow.
TEST_F(FileTimeTest, TimesWithinThreeSecondsAreEqualAndNeitherIsNewer)
{
    const struct {
        FileTime a, b;
        bool equal, aNewer;
    } cases[] = {
        {kBase, kBase, true, false},
        {kBase, kBase + 30000000, true, false},
        {kBase + 30000000, kBase, true, false},
        {kBase, kBase + 29999999, true, false},
        {kBase, kBase + 30000001, false, false},
        {kBase + 30000001, kBase, false, true},
        {0, kMax, false, false},
        {kMax, 0, false, true},
        {kMax, kMax - 30000000, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimesEqual(c.a, c.b), c.equal) << c.a << " " << c.b;
        EXPECT_EQ(TimeNewer(c.a, c.b), c.aNewer) << c.a << " " << c.b;
    }
}

TEST_F(FileTimeTest, SetThenGetKeepsHundredNanosecondUnits)
{
    const wxString path = dir.Write("a.txt", "x");
    const FileTime wanted = FileTimeFromUnix(1614834367, 123456700);
    ASSERT_TRUE(SetFileModTime(path, wanted));

    FileTime got = 0;
    ASSERT_TRUE(GetFileModTime(path, got));
    if (Stat(path).st_mtim.tv_nsec == 0)
        GTEST_SKIP() << "this file system keeps whole seconds only";
    EXPECT_EQ(got, wanted);
    EXPECT_EQ(got % 10000000, 1234567u);
}

TEST_F(FileTimeTest, SetLeavesTheAccessTimeAlone)
{
    const wxString path = dir.Write("a.txt", "x");
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, NativePath(path).c_str(), times, 0), 0);

    ASSERT_TRUE(SetFileModTime(path, FileTimeFromUnix(1614834367)));
    EXPECT_EQ(Stat(path).st_atim.tv_sec, 1000000000);
    EXPECT_EQ(Stat(path).st_mtim.tv_sec, 1614834367);
}

TEST_F(FileTimeTest, GetMatchesTheFileSystemTime)
{
    const wxString path = dir.Write("a.txt", "x");
    const struct stat st = Stat(path);
    FileTime got = 0;
    ASSERT_TRUE(GetFileModTime(path, got));
    EXPECT_EQ(got, (static_cast<FileTime>(st.st_mtim.tv_sec) + 11644473600ULL) * 10000000ULL
                       + static_cast<FileTime>(st.st_mtim.tv_nsec) / 100);
}

TEST_F(FileTimeTest, GetFailsForAnythingButARegularFileAndSetForAMissingOne)
{
    const wxString target = dir.Write("target.txt", "x");
    const wxString folder = dir.MakeDir("folder");
    const wxString fifo = dir / "fifo";
    ASSERT_EQ(mkfifo(NativePath(fifo).c_str(), 0600), 0);
    const wxString link = dir / "link";
    ASSERT_EQ(symlink(NativePath(target).c_str(), NativePath(link).c_str()), 0);

    for (const wxString& path : {folder, fifo, link, dir / "missing.txt"}) {
        FileTime time = 7;
        EXPECT_FALSE(GetFileModTime(path, time)) << path;
        EXPECT_EQ(time, 7u) << path;
    }
    EXPECT_FALSE(SetFileModTime(dir / "missing.txt", kBase));
    EXPECT_FALSE(Exists(dir / "missing.txt"));
}

TEST_F(FileTimeTest, FormatShowsTheUtcWallClock)
{
    EXPECT_EQ(FormatFileTimeUtc(FileTimeFromUnix(1614834367)), "2021-03-04 05:06:07 UTC");
    EXPECT_EQ(FormatFileTimeUtc(FileTimeFromUnix(1625140800, 999999900)), "2021-07-01 12:00:00 UTC");
    EXPECT_EQ(FormatFileTimeUtc(FileTimeFromUnix(0)), "1970-01-01 00:00:00 UTC");
}

TEST_F(FileTimeTest, DateTimeIsTheSameMoment)
{
    wxDateTime moment;
    ASSERT_TRUE(FileTimeToDateTime(FileTimeFromUnix(1614834367), moment));
    EXPECT_EQ(moment.GetTicks(), 1614834367);
}

} // namespace
