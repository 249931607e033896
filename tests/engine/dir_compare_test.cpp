#include "engine/dir_compare.h"

#include <fstream>

#include "engine_test_support.h"

namespace {

class swxDirCompareTest : public ::testing::Test {
protected:
    TempDir station, medium;
    const std::string s = ToUtf8(station.Path()), m = ToUtf8(medium.Path());
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
    // Makes a tree (see kWalkCases) and returns the directories whose permissions it changed.
    std::vector<std::string> Make(const std::vector<std::string>& tree) const
    {
        namespace fs = std::filesystem;
        std::vector<std::string> locked;
        for (const std::string& spec : tree) {
            const std::string rel = spec.substr(2);
            const auto cut = std::min(rel.find("->"), rel.find_first_of("|!@"));
            const std::string path = (spec[0] == 'S' ? s : m) + rel.substr(0, cut);
            const char kind = cut == rel.npos ? 0 : rel[cut];
            fs::create_directories(fs::path(path).parent_path());
            if (kind == '-')
                fs::create_symlink(rel.substr(cut + 2), path);
            else if (kind == '|')
                mkfifo(path.c_str(), 0600);
            else if (kind == '!')
                chmod(locked.emplace_back(path).c_str(), std::stoi(rel.substr(cut + 1), 0, 8));
            else if (rel.ends_with("/"))
                fs::create_directories(path);
            else {
                std::ofstream(path) << "x";
                const time_t time = 1600000000 + (cut == rel.npos ? 0 : stoi(rel.substr(cut + 2)));
                const timespec times[] = {{time, 0}, {time, 0}};
                EXPECT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
            }
        }
        return locked;
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
    Make({"M:same", "M:a/b/c/m/md", "M:a/UP.bz2", "M:a/b/dn@+4", "S:a/b/dn", "S:a/b/c/st",
          "S:same@+3", "S:a/up@+4", "S:a/b/c/s/"});
    for (const ModeCase& c : kModeCases) {
        SCOPED_TRACE(c.mode);
        sink.events.clear();
        ASSERT_TRUE(Compare(c.mode));
        EXPECT_EQ(Planned(), c.items);
        const auto start = std::ranges::find(sink.events, TE_START, &EventSink::Posted::code);
        ASSERT_NE(start, sink.events.end());
        EXPECT_EQ(start->value, 10);
        EXPECT_EQ(sink.Count(TE_STEP), c.steps);
    }
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

// What the walks take and say, seen in the plan (items and messages but "Traversing directory",
// both sorted, roots written "S:" and "M:"). The trees: "S:rel" a file (its time moved by "@+N"
// seconds), "S:d/" a directory, "->" a link, "|" a FIFO, "!NNN" the permissions of a directory
// (of the station root alone: "S:!0"). Links, FIFOs and the program's temporary files are not
// taken; names that cannot stand in the catalogue's paths and files named like temporaries are
// skipped. A directory that exists but cannot be read hides what lies in it: nothing is planned
// below it on either side (one that can be written but not read must not take copies over
// newer files). A missing medium root counts as empty, but nothing is deleted for it. New names
// go into an existing directory of other case; rules are normalised in place.
std::vector<std::string> Blind(const std::string& lock = "")
{
    std::vector<std::string> tree = {"S:s.txt", "S:box/in.txt@+10", "M:m.txt", "M:boxes.txt",
                                     "M:box/in.txt", "M:box/m.txt", lock};
    return lock.empty() ? std::vector(tree.begin(), tree.end() - 1) : tree;
}
const std::string kCannotRead = " (nothing is planned inside it)", kStationBox = "Cannot read "
    "directory: S:box" + kCannotRead, kAbsent = "Folder not found: M:absent/ (no deletions are "
    "planned for it on the other side)";
const struct WalkCase {
    const char* label;
    int mode = SD_COPY_DS;
    std::vector<std::pair<const char*, bool>> rules = {{"*", true}};
    std::vector<std::string> tree;
    const char* mediumRoot = "";  // a name in the medium folder taking its place
    const char* items;
    std::vector<std::string> messages = {};
} kWalkCases[] = {
    {.label = "no rules: directories only", .rules = {}, .tree = {"S:a/b/x.txt", "M:c/y.txt"},
     .items = "+M:a +M:a/b +S:c"},
    {.label = "a directory rule names one directory only, a file rule never a directory",
     .rules = {{"\\tmp\\", false}, {"*.tmp", false}, {"*", true}},
     .tree = {"S:tmp2/a.txt", "S:a/tmp/b.txt", "S:x.tmp", "S:d.tmp/a.txt", "S:tmp/c.txt"},
     .items = "+M:a +M:a/tmp +M:d.tmp +M:tmp2 S:a/tmp/b.txt>M S:d.tmp/a.txt>M S:tmp2/a.txt>M",
     .messages = {"Ignore directory: tmp"}},
    {.label = "an empty mask matches nothing; the suffix is cut only behind a name",
     .rules = {{"", false}, {"*", true}}, .tree = {"M:x.bz2", "M:.bz2", "M:d/Y.BZ2", "M:z.bz3"},
     .items = "+S:d M:.bz2>S M:d/Y>S M:x>S M:z.bz3>S"},
    {.label = "the case of the existing side", .mode = SD_COPY,
     .rules = {{"\\Tmp\\", false}, {"*.DOC", false}, {"*", true}},
     .tree = {"S:Report.txt@+10", "M:report.TXT.bz2", "S:Docs/New/a.txt", "S:tmp/b.txt", "S:c.doc",
              "M:docs/"},
     .items = "+M:docs/New S:Docs/New/a.txt>M:docs/New/a.txt S:Report.txt>M:report.TXT",
     .messages = {"Ignore directory: tmp"}},
    {.label = "names it cannot take",
     .tree = {"S:x\\y.txt", "S:d\\e/in.txt", "S:.~dralvo-0123456789ab.tmp", "S:.~dralvo-report.tmp",
              "S:real/a.txt", "S:file", "S:dir->real", "S:link->file", "S:pipe|", "S:caf\xe9.txt"},
     .items = "+M:real S:.~dralvo-report.tmp>M S:file>M S:real/a.txt>M",
     .messages = {"Skipping a file named like a temporary file of this program: "
                  "S:.~dralvo-0123456789ab.tmp",
                  "Skipping a name that contains a backslash: S:d\\e",
                  "Skipping a name that contains a backslash: S:x\\y.txt",
                  "Skipping a name that is not valid UTF-8: S:caf?.txt"}},
    {.label = "station root unreadable, medium root missing", .tree = {"S:a", "S:!0"},
     .mediumRoot = "absent", .items = "",
     .messages = {"Cannot read directory: S:" + kCannotRead, kAbsent}},
    {.label = "station box unreadable", .mode = SD_COPY_DEL, .tree = Blind("S:box!0"),
     .items = "-M:boxes.txt -M:m.txt S:s.txt>M", .messages = {kStationBox}},
    {.label = "station box listable, not searchable", .mode = SD_COPY_DEL,
     .tree = Blind("S:box!400"), .items = "-M:boxes.txt -M:m.txt S:s.txt>M",
     .messages = {kStationBox}},
    {.label = "station box writable, not readable", .mode = DS_COPY, .tree = Blind("S:box!300"),
     .items = "M:boxes.txt>S M:m.txt>S", .messages = {kStationBox}},
    {.label = "medium box unreadable", .tree = Blind("M:box!0"),
     .items = "M:boxes.txt>S M:m.txt>S S:s.txt>M",
     .messages = {"Cannot read directory: M:box" + kCannotRead}},
    {.label = "medium root no directory", .mode = SD_COPY_DEL_DS, .tree = Blind(),
     .mediumRoot = "m.txt", .items = "",
     .messages = {"Cannot read directory: M:m.txt/" + kCannotRead}},
    {.label = "medium root missing: no deletions", .mode = DS_COPY_DEL, .tree = Blind(),
     .mediumRoot = "absent", .items = "", .messages = {kAbsent}},
    {.label = "medium root missing: copies", .mode = SD_COPY_DEL_DS, .tree = Blind(),
     .mediumRoot = "absent",
     .items = "+M:absent/box S:box/in.txt>M:absent/box/in.txt S:s.txt>M:absent/s.txt",
     .messages = {kAbsent}},
};

TEST_F(swxDirCompareTest, WalksTakeWhatTheRulesAllowAndReportWhatTheyCannotSee)
{
    namespace fs = std::filesystem;
    for (const WalkCase& c : kWalkCases) {
        SCOPED_TRACE(c.label);
        for (const std::string& root : {s, m})
            for (const auto& entry : fs::directory_iterator(root))
                fs::remove_all(entry.path());
        rules.clear();
        for (const auto& [mask, allow] : c.rules)
            rules.push_back(std::make_unique<FolderRule>(FolderRule{mask, allow}));
        const std::vector<std::string> locked = Make(c.tree);
        sink.events.clear();
        WithPermissionsEnforced([&] { ASSERT_TRUE(Compare(c.mode, {}, medium / c.mediumRoot)); });
        for (const std::string& path : locked)
            chmod(path.c_str(), 0700);
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
        for (size_t i = 0; i < rules.size(); ++i)
            EXPECT_EQ(rules[i]->mask, wxString(c.rules[i].first).Lower());
    }
}

} // namespace
