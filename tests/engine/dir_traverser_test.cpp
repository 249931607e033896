#include "engine/dir_traverser.h"

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/dir.h>

#include "engine_test_support.h"
#include "store/text.h"

namespace {

class swxDirTraverserTest : public ::testing::Test {
protected:
    TempDir station;
    TempDir medium;
    FolderRules rules;
    DirEntryList files;
    DirEntryList directories;
    UnreadableDirs unreadable;
    EventSink sink;

    void Rule(const char* mask, bool allow)
    {
        rules.push_back(std::make_unique<FolderRule>(FolderRule{mask, allow}));
    }

    // Walks both sides as a comparison does and handles the posted messages.
    void WalkBoth()
    {
        swxDirTraverser traverser(station.Path(), medium.Path());
        traverser.SetLists(&files, &directories);
        traverser.SetRules(&rules);
        traverser.SetOwner(&sink);
        traverser.SetUnreadable(&unreadable);
        traverser.Walk();
        traverser.SetStationSide(false);
        traverser.Walk();
        sink.Pump();
    }

    static std::vector<std::string> Keys(const DirEntryList& list)
    {
        std::vector<std::string> keys;
        for (const DirEntry& e : list)
            keys.push_back(e.key);
        return keys;
    }
};

TEST_F(swxDirTraverserTest, WithoutRulesEveryDirectoryIsTraversedAndNoFileTaken)
{
    station.Write("a/b/x.txt", "x");
    medium.Write("c/y.txt", "y");
    WalkBoth();
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(Keys(directories), (std::vector<std::string>{"a", "a\\b", "c"}));
    EXPECT_EQ(sink.Messages(),
              (std::vector<std::string>{"Traversing directory: a", "Traversing directory: a/b",
                                        "Traversing directory: c"}));
    for (const auto& e : sink.events) {
        EXPECT_EQ(e.id, ID_THREAD_EVENT);
        EXPECT_EQ(e.code, TE_MESSAGE);
    }
}

TEST_F(swxDirTraverserTest, DeniedDirectoryIsReportedOnceAndNothingBelowIsOffered)
{
    Rule("*", true);
    Rule("\\tmp\\", false);
    station.Write("tmp/deep/x.txt", "x");
    station.Write("tmp/y.txt", "x");
    station.Write("keep/z.txt", "x");
    station.Write("top.txt", "x");
    WalkBoth();
    EXPECT_EQ(sink.CountMessages("Ignore directory: "), 1);
    EXPECT_EQ(sink.CountMessages("Ignore directory: tmp"), 1);
    EXPECT_EQ(sink.CountMessages("Traversing directory: tmp"), 0);
    EXPECT_EQ(Keys(directories), (std::vector<std::string>{"keep"}));
    std::vector<std::string> keys = Keys(files);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{"keep\\z.txt", "top.txt"}));
}

TEST_F(swxDirTraverserTest, DirectoryRuleNamesOneDirectoryOnly)
{
    Rule("\\tmp\\", false);
    Rule("*", true);
    station.Write("tmp2/a.txt", "x");
    station.Write("a/tmp/b.txt", "x");
    station.Write("x.tmp", "x");
    WalkBoth();
    EXPECT_EQ(sink.CountMessages("Ignore directory: "), 0);
    EXPECT_EQ(files.size(), 3u);
}

TEST_F(swxDirTraverserTest, FileRuleNeverMatchesADirectory)
{
    Rule("*.tmp", false);
    Rule("*", true);
    station.Write("d.tmp/a.txt", "x");
    WalkBoth();
    EXPECT_EQ(Keys(directories), (std::vector<std::string>{"d.tmp"}));
    EXPECT_EQ(Keys(files), (std::vector<std::string>{"d.tmp\\a.txt"}));
}

TEST_F(swxDirTraverserTest, CompressedNameOnTheMediumPairsWithThePlainName)
{
    Rule("*", true);
    WriteWithTime(station, "report.txt", BaseTime(0));
    WriteWithTime(medium, "Report.txt.bz2", BaseTime(9));
    WalkBoth();
    ASSERT_EQ(files.size(), 1u);
    const DirEntry& e = files[0];
    EXPECT_EQ(e.key, "report.txt");
    EXPECT_EQ(e.stationRel, "report.txt");
    EXPECT_EQ(e.mediumRel, "Report.txt");
    EXPECT_EQ(e.stationCount, 1);
    EXPECT_EQ(e.mediumCount, 1);
    EXPECT_EQ(e.stationTime, BaseTime(0));
    EXPECT_EQ(e.mediumTime, BaseTime(9));
}

