#include "engine/dir_walker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "store/text.h"

namespace {

// Records what the walk offers as "D rel", "F rel", "U rel", "B shown".
class Recorder : public DirWalkVisitor {
public:
    std::vector<std::string> seen;
    std::string ignore; // a directory answered with ignore
    std::string stopAt; // a name answered with stop
    std::vector<FileTime> times;
    std::vector<std::uint64_t> sizes;

    wxDirTraverseResult WalkDir(const std::string& rel) override
    {
        seen.push_back("D " + rel);
        if (rel == stopAt)
            return wxDIR_STOP;
        return rel == ignore ? wxDIR_IGNORE : wxDIR_CONTINUE;
    }
    wxDirTraverseResult WalkFile(std::string& rel, FileTime time, std::uint64_t size) override
    {
        seen.push_back("F " + rel);
        times.push_back(time);
        sizes.push_back(size);
        return rel == stopAt ? wxDIR_STOP : wxDIR_CONTINUE;
    }
    void WalkUnreadable(const std::string& rel) override { seen.push_back("U " + rel); }
    void WalkBadName(const wxString& shown) override { seen.push_back("B " + ToUtf8(shown)); }
};

class WalkDirectoryTreeTest : public ::testing::Test {
protected:
    TempDir dir;
    Recorder recorder;

    bool Walk() { return WalkDirectoryTree(dir.Path(), recorder); }
    std::string Native(const char* rel) const { return ToUtf8(dir.Path()) + rel; }
    bool Saw(const std::string& what) const
    {
        return std::find(recorder.seen.begin(), recorder.seen.end(), what) != recorder.seen.end();
    }
};

TEST_F(WalkDirectoryTreeTest, OffersSubdirectoriesFirstEachWalkedAtOnceThenFiles)
{
    // One subdirectory and one file per level keeps the listing order out of the result.
    dir.Write("top.txt", "1");
    dir.Write("a/mid.txt", "22");
    dir.Write("a/b/.hidden", "333");
    ASSERT_TRUE(Walk());
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"D a", "D a/b", "F a/b/.hidden",
                                                       "F a/mid.txt", "F top.txt"}));
    EXPECT_EQ(recorder.sizes, (std::vector<std::uint64_t>{3, 2, 1}));
}

TEST_F(WalkDirectoryTreeTest, GivesTheFileTimeOfTheFile)
{
    WriteWithTime(dir, "f.txt", BaseTime(7) + 1234);
    ASSERT_TRUE(Walk());
    ASSERT_EQ(recorder.times.size(), 1u);
    EXPECT_EQ(recorder.times[0], BaseTime(7) + 1234);
}

TEST_F(WalkDirectoryTreeTest, IgnoredDirectoryIsNotEntered)
{
    dir.Write("skip/inner/x.txt", "x");
    dir.Write("keep.txt", "x");
    recorder.ignore = "skip";
    ASSERT_TRUE(Walk());
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"D skip", "F keep.txt"}));
}

TEST_F(WalkDirectoryTreeTest, StopEndsTheWholeWalk)
{
    dir.Write("a/b/x.txt", "x");
    dir.Write("a/y.txt", "x");
    dir.Write("z.txt", "x");
    recorder.stopAt = "a/b/x.txt";
    ASSERT_TRUE(Walk());
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"D a", "D a/b", "F a/b/x.txt"}));
}

TEST_F(WalkDirectoryTreeTest, SymbolicLinksFifosAndTemporaryFilesAreNotTaken)
{
    dir.Write("real/x.txt", "x");
    dir.Write("plain.txt", "x");
    ASSERT_EQ(symlink(Native("real").c_str(), Native("linkdir").c_str()), 0);
    ASSERT_EQ(symlink(Native("plain.txt").c_str(), Native("linkfile").c_str()), 0);
    ASSERT_EQ(mkfifo(Native("pipe").c_str(), 0600), 0);
    dir.Write(".~dralvo1234.tmp", "partial");
    ASSERT_TRUE(Walk());
    EXPECT_EQ(recorder.seen, (std::vector<std::string>{"D real", "F real/x.txt", "F plain.txt"}));
}

TEST_F(WalkDirectoryTreeTest, NameThatIsNotUtf8IsReportedAndSkipped)
{
    const std::string bad = Native("caf\xe9.txt");
    const int fd = open(bad.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(mkdir(Native("d\xff").c_str(), 0700), 0);
    ASSERT_TRUE(Walk());
    ASSERT_EQ(recorder.seen.size(), 2u);
    EXPECT_EQ(recorder.seen[0], "B " + Native("d?"));
    EXPECT_EQ(recorder.seen[1], "B " + Native("caf?.txt"));
}

TEST_F(WalkDirectoryTreeTest, MissingRootIsUnreadable)
{
    Recorder other;
    EXPECT_FALSE(WalkDirectoryTree(dir / "absent", other));
    EXPECT_EQ(other.seen, (std::vector<std::string>{"U "}));
    EXPECT_FALSE(WalkDirectoryTree(dir.Write("file", "x"), other));
}

TEST_F(WalkDirectoryTreeTest, SubdirectoryThatCannotBeOpenedIsReportedAndSkipped)
{
    dir.Write("locked/x.txt", "x");
    dir.Write("open/y.txt", "x");
    ASSERT_EQ(chmod(Native("open").c_str(), 0700), 0);
    ASSERT_EQ(chmod(Native("locked").c_str(), 0), 0);
    WithPermissionsEnforced([this] { ASSERT_TRUE(Walk()); });
    EXPECT_TRUE(Saw("U locked"));
    EXPECT_TRUE(Saw("F open/y.txt"));
    EXPECT_FALSE(Saw("F locked/x.txt"));
}

TEST_F(WalkDirectoryTreeTest, DirectoryWhoseNamesCannotBeExaminedIsUnreadable)
{
    // Readable but not searchable: the names are listed, their types and times are not known.
    dir.Write("listonly/x.txt", "x");
    ASSERT_EQ(chmod(Native("listonly").c_str(), 0400), 0);
    WithPermissionsEnforced([this] { ASSERT_TRUE(Walk()); });
    EXPECT_TRUE(Saw("U listonly"));
    EXPECT_FALSE(Saw("F listonly/x.txt"));
}

} // namespace
