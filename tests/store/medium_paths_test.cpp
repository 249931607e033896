#include "store/medium_paths.h"

#include <gtest/gtest.h>

namespace {

const wxString kRoot = "/media/stick/";

TEST(MediumPaths, SafeLocationsStayInsideTheRoot)
{
    struct Case {
        const char* location;
        bool safe;
    };
    const Case cases[] = {
        {"", true},
        {"Sync", true},
        {"Sync\\Work", true},
        {"Sync/Work", true},
        {"Sync\\..Work\\a..b", true},
        {".\\Sync", true},
        {"..", false},
        {"Sync\\..\\..\\etc", false},
        {"Sync/../etc", false},
        {"Sync\\..", false},
        {"\\Sync", false},
        {"/etc", false},
        {"\\\\server\\share", false},
        {"E:\\Sync", false},
        {"e:Sync", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.safe, IsSafeRelativeLocation(c.location)) << c.location;
}

// An unsafe stored location gives no directory.
TEST(MediumPaths, StoredLocationBecomesDirectoryBelowRoot)
{
    EXPECT_EQ("/media/stick/Sync/Work", MediumPathFromLocation(kRoot, "Sync\\Work").value());
    EXPECT_EQ("/media/stick/Sync/Work",
              MediumPathFromLocation("/media/stick", "Sync/Work").value());
    EXPECT_EQ("/media/stick/", MediumPathFromLocation(kRoot, "").value());
    EXPECT_FALSE(MediumPathFromLocation(kRoot, "..\\..\\home").has_value());
    EXPECT_FALSE(MediumPathFromLocation(kRoot, "/home/user").has_value());
    EXPECT_FALSE(MediumPathFromLocation(kRoot, "C:\\Windows").has_value());
}

// A chosen directory outside the root is refused.
TEST(MediumPaths, ChosenDirectoryIsStoredRelativeWithBackslashes)
{
    EXPECT_EQ("Sync\\Work", LocationBelowRoot("/media/stick/Sync/Work", kRoot).value());
    EXPECT_EQ("Sync", LocationBelowRoot("/media/stick/Sync", kRoot).value());
    EXPECT_EQ("", LocationBelowRoot("/media/stick/", kRoot).value());
    EXPECT_EQ("", LocationBelowRoot("/media/stick", kRoot).value());
    EXPECT_FALSE(LocationBelowRoot("/media/other/Sync", kRoot).has_value());
    EXPECT_FALSE(LocationBelowRoot("/media/Stick/Sync", kRoot).has_value());
    EXPECT_FALSE(LocationBelowRoot("/media/stickier/Sync", kRoot).has_value());
    EXPECT_FALSE(LocationBelowRoot("/media/stick/../other", kRoot).has_value());
    EXPECT_FALSE(LocationBelowRoot("/media/stick/Sync", "").has_value());
}

TEST(MediumPaths, TypedLocationLosesTheRootOnlyWhenItBeginsWithIt)
{
    EXPECT_EQ("Sync", LocationFromTyped("/media/stick/Sync", kRoot));
    EXPECT_EQ("Sync\\Work", LocationFromTyped("/media/stick/Sync/Work", kRoot));
    EXPECT_EQ("", LocationFromTyped("/media/stick", kRoot));
    EXPECT_EQ("\\media\\Stick\\Sync", LocationFromTyped("/media/Stick/Sync", kRoot));
    EXPECT_EQ("Sync", LocationFromTyped("Sync", kRoot));
    EXPECT_EQ("Sync\\Work", LocationFromTyped("Sync\\Work", kRoot));
    EXPECT_EQ("Sync\\Work", LocationFromTyped("Sync/Work", ""));
}

} // namespace
