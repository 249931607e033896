#include "store/paths.h"

#include <utility>

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
    for (const auto& [path, expected] : {std::pair{"/home/user", "/home/user/"}, {"/home/user/", "/home/user/"},
                                         {"/", "/"}, {"D:", "D:/"}, {"", ""}})
        EXPECT_EQ(AppendPathSeparator(path), expected) << path;
}

// Short paths stay; a single component is cut with dots; middle components give way to dots.
TEST_F(PathsTest, ShortenPathAsTheTableSays)
{
    const wxString deep = "D:\\Work\\Projects\\2024\\report.txt";
    const struct {
        wxString path;
        size_t n;
        const char* shown;
    } cases[] = {
        {"report.txt", 10, "report.txt"}, {"D:\\Work\\report.txt", 40, "D:\\Work\\report.txt"},
        {"", 0, ""}, {"report.txt", 5, "re..."}, {"report.txt", 9, "report..."},
        {deep, 20, "D:\\Work\\...report.txt"}, {deep, 26, "D:\\Work\\Projects\\...report.txt"},
        {deep, 14, "D:\\...report.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortenPath(c.path, c.n), c.shown) << c.path << " " << c.n;
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
