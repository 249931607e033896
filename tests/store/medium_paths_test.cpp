#include "store/medium_paths.h"

#include <gtest/gtest.h>

namespace {

// A stored location is safe with no "..", no absolute path, no drive or server prefix, in either
// separator; an unsafe one gives no directory ("from"). A chosen directory outside the root is
// refused ("below"); a typed location loses the root only when it begins with it ("typed").
// "-" stands for no value.
TEST(MediumPaths, SafeLocationsStayInsideTheRootAndConvertOnlyBelowIt)
{
    for (const char* safe : {"", "Sync\\..Work\\a..b", ".\\Sync"})
        EXPECT_TRUE(IsSafeRelativeLocation(safe)) << safe;
    for (const char* unsafe :
         {"..", "Sync/../etc", "\\Sync", "/etc", "e:Sync", "\\\\server\\share"})
        EXPECT_FALSE(IsSafeRelativeLocation(unsafe)) << unsafe;
    const wxString root = "/media/stick/";
    const struct {
        char function;  // 'f'rom, 'b'elow, 't'yped
        wxString in, root;
        const char* out;
    } cases[] = {
        {'f', "Sync\\Work", root, "/media/stick/Sync/Work"}, {'f', "..\\..\\home", root, "-"},
        {'f', "Sync/Work", "/media/stick", "/media/stick/Sync/Work"},
        {'f', "C:\\Windows", root, "-"},
        {'b', "/media/stick/Sync/Work", root, "Sync\\Work"}, {'b', "/media/stick", root, ""},
        {'b', "/media/Stick/Sync", root, "-"}, {'b', "/media/stickier/Sync", root, "-"},
        {'b', "/media/stick/../other", root, "-"}, {'b', "/media/stick/Sync", "", "-"},
        {'t', "/media/stick/Sync/Work", root, "Sync\\Work"}, {'t', "Sync/Work", "", "Sync\\Work"},
        {'t', "/media/Stick/Sync", root, "\\media\\Stick\\Sync"},
    };
    for (const auto& c : cases) {
        const std::optional<wxString> out = c.function == 'f' ? MediumPathFromLocation(c.root, c.in)
                                            : c.function == 'b' ? LocationBelowRoot(c.in, c.root)
                                                                : LocationFromTyped(c.in, c.root);
        EXPECT_EQ(wxString(c.out), out.value_or("-")) << c.function << " " << c.in << " " << c.root;
    }
}

} // namespace
