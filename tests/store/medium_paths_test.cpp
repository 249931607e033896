#include "store/medium_paths.h"

#include <optional>
#include <utility>
#include <string>

#include <gtest/gtest.h>

namespace {

const wxString kRoot = "/media/stick/";

// No "..", no absolute path, no drive or server prefix, in either separator.
TEST(MediumPaths, SafeLocationsStayInsideTheRootAndConvertOnlyBelowIt)
{
    const std::pair<const char*, bool> safeCases[] = {
        {"", true},         {"Sync\\..Work\\a..b", true}, {".\\Sync", true}, {"..", false},
        {"Sync/../etc", false}, {"\\Sync", false},        {"/etc", false},   {"e:Sync", false},
        {"\\\\server\\share", false},
    };
    for (const auto& [location, safe] : safeCases)
        EXPECT_EQ(safe, IsSafeRelativeLocation(location)) << location;

    // An unsafe stored location gives no directory; a chosen directory outside the root is refused;
    // a typed location loses the root only when it begins with it. "-" stands for no value.
    const struct {
        const char* function;
        wxString in;
        wxString root;
        const char* out;
    } cases[] = {
        {"from", "Sync\\Work", kRoot, "/media/stick/Sync/Work"},
        {"from", "Sync/Work", "/media/stick", "/media/stick/Sync/Work"},
        {"from", "..\\..\\home", kRoot, "-"},
        {"from", "C:\\Windows", kRoot, "-"},
        {"below", "/media/stick/Sync/Work", kRoot, "Sync\\Work"},
        {"below", "/media/stick", kRoot, ""},
        {"below", "/media/Stick/Sync", kRoot, "-"},
        {"below", "/media/stickier/Sync", kRoot, "-"},
        {"below", "/media/stick/../other", kRoot, "-"},
        {"below", "/media/stick/Sync", "", "-"},
        {"typed", "/media/stick/Sync/Work", kRoot, "Sync\\Work"},
        {"typed", "/media/Stick/Sync", kRoot, "\\media\\Stick\\Sync"},
        {"typed", "Sync/Work", "", "Sync\\Work"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.function << " " << c.in << " " << c.root);
        const std::string function = c.function;
        const std::optional<wxString> out = function == "from"    ? MediumPathFromLocation(c.root, c.in)
                                            : function == "below" ? LocationBelowRoot(c.in, c.root)
                                                                  : std::optional(LocationFromTyped(c.in, c.root));
        EXPECT_EQ(wxString(c.out), out.value_or("-"));
    }
}

} // namespace
