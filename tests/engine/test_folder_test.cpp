#include "engine/test_folder.h"

#include <algorithm>

#include "engine_test_support.h"
#include "store/text.h"

namespace {

using Lines = std::vector<std::string>;

// A folder test of root taking the rules; sink cancels it at the cancelAt-th record (the
// traverser's lock is held by this very thread then; critical sections are recursive).
struct FolderTestRun {
    EventSink sink;
    swxTestFolder test;

    FolderTestRun(const wxString& root, const std::vector<std::pair<const char*, bool>>& rules,
                  long cancelAt = 0)
        : test(&sink, root)
    {
        for (const auto& [mask, allow] : rules)
            test.Rules().push_back(std::make_unique<FolderRule>(FolderRule{mask, allow}));
        sink.onPost = [this, cancelAt](const wxCommandEvent& e) {
            if (e.GetInt() == TEST_FILE && e.GetExtraLong() == cancelAt)
                test.Cancel();
        };
    }
    // Runs the test to its end and returns its records, taken over from the events, as
    // "location|file|extension|rule|allow|size", sorted.
    Lines Run()
    {
        EXPECT_EQ(test.Create(), wxTHREAD_NO_ERROR);
        EXPECT_EQ(test.Run(), wxTHREAD_NO_ERROR);
        test.Wait();
        sink.Pump();
        Lines lines;
        for (EventSink::Posted& e : sink.events) {
            if (e.code != TEST_FILE || !e.data)
                continue;
            const std::unique_ptr<FileTestRecord> r(static_cast<FileTestRecord*>(e.data));
            e.data = nullptr;
            lines.push_back(ToUtf8(r->location + "|" + r->file + "|" + r->extension + "|" + r->rule) +
                            (r->allow ? "|1|" : "|0|") + std::to_string(r->size));
        }
        std::ranges::sort(lines);
        return lines;
    }
};

TEST(swxTestFolderTest, EveryFileIsReportedWithTheRuleThatDecides)
{
    TempDir dir;
    dir.Write("a.txt", "12345");
    for (const char* name : {"tmp/b.txt", "x.y/README", "a.tar.gz", "back\\slash.txt"})
        dir.Write(name, "x");  // a backslash cannot stand in a rule's path: not reported
    dir.Write("Docs/Report.DOC.bz2", "compressed");
    const struct {
        std::vector<std::pair<const char*, bool>> rules;
        Lines records;
    } cases[] = {
        {{},
         {"Docs|Report.DOC|doc||0|10", "tmp|b.txt|txt||0|1", "x.y|README|y\\readme||0|1",
          "|a.tar.gz|gz||0|1", "|a.txt|txt||0|5"}},
        {{{"*.TXT", true}, {"/tmp/", false}, {"docs\\*", false}},
         {"Docs|Report.DOC|doc|docs\\*|0|10", "x.y|README|y\\readme||0|1", "|a.tar.gz|gz||0|1",
          "|a.txt|txt|*.txt|1|5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rules.size());
        FolderTestRun run(dir.Path(), c.rules);
        EXPECT_EQ(run.Run(), c.records);
        std::vector<int> codes(c.records.size(), TEST_FILE);
        codes.push_back(TEST_FINISHED);
        EXPECT_EQ(run.sink.Codes(), codes);
        for (size_t i = 0; i < c.records.size(); ++i)
            EXPECT_EQ(run.sink.events[i].value, static_cast<long>(i + 1));
        EXPECT_EQ(run.sink.events.back().id, ID_TEST_EVENT);
        EXPECT_TRUE(c.rules.empty() || run.test.Rules()[1]->mask == "\\tmp\\");
    }
}

// A cancel during the walk stops it (code 2, then 1); a cancel before the walk does nothing;
// a stop before the walk ends the test without a word; a folder that cannot be opened finishes.
TEST(swxTestFolderTest, CancelStopAndUnopenableFolder)
{
    TempDir dir;
    for (int i = 0; i < 30; ++i)
        dir.Write(wxString::Format("f%02d.txt", i), "x");
    const struct {
        const char* label;
        long cancelAt;
        const char *before, *folder;
        int files;
        std::vector<int> after;  // the codes after the records
    } cases[] = {
        {"cancel at 3", 3, "", "", 3, {TEST_CANCELLED, TEST_FINISHED}},
        {"cancel before", 0, "cancel", "", 30, {TEST_FINISHED}},
        {"stop before", 0, "stop", "", 0, {}},
        {"no such folder", 0, "", "absent", 0, {TEST_FINISHED}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FolderTestRun run(dir / c.folder, {{"*", true}}, c.cancelAt);
        if (c.before == std::string("cancel"))
            run.test.Cancel();
        if (c.before == std::string("stop"))
            run.test.Stop();
        EXPECT_EQ(run.Run().size(), std::size_t(c.files));
        std::vector<int> codes(c.files, TEST_FILE);
        codes.insert(codes.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(run.sink.Codes(), codes);
    }
}

} // namespace
