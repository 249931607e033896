#include "engine/test_folder.h"

#include "engine_test_support.h"

namespace {

using Lines = std::vector<std::string>;

// Records numbered from 1, then the end; a name holding "\" cannot stand in a rule's path and
// is not reported; "gz" is the extension of a.tar.gz. A cancel during the walk stops it (code 2,
// then 1); one before the walk does nothing; a stop before the walk ends the test without a word;
// a folder that cannot be opened finishes.
TEST(swxTestFolderTest, EveryFileIsReportedWithTheRuleThatDecidesUntilACancel)
{
    TempDir dir;
    dir.Write("a.txt", "12345");
    for (const char* name : {"tmp/b.txt", "x.y/README", "a.tar.gz", "back\\slash.txt"})
        dir.Write(name, "x");
    dir.Write("Docs/Report.DOC.bz2", "compressed");
    const Lines all = {"Docs|Report.DOC|doc|*|1|10", "tmp|b.txt|txt|*|1|1",
                       "x.y|README|y\\readme|*|1|1", "|a.tar.gz|gz|*|1|1", "|a.txt|txt|*|1|5"};
    const struct {
        std::vector<std::pair<const char*, bool>> rules;
        Lines records;  // compared in full unless cancelled during the walk
        long cancelAt = 0;
        char before = 0;  // 'c' Cancel, 's' Stop
        const char* folder = "";
        std::vector<int> after = {TEST_FINISHED};  // the codes after the records
    } cases[] = {
        {{},
         {"Docs|Report.DOC|doc||0|10", "tmp|b.txt|txt||0|1", "x.y|README|y\\readme||0|1",
          "|a.tar.gz|gz||0|1", "|a.txt|txt||0|5"}},
        {{{"*.TXT", true}, {"/tmp/", false}, {"docs\\*", false}},
         {"Docs|Report.DOC|doc|docs\\*|0|10", "x.y|README|y\\readme||0|1", "|a.tar.gz|gz||0|1",
          "|a.txt|txt|*.txt|1|5"}},
        {{{"*", true}}, {"", "", ""}, 3, 0, "", {TEST_CANCELLED, TEST_FINISHED}},
        {{{"*", true}}, all, 0, 'c'},
        {{{"*", true}}, {}, 0, 's', "", {}},
        {{{"*", true}}, {}, 0, 0, "absent"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rules.size() << c.cancelAt << c.before << c.folder);
        EventSink sink;
        swxTestFolder test(&sink, dir / c.folder);
        for (const auto& [mask, allow] : c.rules)
            test.Rules().push_back(std::make_unique<FolderRule>(FolderRule{mask, allow}));
        // The traverser's lock is held by this very thread then; critical sections are recursive.
        sink.onPost = [&](const wxCommandEvent& e) {
            if (e.GetInt() == TEST_FILE && e.GetExtraLong() == c.cancelAt)
                test.Cancel();
        };
        if (c.before)
            c.before == 'c' ? test.Cancel() : test.Stop();
        ASSERT_EQ(test.Create(), wxTHREAD_NO_ERROR);
        ASSERT_EQ(test.Run(), wxTHREAD_NO_ERROR);
        test.Wait();
        sink.Pump();
        Lines records;  // "location|file|extension|rule|allow|size", freed
        for (const EventSink::Posted& e : sink.events) {
            if (e.code != TEST_FILE)
                continue;
            const std::unique_ptr<FileTestRecord> r(static_cast<FileTestRecord*>(e.data));
            records.push_back(ToUtf8(r->location + "|" + r->file + "|" + r->extension + "|" +
                                     r->rule + (r->allow ? "|1|" : "|0|")) +
                              std::to_string(r->size));
        }
        std::ranges::sort(records);
        EXPECT_EQ(c.cancelAt ? Lines(records.size(), "") : records, c.records);
        std::vector<int> codes(c.records.size(), TEST_FILE);
        codes.insert(codes.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(sink.Codes(), codes);
        for (size_t i = 0; i < c.records.size(); ++i)
            EXPECT_EQ(sink.events[i].value, static_cast<long>(i + 1));
        EXPECT_TRUE(c.after.empty() || sink.events.back().id == ID_TEST_EVENT);
    }
}

} // namespace
