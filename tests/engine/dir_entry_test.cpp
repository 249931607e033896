#include "engine/dir_entry.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// What UnreadableDirs blocks and hides is checked through the comparison's unreadable folders.
TEST(DirEntryListTest, KeepsTheOrderOfMakingAndFindsEveryKey)
{
    DirEntryList list;
    constexpr int kCount = 20000;
    for (int i = 0; i < kCount; ++i)
        list.FindOrAdd("dir\\file" + std::to_string(i)).stationCount = i;
    DirEntry& first = list.FindOrAdd("dir\\file0");  // the same entry, not a new one
    ASSERT_EQ(list.size(), static_cast<size_t>(kCount));
    EXPECT_EQ(&first, &list[0]);  // entries never move
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(list[i].key, "dir\\file" + std::to_string(i));
        EXPECT_EQ(list.Find("dir\\file" + std::to_string(i)), &list[i]);
    }
    EXPECT_EQ(list.Find("dir\\file"), nullptr);
    list.clear();
    EXPECT_EQ(list.Find("dir\\file0"), nullptr);
    EXPECT_EQ(&list.FindOrAdd("a"), &list[0]);
    EXPECT_EQ(list.size(), 1u);
}

} // namespace
