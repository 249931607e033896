#include "engine/dir_compare.h"

#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "store/text.h"

namespace {

using Items = std::vector<std::string>;

class swxDirCompareTest : public ::testing::Test {
protected:
    TempDir station;
    TempDir medium;
    FolderRules rules;
    swxDirCompare::ItemList output;
    EventSink sink;
    std::unique_ptr<swxDirCompare> comparer;

    void SetUp() override { Rule("*", true); }

    void Rule(const char* mask, bool allow)
    {
        rules.push_back(std::make_unique<FolderRule>(FolderRule{mask, allow}));
    }

    // Runs one comparison of the two folders and handles its events.
    bool Compare(int mode, const wxString& stationPath = {}, const wxString& mediumPath = {})
    {
        comparer = std::make_unique<swxDirCompare>(
            &sink, stationPath.empty() ? station.Path() : stationPath,
            mediumPath.empty() ? medium.Path() : mediumPath, mode);
        comparer->SetOutput(&output);
        comparer->SetRules(&rules);
        const bool result = comparer->Compare();
        sink.Pump();
        return result;
    }

    // The planned items of a successful comparison (see Planned()).
    Items Plan(int mode)
    {
        EXPECT_TRUE(Compare(mode)) << mode;
        return Planned();
    }

    // "S:rel" or "M:rel" for a path under one of the roots.
    std::string Place(const wxString& path) const
    {
        if (path.StartsWith(station.Path()))
            return "S:" + ToUtf8(path.Mid(station.Path().length()));
        if (path.StartsWith(medium.Path()))
            return "M:" + ToUtf8(path.Mid(medium.Path().length()));
        return "?:" + ToUtf8(path);
    }

    // The planned items as "ACTION [source >] target", checking the flags on the way.
    Items Planned() const
    {
        Items texts;
        for (const auto& item : output) {
            EXPECT_TRUE(item->selected);
            const std::string target = Place(item->target);
            EXPECT_EQ(item->targetOnMedium, target[0] == 'M') << target;
            std::string text = ToUtf8(ActionName(*item)) + " ";
            if (item->action == FP_COPY || item->action == FP_MOVE) {
                text += Place(item->source) + " > ";
                FileTime sourceTime = 0;
                // A source on the medium may be stored compressed.
                EXPECT_TRUE(GetFileModTime(item->source, sourceTime) ||
                            GetFileModTime(item->source + ".bz2", sourceTime));
                EXPECT_EQ(item->sourceTime, sourceTime) << text;
            } else {
                EXPECT_TRUE(item->source.empty());
            }
            texts.push_back(text + target);
        }
        return texts;
    }

