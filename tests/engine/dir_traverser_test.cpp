#include "engine/dir_traverser.h"

#include "engine_test_support.h"

namespace {

using Names = std::vector<std::string>;

class swxDirTraverserTest : public ::testing::Test {
protected:
    TempDir station, medium;
    FolderRules rules;
    DirEntryList files, directories;
    UnreadableDirs unreadable;
    EventSink sink;

    // Walks both sides as a comparison does (lists and events cleared first) and handles the
    // posted messages.
    void WalkBoth(const wxString& stationRoot, const wxString& mediumRoot,
                  const std::vector<std::pair<const char*, bool>>& list = {{"*", true}})
    {
        rules.clear();
        for (const auto& [mask, allow] : list)
            rules.push_back(std::make_unique<FolderRule>(FolderRule{mask, allow}));
        files.clear(), directories.clear(), sink.events.clear();
        swxDirTraverser traverser(stationRoot, mediumRoot);
        traverser.SetLists(&files, &directories);
        traverser.SetRules(&rules);
        traverser.SetUnreadable(&unreadable);
        traverser.SetOwner(&sink);
        traverser.Walk();
        traverser.SetStationSide(false);
        traverser.Walk();
        sink.Pump();
    }
    static Names Keys(const DirEntryList& list)
    {
        Names keys;
        for (const DirEntry& e : list)
            keys.push_back(e.key);
        std::sort(keys.begin(), keys.end());
        return keys;
    }
};

// Which files and directories a rule list takes from a tree, and which directories it ignores.
struct RuleCase {
    const char* label;
    std::vector<std::pair<const char*, bool>> rules;
    std::vector<const char*> stationFiles, mediumFiles;
    Names files, directories, messages;
};

const RuleCase kRuleCases[] = {
    {"no rules: directories only", {}, {"a/b/x.txt"}, {"c/y.txt"}, {}, {"a", "a\\b", "c"},
     {"Traversing directory: a", "Traversing directory: a/b", "Traversing directory: c"}},
    {"a directory rule names one directory only, a file rule never a directory",
     {{"\\tmp\\", false}, {"*.tmp", false}, {"*", true}},
     {"tmp2/a.txt", "a/tmp/b.txt", "x.tmp", "d.tmp/a.txt"}, {},
     {"a\\tmp\\b.txt", "d.tmp\\a.txt", "tmp2\\a.txt"}, {"a", "a\\tmp", "d.tmp", "tmp2"}, {}},
    {"an empty mask matches nothing; the suffix is cut only behind a name",
     {{"", false}, {"*", true}},
     {}, {"x.bz2", ".bz2", "d/Y.BZ2", "z.bz3"}, {".bz2", "d\\y", "x", "z.bz3"}, {"d"}, {}},
};

TEST_F(swxDirTraverserTest, RulesDecideWhatIsTaken)
{
    for (const RuleCase& c : kRuleCases) {
        SCOPED_TRACE(c.label);
        TempDir stationDir, mediumDir;
        for (const char* name : c.stationFiles)
            stationDir.Write(name, "x");
        for (const char* name : c.mediumFiles)
            mediumDir.Write(name, "x");
        WalkBoth(stationDir.Path(), mediumDir.Path(), c.rules);
        EXPECT_EQ(Keys(files), c.files);
        EXPECT_EQ(Keys(directories), c.directories);
        Names shown = sink.Messages();
        std::erase_if(shown, [&](const std::string& m) { return !c.rules.empty() && !m.starts_with("Ignore"); });
        EXPECT_EQ(shown, c.messages);
    }
}

// Roots that cannot be walked are reported and recorded. Links, FIFOs and the program's
// temporary files are not taken; names that cannot stand in the catalogue's paths (not UTF-8,
// holding "\") and files named like temporaries are reported and skipped.
TEST_F(swxDirTraverserTest, ReportsRootsAndNamesItCannotSee)
{
    const wxString locked = station.MakeDir("locked");
    chmod(ToUtf8(locked).c_str(), 0);
    WithPermissionsEnforced([&] { WalkBoth(locked, medium / "absent"); });
    EXPECT_EQ(sink.Messages(),
              (Names{"Cannot read directory: " + ToUtf8(locked) + "/ (nothing is planned inside it)",
                     "Folder not found: " + ToUtf8(medium / "absent/") +
                         " (no deletions are planned for it on the other side)"}));
    EXPECT_EQ(unreadable.station, Names{""});
    EXPECT_TRUE(unreadable.mediumMissing && !unreadable.stationMissing);

    const std::string root = ToUtf8(station.Path());
    rmdir(ToUtf8(locked).c_str());
    station.Write("file", "x");
    for (const char* name : {"x\\y.txt", "d\\e/inner.txt", ".~dralvo-0123456789ab.tmp", ".~dralvo-report.tmp",
                             "real/a.txt"})
        station.Write(name, "x");
    ASSERT_EQ(symlink((root + "real").c_str(), (root + "linkdir").c_str()), 0);
    ASSERT_EQ(symlink((root + "file").c_str(), (root + "linkfile").c_str()), 0);
    ASSERT_EQ(mkfifo((root + "pipe").c_str(), 0600), 0);
    ASSERT_EQ(close(open((root + "caf\xe9.txt").c_str(), O_CREAT | O_WRONLY, 0600)), 0);
    WalkBoth(station.Path(), medium.Path());
    EXPECT_EQ(Keys(files), (Names{".~dralvo-report.tmp", "file", "real\\a.txt"}));
    EXPECT_EQ(Keys(directories), Names{"real"});
    Names skipped = sink.Messages();
    std::erase_if(skipped, [](const std::string& m) { return m.starts_with("Traversing"); });
    std::sort(skipped.begin(), skipped.end());
    EXPECT_EQ(skipped, (Names{"Skipping a file named like a temporary file of this program: " + root +
                                  ".~dralvo-0123456789ab.tmp",
                              "Skipping a name that contains a backslash: " + root + "d\\e",
                              "Skipping a name that contains a backslash: " + root + "x\\y.txt",
                              "Skipping a name that is not valid UTF-8: " + root + "caf?.txt"}));
}

} // namespace
