#include "engine/relative_path.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// A key may change the length of a character: U+0130 (two bytes) lowers to "i" (one byte).
TEST(RelativePathTest, KeyIsLowerCasedWithBackslashes)
{
    EXPECT_EQ(RelativeKey("Docs/Sub/Report.TXT"), "docs\\sub\\report.txt");
    EXPECT_EQ(RelativeKey("ОТЧЁТ/Ärger.txt"), "отчёт\\ärger.txt");
    EXPECT_EQ(RelativeKey("\xC4\xB0/A"), "i\\a");
}

// Latin-1, an overlong "/", a surrogate, past U+10FFFF, cut short.
TEST(RelativePathTest, Utf8ValidationRejectsMalformedSequences)
{
    EXPECT_TRUE(IsValidUtf8("plain \xD0\x9E\xF0\x9F\x98\x80"));
    for (const char* bad : {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_EQ(Utf8Text("\xD0\x9E-a\xFF" "b"), wxString(L"\x041E-a\xFFFD" L"b"));
}

} // namespace