    // A tree where every directory holds at most one subdirectory and one file per side, so
    // the walk's order does not depend on the listing order:
    //   same.txt                  both, equal times
    //   d1/up.txt                 both, newer on the station
    //   d1/d2/down.txt            both, newer on the medium
    //   d1/d2/d3/st.txt           station only
    //   d1/d2/d3/s5/              directory on the station only
    //   d1/d2/d3/d4/md.txt        medium only, in a directory on the medium only
    // Directory entries: d1, d2, d3, s5, d4. File entries: st, down, up, same, md.
    void MakeStandardTree()
    {
        WriteWithTime(station, "same.txt", BaseTime(0));
        WriteWithTime(medium, "same.txt", BaseTime(0));
        WriteWithTime(station, "d1/up.txt", BaseTime(10));
        WriteWithTime(medium, "d1/up.txt", BaseTime(0));
        WriteWithTime(station, "d1/d2/down.txt", BaseTime(0));
        WriteWithTime(medium, "d1/d2/down.txt", BaseTime(10));
        WriteWithTime(station, "d1/d2/d3/st.txt", BaseTime(0));
        station.MakeDir("d1/d2/d3/s5");
        WriteWithTime(medium, "d1/d2/d3/d4/md.txt", BaseTime(0));
    }
};

struct ModeCase {
    int mode;
    Items items;
    int steps;
};

const ModeCase kModeCases[] = {
    {SD_COPY,
     {"FP_MKDIR M:d1/d2/d3/s5", "FP_COPY S:d1/d2/d3/st.txt > M:d1/d2/d3/st.txt",
      "FP_COPY S:d1/up.txt > M:d1/up.txt"},
     5 + 4},
    {SD_COPY_DEL,
     {"FP_MKDIR M:d1/d2/d3/s5", "FP_DELETE M:d1/d2/d3/d4/md.txt",
      "FP_COPY S:d1/d2/d3/st.txt > M:d1/d2/d3/st.txt", "FP_COPY S:d1/up.txt > M:d1/up.txt"},
     5 + 5},
    {SD_COPY_M,
     {"FP_MKDIR M:d1/d2/d3/s5", "FP_DELETE S:d1/d2/down.txt", "FP_DELETE S:same.txt",
      "FP_MOVE S:d1/d2/d3/st.txt > M:d1/d2/d3/st.txt", "FP_MOVE S:d1/up.txt > M:d1/up.txt"},
     5 + 4},
    {SD_COPY_MDEL,
     {"FP_MKDIR M:d1/d2/d3/s5", "FP_DELETE S:d1/d2/down.txt", "FP_DELETE S:same.txt",
      "FP_DELETE M:d1/d2/d3/d4/md.txt", "FP_MOVE S:d1/d2/d3/st.txt > M:d1/d2/d3/st.txt",
      "FP_MOVE S:d1/up.txt > M:d1/up.txt"},
     5 + 5},
    {DS_COPY,
     {"FP_MKDIR S:d1/d2/d3/d4", "FP_COPY M:d1/d2/down.txt > S:d1/d2/down.txt",
      "FP_COPY M:d1/d2/d3/d4/md.txt > S:d1/d2/d3/d4/md.txt"},
     5 + 4},
    {DS_COPY_DEL,
     {"FP_MKDIR S:d1/d2/d3/d4", "FP_DELETE S:d1/d2/d3/st.txt",
      "FP_COPY M:d1/d2/down.txt > S:d1/d2/down.txt",
      "FP_COPY M:d1/d2/d3/d4/md.txt > S:d1/d2/d3/d4/md.txt"},
     5 + 5},
    {DS_COPY_M,
     {"FP_MKDIR S:d1/d2/d3/d4", "FP_DELETE M:d1/up.txt", "FP_DELETE M:same.txt",
      "FP_MOVE M:d1/d2/down.txt > S:d1/d2/down.txt",
      "FP_MOVE M:d1/d2/d3/d4/md.txt > S:d1/d2/d3/d4/md.txt"},
     5 + 4},
    {DS_COPY_MDEL,
     {"FP_MKDIR S:d1/d2/d3/d4", "FP_DELETE S:d1/d2/d3/st.txt", "FP_DELETE M:d1/up.txt",
      "FP_DELETE M:same.txt", "FP_MOVE M:d1/d2/down.txt > S:d1/d2/down.txt",
      "FP_MOVE M:d1/d2/d3/d4/md.txt > S:d1/d2/d3/d4/md.txt"},
     5 + 5},
    {SD_COPY_DS,
     {"FP_MKDIR M:d1/d2/d3/s5", "FP_MKDIR S:d1/d2/d3/d4",
      "FP_COPY S:d1/d2/d3/st.txt > M:d1/d2/d3/st.txt",
      "FP_COPY M:d1/d2/down.txt > S:d1/d2/down.txt", "FP_COPY S:d1/up.txt > M:d1/up.txt",
      "FP_COPY M:d1/d2/d3/d4/md.txt > S:d1/d2/d3/d4/md.txt"},
     5 + 4},
    {SD_COPY_DEL_DS,
     {"FP_MKDIR M:d1/d2/d3/s5", "FP_MKDIR S:d1/d2/d3/d4", "FP_DELETE M:d1/d2/d3/d4/md.txt",
      "FP_COPY S:d1/d2/d3/st.txt > M:d1/d2/d3/st.txt",
      "FP_COPY M:d1/d2/down.txt > S:d1/d2/down.txt", "FP_COPY S:d1/up.txt > M:d1/up.txt"},
     5 + 4},
    {DS_COPY_DEL_SD,
     {"FP_MKDIR M:d1/d2/d3/s5", "FP_MKDIR S:d1/d2/d3/d4", "FP_DELETE S:d1/d2/d3/st.txt",
      "FP_COPY M:d1/d2/down.txt > S:d1/d2/down.txt", "FP_COPY S:d1/up.txt > M:d1/up.txt",
      "FP_COPY M:d1/d2/d3/d4/md.txt > S:d1/d2/d3/d4/md.txt"},
     5 + 4},
};

TEST_F(swxDirCompareTest, EveryModePlansItsItemsInOrder)
{
    MakeStandardTree();
    for (const ModeCase& c : kModeCases) {
        SCOPED_TRACE(c.mode);
        sink.events.clear();
        ASSERT_TRUE(Compare(c.mode));
        EXPECT_EQ(Planned(), c.items);
        EXPECT_EQ(sink.Count(TE_STEP), c.steps);
        ASSERT_EQ(sink.Count(TE_START), 1);
        EXPECT_EQ(comparer->FileCount(), 5u);
        EXPECT_EQ(comparer->DirectoryCount(), 5u);
    }
}

TEST_F(swxDirCompareTest, FoundNamesAreAnnouncedBeforeTheSteps)
{
    // Three files in two taken directories against an empty medium folder.
    station.Write("a/one.txt", "1");
    station.Write("a/b/two.txt", "2");
    station.Write("three.txt", "3");
    ASSERT_TRUE(Compare(SD_COPY));
    const auto start = std::find_if(sink.events.begin(), sink.events.end(),
                                    [](const EventSink::Posted& e) { return e.code == TE_START; });
    ASSERT_NE(start, sink.events.end());
    EXPECT_EQ(start->value, 5);
    EXPECT_EQ(start->text, "3 files in 2 directories found");
    EXPECT_EQ(start->id, ID_THREAD_EVENT);
    for (auto e = sink.events.begin(); e != start; ++e)
        EXPECT_EQ(e->code, TE_MESSAGE);
    for (auto e = start + 1; e != sink.events.end(); ++e)
        EXPECT_EQ(e->code, TE_STEP);
    EXPECT_EQ(output.size(), 2u + 3u);
}

// One name on both sides, written "Tt.txt" on the station and stored compressed as
// "tT.TXT.bz2" on the medium: what each mode plans when the times are equal, when the station
// copy is newer and when the medium copy is newer. Targets keep the case of the side they are on.
struct TimeCase {
    int mode;
    const char* equal;
    const char* stationNewer;
    const char* mediumNewer;
};

const char kUp[] = "FP_COPY S:Tt.txt > M:tT.TXT";
const char kDown[] = "FP_COPY M:tT.TXT > S:Tt.txt";
const char kMoveUp[] = "FP_MOVE S:Tt.txt > M:tT.TXT";
const char kMoveDown[] = "FP_MOVE M:tT.TXT > S:Tt.txt";
const char kDeleteOnStation[] = "FP_DELETE S:Tt.txt";
const char kDeleteOnMedium[] = "FP_DELETE M:tT.TXT";

const TimeCase kTimeCases[] = {
    {SD_COPY, "", kUp, ""},
    {SD_COPY_DEL, "", kUp, ""},
    {SD_COPY_M, kDeleteOnStation, kMoveUp, kDeleteOnStation},
    {SD_COPY_MDEL, kDeleteOnStation, kMoveUp, kDeleteOnStation},
    {DS_COPY, "", "", kDown},
    {DS_COPY_DEL, "", "", kDown},
    {DS_COPY_M, kDeleteOnMedium, kDeleteOnMedium, kMoveDown},
    {DS_COPY_MDEL, kDeleteOnMedium, kDeleteOnMedium, kMoveDown},
    {SD_COPY_DS, "", kUp, kDown},
    {SD_COPY_DEL_DS, "", kUp, kDown},
    {DS_COPY_DEL_SD, "", kUp, kDown},
};

TEST_F(swxDirCompareTest, TimesWithinThreeSecondsAreEqualInEveryMode)
{
    const wxString stationFile = WriteWithTime(station, "Tt.txt", BaseTime(0));
    const wxString mediumFile = WriteWithTime(medium, "tT.TXT.bz2", BaseTime(0));
    // Station minus medium, in seconds.
    const std::pair<int, int> differences[] = {{0, 0}, {2, 0}, {0, 2}, {3, 0}, {0, 3},
                                               {4, 0}, {0, 4}};
    for (const TimeCase& c : kTimeCases) {
        for (const auto& [stationSeconds, mediumSeconds] : differences) {
            SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", station +" << stationSeconds
                                            << " s, medium +" << mediumSeconds << " s");
            ASSERT_TRUE(SetFileModTime(stationFile, BaseTime(stationSeconds)));
            ASSERT_TRUE(SetFileModTime(mediumFile, BaseTime(mediumSeconds)));
            ASSERT_TRUE(Compare(c.mode));
            const char* expected = stationSeconds - mediumSeconds > 3   ? c.stationNewer
                                   : mediumSeconds - stationSeconds > 3 ? c.mediumNewer
                                                                        : c.equal;
            EXPECT_EQ(Planned(), *expected ? Items{expected} : Items{});
        }
    }
}