TEST_F(swxDirTraverserTest, PlainAndCompressedCopiesOfOneNameCountTwice)
{
    Rule("*", true);
    WriteWithTime(medium, "a.txt", BaseTime(1));
    WriteWithTime(medium, "a.txt.bz2", BaseTime(2));
    WalkBoth();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].mediumCount, 2);
    EXPECT_EQ(files[0].stationCount, 0);
    EXPECT_EQ(files[0].mediumRel, "a.txt");
    // The one found second wins; the listing order decides which that is.
    EXPECT_TRUE(files[0].mediumTime == BaseTime(1) || files[0].mediumTime == BaseTime(2));
}

TEST_F(swxDirTraverserTest, SuffixIsCutOnlyBehindAName)
{
    Rule("*", true);
    medium.Write("x.bz2", "x");
    medium.Write(".bz2", "x");
    WalkBoth();
    std::vector<std::string> keys = Keys(files);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::string>{".bz2", "x"}));
}

TEST_F(swxDirTraverserTest, EmptyMaskIsAFileRuleMatchingNothing)
{
    Rule("", true);
    station.Write("a.txt", "x");
    WalkBoth();
    EXPECT_TRUE(files.empty());
}

TEST_F(swxDirTraverserTest, FirstMatchingFileRuleDecides)
{
    Rule("*.doc", false);
    Rule("*", true);
    station.Write("a.doc", "x");
    station.Write("a.txt", "x");
    WalkBoth();
    EXPECT_EQ(Keys(files), (std::vector<std::string>{"a.txt"}));
}

TEST_F(swxDirTraverserTest, RulesMatchTheLowerCasedBackslashPath)
{
    Rule("docs\\*.txt", true);
    Rule("\\old\\", false);
    station.Write("Docs/A.TXT", "x");
    station.Write("OLD/b.txt", "x");
    station.Write("Other/c.txt", "x");
    WalkBoth();
    EXPECT_EQ(Keys(files), (std::vector<std::string>{"docs\\a.txt"}));
    EXPECT_EQ(files[0].stationRel, "Docs/A.TXT");
    EXPECT_EQ(sink.CountMessages("Ignore directory: OLD"), 1);
}

TEST_F(swxDirTraverserTest, UnicodeNamesPairWithoutRegardToCase)
{
    Rule("*", true);
    station.Write(wxString::FromUTF8("ОТЧЁТ.txt"), "x");
    medium.Write(wxString::FromUTF8("отчёт.txt"), "x");
    WalkBoth();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].key, "отчёт.txt");
    EXPECT_EQ(files[0].stationRel, "ОТЧЁТ.txt");
    EXPECT_EQ(files[0].stationCount, 1);
    EXPECT_EQ(files[0].mediumCount, 1);
}

TEST_F(swxDirTraverserTest, MissingRootIsReportedAndRecorded)
{
    Rule("*", true);
    station.Write("a.txt", "x");
    swxDirTraverser traverser(station.Path(), medium / "absent");
    traverser.SetLists(&files, &directories);
    traverser.SetOwner(&sink);
    traverser.SetUnreadable(&unreadable);
    EXPECT_TRUE(traverser.Walk());
    traverser.SetStationSide(false);
    EXPECT_FALSE(traverser.Walk());
    sink.Pump();
    EXPECT_EQ(sink.Messages(),
              (std::vector<std::string>{"Cannot read directory: " + ToUtf8(medium / "absent/") +
                                        " (no deletions are planned for it on the other side)"}));
    EXPECT_TRUE(unreadable.station.empty());
    EXPECT_EQ(unreadable.medium, (std::vector<std::string>{""}));
    EXPECT_TRUE(unreadable.Hides(false, "anything"));
}

TEST_F(swxDirTraverserTest, WorksAsAWxDirTraverserToo)
{
    Rule("*", true);
    WriteWithTime(station, "Sub/a.TXT.bz2", BaseTime(3));
    swxDirTraverser traverser(station.Path(), medium.Path());
    traverser.SetLists(&files, &directories);
    traverser.SetRules(&rules);
    wxDir(station.Path())
        .Traverse(traverser, wxEmptyString, wxDIR_FILES | wxDIR_DIRS | wxDIR_HIDDEN);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].stationRel, "Sub/a.TXT");
    EXPECT_EQ(files[0].stationTime, BaseTime(3));
    EXPECT_EQ(Keys(directories), (std::vector<std::string>{"sub"}));
}

TEST_F(swxDirTraverserTest, DirectoryWxCannotOpenIsRecordedAsUnreadable)
{
    station.Write("locked/a.txt", "x");
    ASSERT_EQ(chmod(ToUtf8(station / "locked").c_str(), 0), 0);
    swxDirTraverser traverser(station.Path(), medium.Path());
    traverser.SetLists(&files, &directories);
    traverser.SetUnreadable(&unreadable);
    WithPermissionsEnforced([&] {
        wxDir(station.Path())
            .Traverse(traverser, wxEmptyString, wxDIR_FILES | wxDIR_DIRS | wxDIR_HIDDEN);
    });
    EXPECT_EQ(unreadable.station, (std::vector<std::string>{"locked\\"}));
}

} // namespace
