#include "engine/relative_path.h"

#include <gtest/gtest.h>

#include "engine/dir_entry.h"

namespace {

// A key may change the length of a character: U+0130 (two bytes) lowers to "i" (one byte).
TEST(RelativePathTest, KeysAreLowerCasedWithBackslashesAndMalformedUtf8IsRejected)
{
    EXPECT_EQ(RelativeKey("ОТЧЁТ/Sub/Ärger.TXT") + RelativeKey("\xC4\xB0/A"),
              "отчёт\\sub\\ärger.txti\\a");
    EXPECT_TRUE(IsValidUtf8("plain \xD0\x9E\xF0\x9F\x98\x80"));
    // Latin-1, an overlong "/", a surrogate, past U+10FFFF, cut short.
    for (const char* bad : {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_EQ(Utf8Text("\xD0\x9E-a\xFF" "b"), wxString(L"\x041E-a\xFFFD" L"b"));
}

// Enough keys to make the index grow many times; entries never move.
TEST(DirEntryListTest, KeepsTheOrderOfMakingAndFindsEveryKey)
{
    DirEntryList list;
    for (int i = 0; i < 20000; ++i)
        list.FindOrAdd("d\\f" + std::to_string(i)).stationCount = i;
    ASSERT_TRUE(&list.FindOrAdd("d\\f0") == &list[0] && list.size() == 20000u);
    for (int i = 0; i < 20000; ++i)
        EXPECT_EQ(list.Find("d\\f" + std::to_string(i)), &list[i]) << i;
    EXPECT_EQ(list.Find("d\\f"), nullptr);
    list.clear();
    EXPECT_EQ(list.Find("d\\f0"), nullptr);
}

} // namespace
