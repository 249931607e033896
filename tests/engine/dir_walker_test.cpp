#include "engine/dir_walker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "engine_test_support.h"
#include "store/text.h"

namespace {

using Seen = std::vector<std::string>;

// Records what the walk offers: "D rel", "F rel", "U rel", "M" (missing root), "S<why> shown".
class Recorder : public DirWalkVisitor {
public:
    Seen seen;
    std::vector<std::uint64_t> sizes;
    FileTime time = 0;

    wxDirTraverseResult WalkDir(const std::string& rel) override
    {
        seen.push_back("D " + rel);
        return wxDIR_CONTINUE;
    }
    wxDirTraverseResult WalkFile(std::string& rel, FileTime time, std::uint64_t size) override
    {
        seen.push_back("F " + rel);
        this->time = time;
        sizes.push_back(size);
        return wxDIR_CONTINUE;
    }
    void WalkUnreadable(const std::string& rel) override { seen.push_back("U " + rel); }
    void WalkMissingRoot() override { seen.push_back("M"); }
    void WalkSkippedName(const wxString& shown, SkippedName why) override
    {
        seen.push_back("S" + std::to_string(static_cast<int>(why)) + " " + ToUtf8(shown));
    }
};

class WalkDirectoryTreeTest : public ::testing::Test {
protected:
    TempDir dir;
    Recorder recorder;

    bool Walk() { return WalkDirectoryTree(dir.Path(), recorder); }
    std::string Native(const std::string& rel) const { return ToUtf8(dir.Path()) + rel; }
};

TEST_F(WalkDirectoryTreeTest, OffersSubdirectoriesFirstEachWalkedAtOnceThenFiles)
{
    // One subdirectory and one file per level keeps the listing order out of the result.
    WriteWithTime(dir, "top.txt", BaseTime(7) + 1234, "1");
    dir.Write("a/mid.txt", "22");
    dir.Write("a/b/.hidden", "333");
    ASSERT_TRUE(Walk());
    EXPECT_EQ(recorder.seen, (Seen{"D a", "D a/b", "F a/b/.hidden", "F a/mid.txt", "F top.txt"}));
    EXPECT_EQ(recorder.sizes, (std::vector<std::uint64_t>{3, 2, 1}));
    EXPECT_EQ(recorder.time, BaseTime(7) + 1234);
}

// Links, FIFOs and the program's temporary files are not taken; names that cannot stand in
// the catalogue's paths (not UTF-8, holding "\") and files named like temporaries are reported.
TEST_F(WalkDirectoryTreeTest, SkipsLinksAndReportsNamesItCannotTake)
{
    dir.Write("real/x.txt", "x");
    ASSERT_EQ(symlink(Native("real").c_str(), Native("linkdir").c_str()), 0);
    ASSERT_EQ(symlink(Native("real/x.txt").c_str(), Native("linkfile").c_str()), 0);
    ASSERT_EQ(mkfifo(Native("pipe").c_str(), 0600), 0);
    ASSERT_EQ(close(open(Native("caf\xe9.txt").c_str(), O_CREAT | O_WRONLY, 0600)), 0);
    dir.Write("a\\b.txt", "x");
    dir.Write("d\\e/inner.txt", "x");
    dir.Write(".~dralvo-0a1b2c3d4e5f.tmp", "partial");
    dir.Write(".~dralvo-report.tmp", "a user's file");  // not a temporary name: taken
    ASSERT_TRUE(Walk());
    std::sort(recorder.seen.begin(), recorder.seen.end());
    EXPECT_EQ(recorder.seen,
              (Seen{"D real", "F .~dralvo-report.tmp", "F real/x.txt",
                    "S0 " + Native("caf?.txt"), "S1 " + Native("a\\b.txt"),
                    "S1 " + Native("d\\e"), "S2 " + Native(".~dralvo-0a1b2c3d4e5f.tmp")}));
}

// Not readable, readable but not searchable, writable but not readable: what lies inside is
// unknown, and the walk says so instead of showing an empty directory.
TEST_F(WalkDirectoryTreeTest, DirectoryThatCannotBeListedIsReportedUnreadable)
{
    for (const mode_t mode : {0000, 0400, 0300}) {
        SCOPED_TRACE(mode);
        TempDir tree;
        tree.Write("locked/x.txt", "x");
        tree.Write("open/y.txt", "x");
        ASSERT_EQ(chmod(ToUtf8(tree / "locked").c_str(), mode), 0);
        Recorder r;
        WithPermissionsEnforced([&] { ASSERT_TRUE(WalkDirectoryTree(tree.Path(), r)); });
        std::sort(r.seen.begin(), r.seen.end());
        EXPECT_EQ(r.seen, (Seen{"D locked", "D open", "F open/y.txt", "U locked"}));
    }
}

} // namespace
