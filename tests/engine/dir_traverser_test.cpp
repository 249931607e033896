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

using Names = std::vector<std::string>;

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
    void WalkBoth() { WalkBoth(station, medium); }
    void WalkBoth(const TempDir& stationDir, const TempDir& mediumDir)
    {
        swxDirTraverser traverser(stationDir.Path(), mediumDir.Path());
        traverser.SetLists(&files, &directories);
        traverser.SetRules(&rules);
        traverser.SetOwner(&sink);
        traverser.SetUnreadable(&unreadable);
        traverser.Walk();
        traverser.SetStationSide(false);
        traverser.Walk();
        sink.Pump();
    }

    // The keys in the listed order, or sorted where the listing order decides.
    static std::vector<std::string> Keys(const DirEntryList& list, bool sorted = false)
    {
        std::vector<std::string> keys;
        for (const DirEntry& e : list)
            keys.push_back(e.key);
        if (sorted)
            std::sort(keys.begin(), keys.end());
        return keys;
    }
};

TEST_F(swxDirTraverserTest, WithoutRulesEveryDirectoryIsTraversedAndNoFileTaken)
{
    station.Write("a/b/x.txt", "x");
    medium.Write("c/y.txt", "y");
    WalkBoth();
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(Keys(directories), (Names{"a", "a\\b", "c"}));
    EXPECT_EQ(sink.Messages(),
              (Names{"Traversing directory: a", "Traversing directory: a/b",
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
    EXPECT_EQ(Keys(directories), (Names{"keep"}));
    EXPECT_EQ(Keys(files, true), (Names{"keep\\z.txt", "top.txt"}));
}

// Which files and directories a rule list takes from a tree.
struct RuleCase {
    const char* label;
    std::vector<std::pair<const char*, bool>> rules;
    std::vector<const char*> stationFiles, mediumFiles;
    Names files, directories;
};

const RuleCase kRuleCases[] = {
    {"a directory rule names one directory only", {{"\\tmp\\", false}, {"*", true}},
     {"tmp2/a.txt", "a/tmp/b.txt", "x.tmp"}, {},
     {"a\\tmp\\b.txt", "tmp2\\a.txt", "x.tmp"}, {"a", "a\\tmp", "tmp2"}},
    {"a file rule never matches a directory", {{"*.tmp", false}, {"*", true}}, {"d.tmp/a.txt"},
     {}, {"d.tmp\\a.txt"}, {"d.tmp"}},
    {"an empty mask is a file rule matching nothing", {{"", true}}, {"a.txt"}, {}, {}, {}},
    {"the first matching file rule decides", {{"*.doc", false}, {"*", true}},
     {"a.doc", "a.txt"}, {}, {"a.txt"}, {}},
    {"the suffix is cut only behind a name", {{"*", true}}, {}, {"x.bz2", ".bz2"},
     {".bz2", "x"}, {}},
};

TEST_F(swxDirTraverserTest, RulesDecideWhatIsTaken)
{
    for (const RuleCase& c : kRuleCases) {
        SCOPED_TRACE(c.label);
        TempDir stationDir, mediumDir;
        rules.clear();
        files.clear();
        directories.clear();
        sink.events.clear();
        for (const auto& [mask, allow] : c.rules)
            Rule(mask, allow);
        for (const char* name : c.stationFiles)
            stationDir.Write(name, "x");
        for (const char* name : c.mediumFiles)
            mediumDir.Write(name, "x");
        WalkBoth(stationDir, mediumDir);
        EXPECT_EQ(Keys(files, true), c.files);
        EXPECT_EQ(Keys(directories, true), c.directories);
        EXPECT_EQ(sink.CountMessages("Ignore directory: "), 0);
    }
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

TEST_F(swxDirTraverserTest, RulesMatchTheLowerCasedBackslashPath)
{
    Rule("docs\\*.txt", true);
    Rule("\\old\\", false);
    station.Write("Docs/A.TXT", "x");
    station.Write("OLD/b.txt", "x");
    station.Write("Other/c.txt", "x");
    WalkBoth();
    EXPECT_EQ(Keys(files), (Names{"docs\\a.txt"}));
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
              (Names{"Cannot read directory: " + ToUtf8(medium / "absent/") +
                                        " (no deletions are planned for it on the other side)"}));
    EXPECT_TRUE(unreadable.station.empty());
    EXPECT_EQ(unreadable.medium, (Names{""}));
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
    EXPECT_EQ(Keys(directories), (Names{"sub"}));
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
    EXPECT_EQ(unreadable.station, (Names{"locked\\"}));
}

} // namespace