TEST_F(swxDirCompareTest, EqualNamesGetNoStepInTheTwoWayModes)
{
    WriteWithTime(station, "same.txt", BaseTime(3));
    WriteWithTime(medium, "same.txt", BaseTime(0));
    WriteWithTime(station, "d/new.txt", BaseTime(0));
    for (int mode : {SD_COPY_DS, SD_COPY_DEL_DS, DS_COPY_DEL_SD}) {
        sink.events.clear();
        ASSERT_TRUE(Compare(mode));
        EXPECT_EQ(sink.Count(TE_STEP), 1 + 1) << mode;  // the directory d and new.txt
    }
}

// New names go into the existing directory of other case.
TEST_F(swxDirCompareTest, TargetOnTheExistingSideKeepsThatSidesCase)
{
    WriteWithTime(station, "Report.txt", BaseTime(10));
    WriteWithTime(medium, "report.TXT.bz2", BaseTime(0));
    WriteWithTime(station, "Docs/New/a.txt", BaseTime(0));
    WriteWithTime(station, "Docs/b.txt", BaseTime(0));
    medium.MakeDir("docs");
    EXPECT_EQ(Plan(SD_COPY),
              (Items{"FP_MKDIR M:docs/New", "FP_COPY S:Docs/New/a.txt > M:docs/New/a.txt",
                     "FP_COPY S:Docs/b.txt > M:docs/b.txt",
                     "FP_COPY S:Report.txt > M:report.TXT"}));
}

