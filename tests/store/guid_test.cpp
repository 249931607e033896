#include "store/guid.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

#include "store/text.h"
#include "tests/support/text_shape.h"

namespace {

// Eight lower-case 4-digit values of 0..32767, so each begins with 0-7; a generator stuck on
// part of its range shows up as a digit that never appears.
TEST(NewGuidTest, GuidsAreDistinctOfTheCatalogueFormAndGeneratorsApart)
{
    std::set<std::string> seen, digits;
    for (int i = 0; i < 20000; ++i) {
        const std::string guid = ToUtf8(NewGuid());
        ASSERT_TRUE(HasShape(guid, "7xxx7xxx-7xxx-7xxx-7xxx-7xxx7xxx7xxx") && seen.insert(guid).second) << guid;
        digits.insert({guid[0], '-', guid[35]});
    }
    EXPECT_EQ(digits.size(), 8u * 16u);

    // Two stations started in the same clock second must not make the same rows' GUIDs.
    for (int i = 0; i < 20; ++i) {
        GuidGenerator first, second;
        EXPECT_NE(first.Next(), second.Next());
    }
}

} // namespace
