#include "store/paths.h"

#include <gtest/gtest.h>

namespace {

class PathsTest : public ::testing::Test {
protected:
    // The first and last components of a "\"-path.
    static wxString First(const wxString& path) { return path.BeforeFirst('\\'); }
    static wxString Last(const wxString& path) { return path.AfterLast('\\'); }
};

TEST_F(PathsTest, AppendPathSeparatorAddsTheNativeSeparatorOnce)
{
    EXPECT_EQ(AppendPathSeparator("/home/user"), "/home/user/");
    EXPECT_EQ(AppendPathSeparator("/home/user/"), "/home/user/");
    EXPECT_EQ(AppendPathSeparator("/"), "/");
    EXPECT_EQ(AppendPathSeparator("D:"), "D:/");
    EXPECT_EQ(AppendPathSeparator(""), "");
}

TEST_F(PathsTest, ShortPathsStayAsTheyAreAndASingleComponentIsCutWithDots)
{
    EXPECT_EQ(ShortenPath("report.txt", 10), "report.txt");
    EXPECT_EQ(ShortenPath("D:\\Work\\report.txt", 40), "D:\\Work\\report.txt");
    EXPECT_EQ(ShortenPath("", 0), "");
    EXPECT_EQ(ShortenPath("report.txt", 5), "re...");
    EXPECT_EQ(ShortenPath("report.txt", 9), "report...");
}

TEST_F(PathsTest, MiddleComponentsGiveWayToDots)
{
    const wxString path = "D:\\Work\\Projects\\2024\\report.txt";
    EXPECT_EQ(ShortenPath(path, 20), "D:\\Work\\...report.txt");
    EXPECT_EQ(ShortenPath(path, 26), "D:\\Work\\Projects\\...report.txt");
    EXPECT_EQ(ShortenPath(path, 14), "D:\\...report.txt");
}

TEST_F(PathsTest, LongFirstAndLastComponentsKeepTheirEnds)
{
    const wxString path = "AVeryLongFirstComponent\\middle\\AnotherLongTailName.txt";
    for (size_t n = 9; n < 46; ++n) {  // below 46 the two components together do not fit
        const wxString shown = ShortenPath(path, n);
        SCOPED_TRACE(shown);
        EXPECT_LE(shown.length(), n);
        const wxString start = shown.BeforeFirst('.');
        EXPECT_FALSE(start.empty());
        EXPECT_TRUE(First(path).StartsWith(start));
        const wxString tail = Last(shown);
        ASSERT_TRUE(tail.StartsWith("..."));
        EXPECT_GT(tail.length(), 3u);
        EXPECT_TRUE(Last(path).EndsWith(tail.Mid(3)));
    }
}

TEST_F(PathsTest, LeadingSeparatorIsCutToTheLength)
{
    const wxString path = "\\\\server\\share\\folder\\file.txt";
    for (size_t n = 1; n < path.length(); ++n) {
        const wxString shown = ShortenPath(path, n);
        EXPECT_LE(shown.length(), n);
        EXPECT_TRUE(path.StartsWith(shown));
    }
}

TEST_F(PathsTest, ResultNeverGrowsFarBeyondTheLimit)
{
    const wxString paths[] = {
        "C:\\a\\b\\c\\d\\e\\f\\g.txt",
        "C:\\Users\\someone\\Documents\\Very long folder name\\file name with spaces.docx",
        "relative\\path\\only",
        "C:\\trailing\\separator\\",
    };
    for (const wxString& path : paths)
        for (size_t n = 7; n < path.length() + 2; ++n)
            EXPECT_LE(ShortenPath(path, n).length(), n + 4) << path << " n=" << n;
}

} // namespace