TEST_F(swxDirCompareTest, DirectoriesOnlyOnOneSideAreMadeOnTheOther)
{
    station.MakeDir("up/inner");
    medium.MakeDir("down");
    EXPECT_EQ(Plan(SD_COPY), (Items{"FP_MKDIR M:up", "FP_MKDIR M:up/inner"}));
    EXPECT_EQ(Plan(DS_COPY), (Items{"FP_MKDIR S:down"}));
    EXPECT_EQ(Plan(DS_COPY_M), (Items{"FP_MKDIR S:down"}));
}

TEST_F(swxDirCompareTest, CaseTwinsAreListedDirectoriesFirst)
{
    station.Write("A.txt", "x");
    station.Write("a.txt", "x");
    medium.Write("b.txt", "x");
    medium.Write("b.txt.bz2", "x");
    medium.MakeDir("Dir");
    medium.MakeDir("dir");
    ASSERT_TRUE(Compare(SD_COPY_DS));
    ASSERT_EQ(comparer->Twins().size(), 3u);
    EXPECT_TRUE(comparer->Twins()[0] == medium / "Dir" || comparer->Twins()[0] == medium / "dir");
    EXPECT_TRUE(comparer->Twins()[1] == station / "A.txt" ||
                comparer->Twins()[1] == station / "a.txt");
    EXPECT_EQ(comparer->Twins()[2], medium / "b.txt");
}

TEST_F(swxDirCompareTest, RulesAreNormalisedAndDecideWhatIsCompared)
{
    rules.clear();
    Rule("\\Tmp\\", false);
    Rule("*.DOC", false);
    Rule("Notes/*", true);
    Rule("*.txt", true);
    station.Write("tmp/a.txt", "x");
    station.Write("b.doc", "x");
    station.Write("c.txt", "x");
    station.Write("notes/d.bin", "x");
    medium.Write("e.bin", "x");
    ASSERT_TRUE(Compare(SD_COPY_DEL));
    EXPECT_EQ(rules[0]->mask, "\\tmp\\");
    EXPECT_EQ(rules[2]->mask, "notes\\*");
    EXPECT_EQ(Planned(), (Items{"FP_MKDIR M:notes", "FP_COPY S:notes/d.bin > M:notes/d.bin",
                                "FP_COPY S:c.txt > M:c.txt"}));
    EXPECT_EQ(sink.CountMessages("Ignore directory: tmp"), 1);
}

// A valid but unnamed mode walks and plans nothing.
TEST_F(swxDirCompareTest, MissingOutputOrInvalidOrUnnamedModePlansNothing)
{
    station.Write("a.txt", "x");
    comparer = std::make_unique<swxDirCompare>(&sink, station.Path(), medium.Path(), SD_COPY);
    EXPECT_FALSE(comparer->Compare());
    EXPECT_FALSE(Compare(2));
    EXPECT_FALSE(Compare(0));
    sink.Pump();
    EXPECT_TRUE(sink.events.empty());

    EXPECT_FALSE(Compare(65));
    EXPECT_TRUE(output.empty());
    EXPECT_EQ(sink.Count(TE_START), 1);
    EXPECT_EQ(sink.Count(TE_STEP), 0);
}

