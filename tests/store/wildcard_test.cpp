#include "store/wildcard.h"

#include <gtest/gtest.h>

namespace {

struct WildcardCase {
    const char* mask;
    const char* text;
    bool hiddenDot;
    bool matches;
};

const WildcardCase kCases[] = {
    // single elements
    {"*.txt", "a.txt", false, true},
    {"*.txt", ".txt", false, true},
    {"*.txt", "a.txt.bak", false, false},
    {"a?c", "abc", false, true},
    {"a?c", "ac", false, false},
    {"a?c", "abbc", false, false},
    {"*a?", "xaYz", false, false},
    {"*a?", "xaY", false, true},
    {"*?", "x", false, true},
    {"*?", "xyz", false, true},
    {"*?", "", false, false},
    {"?", "", false, false},
    {"*", "", false, false},
    {"", "", false, true},
    {"", "a", false, false},
    {"abc", "abc", false, true},
    {"abc", "abcd", false, false},
    {"abcd", "abc", false, false},
    // case-sensitive
    {"A*", "abc", false, false},
    {"a*", "abc", false, true},
    {"*.TXT", "a.txt", false, false},
    // several stars, backtracking
    {"*a*b*", "xxaYYbZZ", false, true},
    {"*a*b", "xaYbZ", false, false},
    {"*a*b", "xaYbZb", false, true},
    {"a*b*c", "abc", false, true},
    {"a*b*c", "acb", false, false},
    {"**", "x", false, true},
    {"*.*", "name", false, false},
    {"*.*", "name.ext", false, true},
    {"*aab", "aaab", false, true},
    {"?*?", "a", false, false},
    {"?*?", "ab", false, true},
    {"*x*y*z", "zyxxyz", false, true},
    // the separator is an ordinary character
    {"*.txt", "dir\\a.txt", false, true},
    {"dir\\*", "dir\\sub\\a", false, true},
    // hidden-dot flag
    {"*", ".hidden", true, false},
    {".*", ".hidden", true, false},
    {"*", ".hidden", false, true},
    {"*", "x.", true, true},
    {"", "", true, true},
    // characters beyond ASCII count as one each
    {"?.txt", "ё.txt", false, true},
    {"отчёт*", "отчёт 2024.doc", false, true},
    {"Отчёт*", "отчёт", false, false},
};

class MatchWildcardTest : public ::testing::Test {
protected:
    static bool Match(const WildcardCase& c)
    {
        return MatchWildcard(wxString::FromUTF8(c.mask), wxString::FromUTF8(c.text), c.hiddenDot);
    }
};

TEST_F(MatchWildcardTest, MatchesTheWholeTextAsTheTableSays)
{
    for (const WildcardCase& c : kCases)
        EXPECT_EQ(Match(c), c.matches)
            << "mask \"" << c.mask << "\" text \"" << c.text << "\" hiddenDot " << c.hiddenDot;
}

} // namespace
