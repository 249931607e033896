#include "store/guid.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "store/text.h"
#include "tests/support/text_shape.h"

namespace {

// Eight lower-case 4-digit values of 0..32767, so each begins with 0-7; a generator stuck on
// part of its range shows up as a digit that never appears.
TEST(NewGuidTest, ManyGuidsAreDistinctOfTheCatalogueFormAndUseEveryDigit)
{
    std::set<std::string> seen;
    std::set<char> firstDigits, lastDigits;
    for (int i = 0; i < 20000; ++i) {
        const std::string guid = ToUtf8(NewGuid());
        ASSERT_TRUE(HasShape(guid, "7xxx7xxx-7xxx-7xxx-7xxx-7xxx7xxx7xxx")) << guid;
        ASSERT_TRUE(seen.insert(guid).second) << "repeated after " << i;
        firstDigits.insert(guid[0]);
        lastDigits.insert(guid[35]);
    }
    EXPECT_EQ(firstDigits.size(), 8u);
    EXPECT_EQ(lastDigits.size(), 16u);
    EXPECT_TRUE(HasShape(ToUtf8(NowText()), "9999-99-99 99:99:99"));
}

// Two stations started in the same clock second must not make the same rows' GUIDs.
TEST(NewGuidTest, GeneratorsStartedInTheSameSecondDiffer)
{
    for (int i = 0; i < 20; ++i) {
        GuidGenerator first, second;
        EXPECT_NE(first.Next(), second.Next());
    }
}

} // namespace
