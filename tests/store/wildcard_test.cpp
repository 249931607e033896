#include "store/wildcard.h"

#include <gtest/gtest.h>

#include "store/text.h"

namespace {

// One row per path through the matcher: case-sensitive, the whole text, one backtrack point.
TEST(MatchWildcardTest, MatchesTheWholeTextAsTheTableSays)
{
    const struct {
        const char* mask;
        const char* text;
        bool hiddenDot;
        bool matches;
    } cases[] = {
        {"", "", true, true},           {"*", "", false, false},
        {"*", ".hidden", true, false},  {"*", ".hidden", false, true},
        {"a*", "abc", false, true},     {"A*", "abc", false, false},
        {"ab?", "ab", false, false},    {"abc", "abcd", false, false},
        {"*.*", "name", false, false},  {"*a*b", "xaYbZb", false, true},
        {"*a*b", "xaYbZ", false, false}, {"*aab", "aaab", false, true},
        {"?.txt", "ё.txt", false, true}, {"Отчёт*", "отчёт", false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchWildcard(FromUtf8(c.mask), FromUtf8(c.text), c.hiddenDot), c.matches)
            << c.mask << " / " << c.text << " / " << c.hiddenDot;
}

} // namespace
