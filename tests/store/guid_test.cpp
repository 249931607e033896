#include "store/guid.h"

#include <regex>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "store/text.h"

namespace {

// Eight lower-case 4-digit values of 0..32767, so each begins with 0-7; a generator stuck on
// part of its range shows up as a digit that never appears.
TEST(NewGuidTest, GuidsAreDistinctOfTheCatalogueFormAndGeneratorsApart)
{
    std::set<std::string> seen, digits;
    const std::regex shape("([0-7][0-9a-f]{3}){2}(-[0-7][0-9a-f]{3}){3}-([0-7][0-9a-f]{3}){3}");
    for (int i = 0; i < 20000; ++i) {
        const std::string guid = ToUtf8(NewGuid());
        ASSERT_TRUE(std::regex_match(guid, shape) && seen.insert(guid).second) << guid;
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
