#include "engine/test_folder.h"

#include <algorithm>

#include "engine_test_support.h"
#include "store/text.h"

namespace {

using Lines = std::vector<std::string>;

// Takes over the records of the code-0 events; cancels its test at the n-th record.
class RecordSink : public EventSink {
public:
    std::vector<std::unique_ptr<FileTestRecord>> records;
    swxTestFolder* target = nullptr;
    long cancelAt = 0;

    ~RecordSink() override { Collect(); }
    void QueueEvent(wxEvent* event) override
    {
        auto* command = static_cast<wxCommandEvent*>(event);
        const bool cancelNow = command->GetInt() == TEST_FILE && command->GetExtraLong() == cancelAt;
        EventSink::QueueEvent(event);
        // The traverser's lock is held by this very thread; critical sections are recursive.
        if (cancelNow && target)
            target->Cancel();
    }
    void Collect()
    {
        Pump();
        for (Posted& e : events)
            if (e.code == TEST_FILE && e.data)
                records.emplace_back(static_cast<FileTestRecord*>(std::exchange(e.data, nullptr)));
    }
    // "location|file|extension|rule|allow|size" per record, sorted.
    Lines Described() const
    {
        Lines lines;
        for (const auto& r : records)
            lines.push_back(ToUtf8(r->location + "|" + r->file + "|" + r->extension + "|" + r->rule) +
                            (r->allow ? "|1|" : "|0|") + std::to_string(r->size));
        std::sort(lines.begin(), lines.end());
        return lines;
    }
};

class swxTestFolderTest : public ::testing::Test {
protected:
    TempDir dir;

    static void Run(swxTestFolder& test, RecordSink& sink)
    {
        ASSERT_EQ(test.Create(), wxTHREAD_NO_ERROR);
        ASSERT_EQ(test.Run(), wxTHREAD_NO_ERROR);
        test.Wait();
        sink.Collect();
    }
};

TEST_F(swxTestFolderTest, EveryFileIsReportedWithTheRuleThatDecides)
{
    dir.Write("a.txt", "12345");
    dir.Write("tmp/b.txt", "x");
    dir.Write("Docs/Report.DOC.bz2", "compressed");
    dir.Write("x.y/README", "x");
    dir.Write("a.tar.gz", "x");
    dir.Write("back\\slash.txt", "x");  // cannot stand in a rule's path: not reported
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
        RecordSink sink;
        swxTestFolder test(&sink, dir.Path());
        for (const auto& [mask, allow] : c.rules)
            test.Rules().push_back(std::make_unique<FolderRule>(FolderRule{mask, allow}));
        Run(test, sink);
        EXPECT_EQ(sink.Described(), c.records);
        ASSERT_EQ(sink.Count(TEST_FILE), static_cast<int>(c.records.size()));
        for (size_t i = 0; i < c.records.size(); ++i)
            EXPECT_EQ(sink.events[i].value, static_cast<long>(i + 1));
        EXPECT_EQ(sink.events.back().code, TEST_FINISHED);
        EXPECT_EQ(sink.events.back().id, ID_TEST_EVENT);
        if (!c.rules.empty()) {
            EXPECT_EQ(test.Rules()[1]->mask, "\\tmp\\");
        }
    }
}

// A cancel during the walk stops it (code 2, then 1); a cancel before the walk does nothing;
// a stop before the walk ends the test without a word; a folder that cannot be opened finishes.
TEST_F(swxTestFolderTest, CancelStopAndUnopenableFolder)
{
    for (int i = 0; i < 30; ++i)
        dir.Write(wxString::Format("f%02d.txt", i), "x");
    const struct {
        const char* label;
        long cancelAt;
        const char* before;
        const char* folder;
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
        RecordSink sink;
        swxTestFolder test(&sink, dir / c.folder);
        test.Rules().push_back(std::make_unique<FolderRule>(FolderRule{"*", true}));
        sink.target = &test;
        sink.cancelAt = c.cancelAt;
        if (c.before == std::string("cancel"))
            test.Cancel();
        if (c.before == std::string("stop"))
            test.Stop();
        Run(test, sink);
        const std::vector<int> codes = sink.Codes();
        EXPECT_EQ(sink.Count(TEST_FILE), c.files);
        EXPECT_EQ(std::vector<int>(codes.begin() + std::min<size_t>(c.files, codes.size()), codes.end()),
                  c.after);
    }
}

} // namespace