TEST_F(swxDirCompareTest, UnreadableRootPlansNoDeletionOnTheOtherSide)
{
    station.Write("keep.txt", "x");
    WriteWithTime(station, "sub/keep2.txt", BaseTime(0));
    const wxString absent = medium / "not-mounted";
    ASSERT_TRUE(Compare(DS_COPY_DEL, station.Path(), absent));
    EXPECT_EQ(Planned(), Items{});
    EXPECT_EQ(sink.CountMessages("Cannot read directory: " + ToUtf8(absent) + "/"), 1);

    ASSERT_TRUE(Compare(DS_COPY_DEL_SD, station.Path(), absent));
    EXPECT_EQ(output.size(), 1u); // only the directory to make on the medium; no deletion
    EXPECT_EQ(output[0]->action, FP_MKDIR);

    // Copies towards the missing folder are still planned (a first run to a new medium).
    ASSERT_TRUE(Compare(SD_COPY_DEL_DS, station.Path(), absent));
    EXPECT_EQ(output.size(), 3u);
}

TEST_F(swxDirCompareTest, UnreadableStationRootKeepsTheMediumFiles)
{
    medium.Write("a.txt", "x");
    const wxString file = station.Write("not-a-folder", "x");
    ASSERT_TRUE(Compare(SD_COPY_DEL, file));
    EXPECT_TRUE(output.empty());
    ASSERT_TRUE(Compare(SD_COPY_MDEL, file));
    EXPECT_TRUE(output.empty());
    ASSERT_TRUE(Compare(DS_COPY_DEL, file)); // copies down are still planned
    ASSERT_EQ(output.size(), 1u);
    EXPECT_EQ(output[0]->action, FP_COPY);
}

TEST_F(swxDirCompareTest, UnreadableSubdirectoryProtectsOnlyWhatLiesBelowIt)
{
    station.Write("locked/inner.txt", "x");
    medium.Write("locked/inner.txt", "x");
    medium.Write("locked/more/deep.txt", "x");
    medium.Write("lockedness.txt", "x");
    medium.Write("gone.txt", "x");
    ASSERT_EQ(chmod(ToUtf8(station / "locked").c_str(), 0), 0);
    WithPermissionsEnforced([this] { ASSERT_TRUE(Compare(SD_COPY_DEL)); });
    sink.Pump();
    Items planned = Planned();
    std::sort(planned.begin(), planned.end());
    EXPECT_EQ(planned, (Items{"FP_DELETE M:gone.txt", "FP_DELETE M:lockedness.txt"}));
    EXPECT_EQ(sink.CountMessages("Cannot read directory: " + ToUtf8(station / "locked")), 1);
}

TEST_F(swxDirCompareTest, CancelBeforeCompareLeavesTheOutputUntouched)
{
    station.Write("a.txt", "x");
    output.push_back(std::make_unique<SyncItem>());
    comparer = std::make_unique<swxDirCompare>(&sink, station.Path(), medium.Path(), SD_COPY);
    comparer->SetOutput(&output);
    comparer->SetRules(&rules);
    comparer->Cancel();
    EXPECT_TRUE(comparer->Compare());
    EXPECT_EQ(output.size(), 1u);
    EXPECT_EQ(rules[0]->mask, "*");
}

TEST_F(swxDirCompareTest, CancelDuringTheWalkStopsItAndPlansNothing)
{
    for (int i = 0; i < 40; ++i)
        station.Write(wxString::Format("d%02d/f.txt", i), "x");
    CancellingSink<swxDirCompare> cancelling;
    cancelling.cancelAt = 3;
    swxDirCompare compare(&cancelling, station.Path(), medium.Path(), SD_COPY);
    cancelling.target = &compare;
    compare.SetOutput(&output);
    compare.SetRules(&rules);
    EXPECT_TRUE(compare.Compare());
    cancelling.Pump();
    EXPECT_TRUE(output.empty());
    EXPECT_EQ(cancelling.CountMessages("Traversing directory: "), 3);
    EXPECT_EQ(cancelling.Count(TE_START), 0);
    EXPECT_EQ(cancelling.Count(TE_STEP), 0);
}

} // namespace
