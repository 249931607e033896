#include "engine/dir_compare.h"

#include <fstream>

#include "engine_test_support.h"

namespace {

// A file with the fixed time moved by whole seconds.
void WriteWithTime(const TempDir& dir, const wxString& rel, int seconds)
{
    EXPECT_TRUE(SetFileModTime(dir.Write(rel, "x"), FileTimeFromUnix(1600000000LL + seconds)));
}

class swxDirCompareTest : public ::testing::Test {
protected:
    TempDir station, medium;
    FolderRules rules;
    swxDirCompare::ItemList output;
    EventSink sink;
    std::unique_ptr<swxDirCompare> comparer;

    void SetUp() override { rules.push_back(std::make_unique<FolderRule>(FolderRule{"*", true})); }
    // Runs one comparison of the two folders (or of the given roots), cancelled first when asked,
    // and handles its events.
    bool Compare(int mode, const wxString& stationPath = {}, const wxString& mediumPath = {},
                 bool cancelled = false)
    {
        comparer = std::make_unique<swxDirCompare>(
            &sink, stationPath.empty() ? station.Path() : stationPath,
            mediumPath.empty() ? medium.Path() : mediumPath, mode);
        comparer->SetOutput(&output);
        comparer->SetRules(&rules);
        if (cancelled)
            comparer->Cancel();
        const bool result = comparer->Compare();
        sink.Pump();
        return result;
    }
    // "S:rel" or "M:rel" for a path under one of the roots.
    std::string Place(const wxString& path) const
    {
        const bool onStation = path.StartsWith(station.Path());
        const TempDir& root = onStation ? station : medium;
        return (onStation ? "S:" : "M:") + ToUtf8(path.Mid(root.Path().length()));
    }
    // The planned items, blank-separated: "+M:dir" make directory, "-S:file" delete, "S:a>M:A"
    // copy and "S:a>>M:A" move (">M" alone when the target has the source's relative path);
    // checks the flags and the source times (a source on the medium may be stored compressed, its
    // suffix in any case).
    std::string Planned() const
    {
        std::string texts;
        for (const auto& item : output) {
            const std::string target = Place(item->target);
            std::string text = (item->action == FP_DELETE ? "-" : "+") + target;
            FileTime time = item->sourceTime;
            if (item->action == FP_COPY || item->action == FP_MOVE) {
                const std::string source = Place(item->source);
                text = source + (item->action == FP_MOVE ? ">>" : ">") +
                       (target.substr(2) == source.substr(2) ? target.substr(0, 1) : target);
                if (!GetFileModTime(item->source, time))
                    GetFileModTime(item->source + ".bz2", time);
            }
            EXPECT_TRUE(item->selected && item->targetOnMedium == (target[0] == 'M') &&
                        item->sourceTime == time && (time != 0) == !std::strchr("+-", text[0]))
                << text;
            texts += (texts.empty() ? "" : " ") + text;
        }
        return texts;
    }
};

// One tree for every mode; each directory holds at most one subdirectory and one file per
// side, so the walk's order does not depend on the listing order. Times within 3 s are equal;
// the medium's file may be compressed and named in another case (targets keep the case of the
// side they are on):
//   same         both, station 3 s newer      a/up        both, station 4 s newer, "a/UP.bz2"
//   a/b/dn       both, medium 4 s newer       a/b/c/st    station only
//   a/b/c/s/     directory on the station     a/b/c/m/md  medium only, in a medium-only directory
// Directory entries: a, b, c, s, m; file entries: st, dn, up, same, md.
struct ModeCase {
    int mode;
    const char* items;
    int steps;
};

const ModeCase kModeCases[] = {
    {SD_COPY, "+M:a/b/c/s S:a/b/c/st>M S:a/up>M:a/UP", 5 + 4},
    {SD_COPY_DEL, "+M:a/b/c/s -M:a/b/c/m/md S:a/b/c/st>M S:a/up>M:a/UP", 5 + 5},
    {SD_COPY_M, "+M:a/b/c/s -S:a/b/dn -S:same S:a/b/c/st>>M S:a/up>>M:a/UP", 5 + 4},
    {SD_COPY_MDEL, "+M:a/b/c/s -S:a/b/dn -S:same -M:a/b/c/m/md S:a/b/c/st>>M S:a/up>>M:a/UP",
     5 + 5},
    {DS_COPY, "+S:a/b/c/m M:a/b/dn>S M:a/b/c/m/md>S", 5 + 4},
    {DS_COPY_DEL, "+S:a/b/c/m -S:a/b/c/st M:a/b/dn>S M:a/b/c/m/md>S", 5 + 5},
    {DS_COPY_M, "+S:a/b/c/m -M:a/UP -M:same M:a/b/dn>>S M:a/b/c/m/md>>S", 5 + 4},
    {DS_COPY_MDEL, "+S:a/b/c/m -S:a/b/c/st -M:a/UP -M:same M:a/b/dn>>S M:a/b/c/m/md>>S", 5 + 5},
    {SD_COPY_DS, "+M:a/b/c/s +S:a/b/c/m S:a/b/c/st>M M:a/b/dn>S S:a/up>M:a/UP M:a/b/c/m/md>S",
     5 + 4},
    {SD_COPY_DEL_DS, "+M:a/b/c/s +S:a/b/c/m -M:a/b/c/m/md S:a/b/c/st>M M:a/b/dn>S S:a/up>M:a/UP",
     5 + 4},
    {DS_COPY_DEL_SD, "+M:a/b/c/s +S:a/b/c/m -S:a/b/c/st M:a/b/dn>S S:a/up>M:a/UP M:a/b/c/m/md>S",
     5 + 4},
};

// The items in order, and the progress: the count of names (code 1) and one step per entry
// handled.
TEST_F(swxDirCompareTest, EveryModePlansItsItemsInOrder)
{
    for (const char* name : {"same", "a/b/c/m/md", "a/UP.bz2"})
        WriteWithTime(medium, name, 0);
    for (const auto& [name, seconds] :
         {std::pair{"a/b/dn", 0}, {"a/b/c/st", 0}, {"same", 3}, {"a/up", 4}})
        WriteWithTime(station, name, seconds);
    WriteWithTime(medium, "a/b/dn", 4);
    station.MakeDir("a/b/c/s");
    for (const ModeCase& c : kModeCases) {
        SCOPED_TRACE(c.mode);
        sink.events.clear();
        ASSERT_TRUE(Compare(c.mode));
        EXPECT_EQ(Planned(), c.items);
        const auto start = std::ranges::find(sink.events, TE_START, &EventSink::Posted::code);
        ASSERT_NE(start, sink.events.end());
        EXPECT_EQ(start->value, 10);
        EXPECT_EQ(start->text, "5 files in 5 directories found");
        EXPECT_EQ(sink.Count(TE_STEP), c.steps);
    }
}

// New names go into the existing directory of other case; rules are normalised in place.
TEST_F(swxDirCompareTest, RulesAndTheCaseOfTheExistingSideDecideTheItems)
{
    rules.clear();
    for (const auto& [mask, allow] : {std::pair{"\\Tmp\\", false}, {"*.DOC", false}, {"*", true}})
        rules.push_back(std::make_unique<FolderRule>(FolderRule{mask, allow}));
    WriteWithTime(station, "Report.txt", 10);
    WriteWithTime(medium, "report.TXT.bz2", 0);
    for (const char* name : {"Docs/New/a.txt", "tmp/b.txt", "c.doc"})
        station.Write(name, "x");
    medium.MakeDir("docs");
    ASSERT_TRUE(Compare(SD_COPY));
    EXPECT_EQ(Planned(),
              "+M:docs/New S:Docs/New/a.txt>M:docs/New/a.txt S:Report.txt>M:report.TXT");
    EXPECT_EQ(rules[0]->mask, "\\tmp\\");
    EXPECT_EQ(std::ranges::count(sink.Messages(), "Ignore directory: tmp"), 1);
}

TEST_F(swxDirCompareTest, CaseTwinsAreListedDirectoriesFirst)
{
    for (const char* name : {"A.txt", "a.txt"})
        station.Write(name, "x");
    for (const char* name : {"b.txt", "b.txt.bz2", "Dir/x", "dir/y"})
        medium.Write(name, "x");
    ASSERT_TRUE(Compare(SD_COPY_DS));
    ASSERT_EQ(comparer->Twins().size(), 3u);
    EXPECT_EQ(comparer->Twins()[0].Lower(), (medium / "dir").Lower());
    EXPECT_EQ(comparer->Twins()[1].Lower(), (station / "a.txt").Lower());
    EXPECT_EQ(comparer->Twins()[2], medium / "b.txt");
}

// No output list, an invalid mode or a cancel first: nothing at all (output and rules stay). A
// valid but unnamed mode walks and plans nothing.
TEST_F(swxDirCompareTest, NothingIsDoneWithoutOutputForAnInvalidModeOrAfterACancel)
{
    station.Write("a.txt", "x");
    EXPECT_FALSE(swxDirCompare(&sink, station.Path(), medium.Path(), SD_COPY).Compare());
    output.push_back(std::make_unique<SyncItem>());
    rules[0]->mask = "A*";
    EXPECT_FALSE(Compare(2));
    EXPECT_TRUE(Compare(SD_COPY, {}, {}, true));
    EXPECT_EQ(output.size(), 1u);
    EXPECT_EQ(rules[0]->mask, "A*");
    EXPECT_TRUE(sink.events.empty());
    EXPECT_FALSE(Compare(65));
    EXPECT_TRUE(output.empty());
    EXPECT_EQ(sink.Codes(), std::vector<int>{TE_START});
}

// What the walks take and say, seen in the plan of a two-way copy and in the messages but
// "Traversing directory" (both sorted, roots written "S:" and "M:"). The trees: "S:rel" a file,
// ending "/" a directory, "->" a link, "|" a FIFO; "S:!" the station root unreadable and "M:~"
// the medium root missing. Links, FIFOs and the program's temporary files are not taken; names
// that cannot stand in the catalogue's paths and files named like temporaries are skipped.
const struct {
    const char* label;
    std::vector<std::pair<const char*, bool>> rules;
    std::vector<std::string> tree;
    const char* items;
    std::vector<std::string> messages;
} kWalkCases[] = {
    {"no rules: directories only", {}, {"S:a/b/x.txt", "M:c/y.txt"}, "+M:a +M:a/b +S:c", {}},
    {"a directory rule names one directory only, a file rule never a directory",
     {{"\\tmp\\", false}, {"*.tmp", false}, {"*", true}},
     {"S:tmp2/a.txt", "S:a/tmp/b.txt", "S:x.tmp", "S:d.tmp/a.txt", "S:tmp/c.txt"},
     "+M:a +M:a/tmp +M:d.tmp +M:tmp2 S:a/tmp/b.txt>M S:d.tmp/a.txt>M S:tmp2/a.txt>M",
     {"Ignore directory: tmp"}},
    {"an empty mask matches nothing; the suffix is cut only behind a name",
     {{"", false}, {"*", true}},
     {"M:x.bz2", "M:.bz2", "M:d/Y.BZ2", "M:z.bz3"}, "+S:d M:.bz2>S M:d/Y>S M:x>S M:z.bz3>S", {}},
    {"roots that cannot be read or are missing", {{"*", true}}, {"S:!", "M:~"}, "",
     {"Cannot read directory: S: (nothing is planned inside it)",
      "Folder not found: M:absent/ (no deletions are planned for it on the other side)"}},
    {"names it cannot take", {{"*", true}},
     {"S:x\\y.txt", "S:d\\e/in.txt", "S:.~dralvo-0123456789ab.tmp", "S:.~dralvo-report.tmp",
      "S:real/a.txt", "S:file", "S:dir->real", "S:link->file", "S:pipe|", "S:caf\xe9.txt"},
     "+M:real S:.~dralvo-report.tmp>M S:file>M S:real/a.txt>M",
     {"Skipping a file named like a temporary file of this program: S:.~dralvo-0123456789ab.tmp",
      "Skipping a name that contains a backslash: S:d\\e",
      "Skipping a name that contains a backslash: S:x\\y.txt",
      "Skipping a name that is not valid UTF-8: S:caf?.txt"}},
};

TEST_F(swxDirCompareTest, WalksTakeWhatTheRulesAllowAndReportWhatTheyCannotSee)
{
    namespace fs = std::filesystem;
    const std::string s = ToUtf8(station.Path()), m = ToUtf8(medium.Path());
    for (const auto& c : kWalkCases) {
        SCOPED_TRACE(c.label);
        for (const std::string& root : {s, m})
            for (const auto& entry : fs::directory_iterator(root))
                fs::remove_all(entry.path());
        rules.clear();
        for (const auto& [mask, allow] : c.rules)
            rules.push_back(std::make_unique<FolderRule>(FolderRule{mask, allow}));
        for (const std::string& spec : c.tree) {
            const std::string rel = spec.substr(2);
            const auto arrow = rel.find("->");
            const std::string path =
                (spec[0] == 'S' ? s : m) + rel.substr(0, std::min(arrow, rel.find('|')));
            fs::create_directories(fs::path(path).parent_path());
            if (arrow != std::string::npos)
                fs::create_symlink(rel.substr(arrow + 2), path);
            else if (rel.ends_with("|"))
                mkfifo(path.c_str(), 0600);
            else if (rel == "!")
                chmod(s.c_str(), 0);
            else if (rel != "~")
                std::ofstream(path) << "x";
        }
        sink.events.clear();
        const wxString mediumRoot = medium / (c.tree.back() == "M:~" ? "absent" : "");
        WithPermissionsEnforced([&] { ASSERT_TRUE(Compare(SD_COPY_DS, {}, mediumRoot)); });
        chmod(s.c_str(), 0700);
        wxArrayString planned = wxSplit(Planned(), ' ', 0);
        planned.Sort();
        EXPECT_EQ(wxJoin(planned, ' ', 0), c.items);
        std::vector<std::string> messages;
        for (std::string text : sink.Messages()) {
            for (const auto& [root, shown] : {std::pair{s, "S:"}, {m, "M:"}})
                if (const auto at = text.find(root); at != std::string::npos)
                    text.replace(at, root.size(), shown);
            if (!text.starts_with("Traversing directory: "))
                messages.push_back(text);
        }
        std::ranges::sort(messages);
        EXPECT_EQ(messages, c.messages);
    }
}

// A directory that exists but cannot be read hides what lies in it: nothing is planned below
// it on either side (a folder that can be written but not read must not take copies over newer
// files). A missing root counts as empty, but nothing is deleted for it. The tree: station
// s.txt, box/in.txt (newer); medium m.txt, boxes.txt, box/m.txt, box/in.txt. Items sorted.
const struct {
    const char* label;
    int mode;
    const char* mediumRoot;  // "": the folder, else a name in it taking its place
    char lockedSide;         // 'S' / 'M': whose box gets lockMode
    mode_t lockMode;
    const char* items;
} kBlindCases[] = {
    {"station box unreadable", SD_COPY_DEL, "", 'S', 0000, "-M:boxes.txt -M:m.txt S:s.txt>M"},
    {"station box listable, not searchable", SD_COPY_DEL, "", 'S', 0400,
     "-M:boxes.txt -M:m.txt S:s.txt>M"},
    {"station box writable, not readable", DS_COPY, "", 'S', 0300, "M:boxes.txt>S M:m.txt>S"},
    {"medium box unreadable", SD_COPY_DS, "", 'M', 0000, "M:boxes.txt>S M:m.txt>S S:s.txt>M"},
    {"medium root no directory", SD_COPY_DEL_DS, "m.txt", 0, 0, ""},
    {"medium root missing: no deletions", DS_COPY_DEL, "absent", 0, 0, ""},
    {"medium root missing: copies", SD_COPY_DEL_DS, "absent", 0, 0,
     "+M:absent/box S:box/in.txt>M:absent/box/in.txt S:s.txt>M:absent/s.txt"},
};

TEST_F(swxDirCompareTest, NothingIsPlannedWhereTheWalkCouldNotSee)
{
    WriteWithTime(station, "s.txt", 0);
    WriteWithTime(station, "box/in.txt", 10);
    for (const char* name : {"m.txt", "boxes.txt", "box/in.txt", "box/m.txt"})
        WriteWithTime(medium, name, 0);
    for (const auto& c : kBlindCases) {
        SCOPED_TRACE(c.label);
        const std::string box = ToUtf8((c.lockedSide == 'S' ? station : medium) / "box");
        ASSERT_EQ(chmod(box.c_str(), c.lockedSide ? c.lockMode : 0700), 0);
        WithPermissionsEnforced([&] { ASSERT_TRUE(Compare(c.mode, {}, medium / c.mediumRoot)); });
        ASSERT_EQ(chmod(box.c_str(), 0700), 0);
        wxArrayString planned = wxSplit(Planned(), ' ', 0);
        planned.Sort();
        EXPECT_EQ(wxJoin(planned, ' ', 0), c.items);
    }
}

} // namespace
