#include "store/paths.h"

#include <utility>

#include <gtest/gtest.h>

namespace {

// Short paths stay; a single component is cut with dots; middle components give way to dots;
// two long ends keep their start and end; a leading separator is simply cut. A separator is
// appended once.
TEST(PathsTest, ShortenPathAndAppendSeparatorAsTheTableSays)
{
    const wxString deep = "D:\\Work\\Projects\\2024\\report.txt";
    const wxString longEnds = "AVeryLongFirstComponent\\middle\\AnotherLongTailName.txt";
    const wxString unc = "\\\\server\\share\\folder\\file.txt";
    const struct {
        wxString path;
        size_t n;
        const char* shown;
    } cases[] = {
        {"report.txt", 10, "report.txt"}, {"report.txt", 5, "re..."},
        {deep, 20, "D:\\Work\\...report.txt"}, {deep, 26, "D:\\Work\\Projects\\...report.txt"},
        {deep, 14, "D:\\...report.txt"}, {longEnds, 20, "AVeryL...\\...ame.txt"},
        {longEnds, 9, "A...\\...t"}, {unc, 3, "\\\\s"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortenPath(c.path, c.n), c.shown) << c.path << " " << c.n;
    for (const wxString& path : {deep, longEnds, unc})
        for (size_t n = 7; n < path.length() + 2; ++n)
            EXPECT_LE(ShortenPath(path, n).length(), n + 4) << path << " n=" << n;
    for (const auto& [path, expected] : {std::pair{"/a/b", "/a/b/"}, {"/a/", "/a/"}, {"", ""}})
        EXPECT_EQ(AppendPathSeparator(path), expected) << path;
}

} // namespace
