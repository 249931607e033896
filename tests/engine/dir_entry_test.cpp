#include "engine/dir_entry.h"

#include <string>

#include <gtest/gtest.h>

namespace {

class DirEntryListTest : public ::testing::Test {
protected:
    DirEntryList list;
};

TEST_F(DirEntryListTest, KeepsTheOrderOfMakingAndFindsEveryKey)
{
    constexpr int kCount = 20000;
    for (int i = 0; i < kCount; ++i)
        list.FindOrAdd("dir\\file" + std::to_string(i)).stationCount = i;
    ASSERT_EQ(list.size(), static_cast<size_t>(kCount));
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(list[i].key, "dir\\file" + std::to_string(i));
        const DirEntry* found = list.Find("dir\\file" + std::to_string(i));
        ASSERT_TRUE(found);
        EXPECT_EQ(found, &list[i]);
    }
    EXPECT_EQ(list.Find("dir\\file"), nullptr);
}

TEST_F(DirEntryListTest, SameKeyGivesTheSameEntryUntilCleared)
{
    DirEntry& first = list.FindOrAdd("a.txt");
    first.mediumCount = 1;
    DirEntry& again = list.FindOrAdd("a.txt");
    EXPECT_EQ(&first, &again);
    EXPECT_EQ(list.size(), 1u);
    list.FindOrAdd("b.txt");
    EXPECT_EQ(&list.FindOrAdd("a.txt"), &first);  // entries never move
    list.FindOrAdd("a");
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.Find("a"), nullptr);
    list.FindOrAdd("a");
    EXPECT_EQ(list.size(), 1u);
}

TEST(UnreadableDirsTest, HidesOnlyWhatLiesBelowItsPrefixes)
{
    UnreadableDirs dirs;
    dirs.station.push_back("locked\\");
    EXPECT_TRUE(dirs.Hides(true, "locked\\a.txt"));
    EXPECT_FALSE(dirs.Hides(true, "lockedness.txt"));
    EXPECT_FALSE(dirs.Hides(false, "locked\\a.txt"));
    dirs.medium.push_back("");
    EXPECT_TRUE(dirs.Hides(false, "anything"));
}

} // namespace
