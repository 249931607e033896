#include "engine/relative_path.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// A key may change the length of a character.
TEST(RelativePathTest, KeyIsLowerCasedWithBackslashes)
{
    EXPECT_EQ(RelativeKey("Docs/Sub/Report.TXT"), "docs\\sub\\report.txt");
    EXPECT_EQ(RelativeKey("ОТЧЁТ/Ärger.txt"), "отчёт\\ärger.txt");
    EXPECT_EQ(RelativeKey(""), "");
    // U+0130 (two bytes) lowers to "i" (one byte).
    EXPECT_EQ(RelativeKey("\xC4\xB0/A"), "i\\a");
}

TEST(RelativePathTest, Utf8ValidationRejectsMalformedSequences)
{
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("\xD0\x9E\xF0\x9F\x98\x80"));  // Cyrillic O, an emoji
    EXPECT_FALSE(IsValidUtf8("caf\xE9"));                  // Latin-1
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));                 // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));             // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));         // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));                 // cut short
}

TEST(RelativePathTest, TextOfUtf8ReplacesWhatCannotBeDecoded)
{
    EXPECT_EQ(Utf8Text("\xD0\x9E-ok"), wxString::FromUTF8("О-ok"));
    EXPECT_EQ(Utf8Text("a\xFF" "b"), wxString(L"a\xFFFD" L"b"));
    wxString text = "root/";
    AppendUtf8(text, "x.txt");
    EXPECT_EQ(text, "root/x.txt");
}

TEST(RelativePathTest, CompressedSuffixIsCutBehindANameOnly)
{
    const std::pair<std::string, std::string> cases[] = {
        {"A.TXT.BZ2", "A.TXT"}, {"dir/a.bz2", "dir/a"}, {"x.bz2", "x"},
        {".bz2", ".bz2"},       {"a.bz3", "a.bz3"},     {"abz2", "abz2"},
    };
    for (const auto& [rel, expected] : cases) {
        std::string cut = rel;
        EXPECT_EQ(StripCompressedSuffix(cut), rel != expected) << rel;
        EXPECT_EQ(cut, expected);
    }
}

} // namespace
