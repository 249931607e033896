#include "store/medium_paths.h"

#include <optional>
#include <string>

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

// An unsafe stored location gives no directory; a chosen directory outside the root is refused;
// a typed location loses the root only when it begins with it. "-" stands for no value.
TEST(MediumPaths, LocationsConvertBothWaysOnlyBelowTheRoot)
{
    const struct {
        const char* function;
        wxString in;
        wxString root;
        const char* out;
    } cases[] = {
        {"from", "Sync\\Work", kRoot, "/media/stick/Sync/Work"},
        {"from", "Sync/Work", "/media/stick", "/media/stick/Sync/Work"},
        {"from", "", kRoot, "/media/stick/"},
        {"from", "..\\..\\home", kRoot, "-"},
        {"from", "/home/user", kRoot, "-"},
        {"from", "C:\\Windows", kRoot, "-"},
        {"below", "/media/stick/Sync/Work", kRoot, "Sync\\Work"},
        {"below", "/media/stick/", kRoot, ""},
        {"below", "/media/stick", kRoot, ""},
        {"below", "/media/other/Sync", kRoot, "-"},
        {"below", "/media/Stick/Sync", kRoot, "-"},
        {"below", "/media/stickier/Sync", kRoot, "-"},
        {"below", "/media/stick/../other", kRoot, "-"},
        {"below", "/media/stick/Sync", "", "-"},
        {"typed", "/media/stick/Sync/Work", kRoot, "Sync\\Work"},
        {"typed", "/media/stick", kRoot, ""},
        {"typed", "/media/Stick/Sync", kRoot, "\\media\\Stick\\Sync"},
        {"typed", "Sync\\Work", kRoot, "Sync\\Work"},
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
