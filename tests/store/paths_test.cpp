#include "store/paths.h"

#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "store/catalog.h"
#include "store/guid.h"
#include "store/text.h"
#include "store/wildcard.h"

namespace {

// Short paths stay; a single component is cut with dots; middle components give way to dots;
// two long ends keep their start and end; a leading separator is simply cut. A separator is
// appended once.
TEST(PathsTest, ShortenPathAndAppendSeparatorAsTheTableSays)
{
    const wxString deep = "D:\\Work\\Projects\\2024\\report.txt";
    const wxString longEnds = "AVeryLongFirstComponent\\middle\\AnotherLongTailName.txt";
    const wxString unc = "\\\\server\\share\\folder\\file.txt";
    const std::tuple<wxString, size_t, const char*> cases[] = {
        {"report.txt", 10, "report.txt"}, {"report.txt", 5, "re..."},
        {deep, 20, "D:\\Work\\...report.txt"}, {deep, 26, "D:\\Work\\Projects\\...report.txt"},
        {deep, 14, "D:\\...report.txt"}, {longEnds, 20, "AVeryL...\\...ame.txt"},
        {longEnds, 9, "A...\\...t"}, {unc, 3, "\\\\s"}};
    for (const auto& [path, n, shown] : cases)
        EXPECT_EQ(ShortenPath(path, n), shown) << path << " " << n;
    for (const wxString& path : {deep, longEnds, unc})
        for (size_t n = 7; n < path.length() + 2; ++n)
            EXPECT_LE(ShortenPath(path, n).length(), n + 4) << path << " n=" << n;
    for (const auto& [path, expected] : {std::pair{"/a/b", "/a/b/"}, {"/a/", "/a/"}, {"", ""}})
        EXPECT_EQ(AppendPathSeparator(path), expected) << path;
    // A computer without a resolvable name is still named, never by an empty text.
    for (const auto& [full, plain, name] :
         {std::tuple{"a.b.c", "a", "a.b.c"}, {"", "a", "a"}, {"", "", "localhost"}})
        EXPECT_EQ(StationNameOf(full, plain), name) << full << "/" << plain;
}

// One row per path through the matcher: case-sensitive, the whole text, one backtrack point.
TEST(MatchWildcardTest, MatchesTheWholeTextAsTheTableSays)
{
    const std::tuple<const char*, const char*, bool, bool> cases[] = {
        {"", "", true, true},           {"*", "", false, false},
        {"*", ".hidden", true, false},  {"*", ".hidden", false, true},
        {"a*", "abc", false, true},     {"A*", "abc", false, false},
        {"ab?", "ab", false, false},    {"abc", "abcd", false, false},
        {"*.*", "name", false, false},  {"*a*b", "xaYbZb", false, true},
        {"*a*b", "xaYbZ", false, false}, {"*aab", "aaab", false, true},
        {"?.txt", "ё.txt", false, true}, {"Отчёт*", "отчёт", false, false},
    };
    for (const auto& [mask, text, hiddenDot, matches] : cases)
        EXPECT_EQ(MatchWildcard(FromUtf8(mask), FromUtf8(text), hiddenDot), matches)
            << mask << " / " << text;
}

// Eight lower-case 4-digit values of 0..32767, so each begins with 0-7; a generator stuck on
// part of its range shows up as a digit that never appears. Two stations started in the same
// clock second must not make the same rows' GUIDs.
TEST(NewGuidTest, GuidsAreDistinctOfTheCatalogueFormAndGeneratorsApart)
{
    std::set<std::string> seen, digits;
    const std::regex shape("([0-7][0-9a-f]{3}){2}(-[0-7][0-9a-f]{3}){3}-([0-7][0-9a-f]{3}){3}");
    for (int i = 0; i < 20000; ++i) {
        const std::string guid = ToUtf8(NewGuid());
        ASSERT_TRUE(std::regex_match(guid, shape) && seen.insert(guid).second) << guid;
        digits.insert({guid[0], '-', guid[35]});
    }
    EXPECT_EQ(digits.size(), 8u * 16u);
    for (int i = 0; i < 20; ++i)
        EXPECT_NE(GuidGenerator().Next(), GuidGenerator().Next());
}

} // namespace
