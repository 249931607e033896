#include "engine/dir_entry.h"

#include <string>

#include <gtest/gtest.h>

namespace {

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
    list.FindOrAdd("a");
    EXPECT_EQ(list.size(), 1u);
}

// An unreadable directory blocks what lies below it; a missing root only hides absence.
TEST(UnreadableDirsTest, BlocksBelowItsPrefixesAndMissingRootsOnlyHide)
{
    UnreadableDirs dirs;
    dirs.station.push_back("locked\\");
    dirs.mediumMissing = true;
    EXPECT_TRUE(dirs.Blocks(true, "locked\\a.txt") && dirs.Hides(true, "locked\\a.txt"));
    EXPECT_FALSE(dirs.Hides(true, "lockedness.txt") || dirs.Hides(true, "locked"));
    EXPECT_TRUE(!dirs.Blocks(false, "locked\\a.txt") && dirs.Hides(false, "locked\\a.txt"));
    dirs.medium.push_back("");
    EXPECT_TRUE(dirs.Blocks(false, "anything"));
}

} // namespace
