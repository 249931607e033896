#include "engine/test_folder.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "store/text.h"

namespace {

// Takes over the records of the code-0 events.
class RecordSink : public EventSink {
public:
    std::vector<std::unique_ptr<FileTestRecord>> records;

    ~RecordSink() override
    {
        Pump();
        Collect();
    }
    void Collect()
    {
        for (Posted& e : events)
            if (e.code == TEST_FILE && e.data)
                records.emplace_back(static_cast<FileTestRecord*>(std::exchange(e.data, nullptr)));
    }
    const FileTestRecord* Find(const std::string& file) const
    {
        for (const auto& r : records)
            if (ToUtf8(r->file) == file)
                return r.get();
        return nullptr;
    }
};

// Cancels the test from inside its walk when the n-th record is posted.
class CancellingRecordSink : public RecordSink {
public:
    swxTestFolder* target = nullptr;
    long cancelAt = 0;

    void QueueEvent(wxEvent* event) override
    {
        auto* command = static_cast<wxCommandEvent*>(event);
        const bool cancelNow =
            target && command->GetInt() == TEST_FILE && command->GetExtraLong() == cancelAt;
        RecordSink::QueueEvent(event);
        // The traverser's lock is held here by this very thread; critical sections are
        // recursive, so the cancel goes through at once.
        if (cancelNow)
            target->Cancel();
    }
};

class swxTestFolderTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordSink sink;
    swxTestFolder test{&sink, dir.Path()};

    void Rule(const char* mask, bool allow)
    {
        test.Rules().push_back(std::make_unique<FolderRule>(FolderRule{mask, allow}));
    }
    void Run() { Run(test, sink); }
    static void Run(swxTestFolder& test, RecordSink& sink)
    {
        ASSERT_EQ(test.Create(), wxTHREAD_NO_ERROR);
        ASSERT_EQ(test.Run(), wxTHREAD_NO_ERROR);
        test.Wait();
        sink.Pump();
        sink.Collect();
    }
};

TEST_F(swxTestFolderTest, WithoutRulesEveryFileIsReportedAsNotTaken)
{
    dir.Write("a.txt", "12345");
    dir.Write("sub/b.doc", "x");
    Run();
    ASSERT_EQ(sink.records.size(), 2u);
    for (const auto& r : sink.records) {
        EXPECT_FALSE(r->allow);
        EXPECT_TRUE(r->rule.empty());
    }
    EXPECT_EQ(sink.Find("b.doc")->location, "sub");
    EXPECT_EQ(sink.Find("a.txt")->size, 5u);
    EXPECT_EQ(sink.Codes(), (std::vector<int>{TEST_FILE, TEST_FILE, TEST_FINISHED}));
    EXPECT_EQ(sink.events[0].value, 1);
    EXPECT_EQ(sink.events[1].value, 2);
    EXPECT_EQ(sink.events[2].value, 0);
    EXPECT_EQ(sink.events[2].id, ID_TEST_EVENT);
}

TEST_F(swxTestFolderTest, RulesDecideAndIgnoredDirectoriesAreLeftOut)
{
    Rule("*.TXT", true);
    Rule("/tmp/", false);
    dir.Write("a.txt", "x");
    dir.Write("tmp/b.txt", "x");
    dir.Write("c.bin", "x");
    Run();
    ASSERT_EQ(sink.records.size(), 2u);
    const FileTestRecord* a = sink.Find("a.txt");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->location, "");
    EXPECT_EQ(a->extension, "txt");
    EXPECT_EQ(a->rule, "*.txt");
    EXPECT_TRUE(a->allow);
    const FileTestRecord* c = sink.Find("c.bin");
    ASSERT_TRUE(c);
    EXPECT_FALSE(c->allow);
    EXPECT_EQ(c->rule, "");
    EXPECT_EQ(test.Rules()[1]->mask, "\\tmp\\");
}

// A name without a dot takes its extension from the path.
TEST_F(swxTestFolderTest, CompressedFileIsReportedUnderItsPlainNameAndExtension)
{
    Rule("docs\\*", false);
    dir.Write("Docs/Report.DOC.bz2", "compressed");
    dir.Write("x.y/README", "x");
    Run();
    ASSERT_EQ(sink.records.size(), 2u);
    const FileTestRecord& r = *sink.Find("Report.DOC");
    EXPECT_EQ(r.location, "Docs");
    EXPECT_EQ(r.extension, "doc");
    EXPECT_EQ(r.size, 10u);
    EXPECT_EQ(r.rule, "docs\\*");
    EXPECT_FALSE(r.allow);
    ASSERT_TRUE(sink.Find("README"));
    EXPECT_EQ(sink.Find("README")->location, "x.y");
    EXPECT_EQ(sink.Find("README")->extension, "y\\readme");
}

TEST_F(swxTestFolderTest, FolderThatCannotBeOpenedOnlyFinishes)
{
    RecordSink absentSink;
    swxTestFolder absent(&absentSink, dir / "absent");
    Run(absent, absentSink);
    EXPECT_EQ(absentSink.Codes(), (std::vector<int>{TEST_FINISHED}));
}

TEST_F(swxTestFolderTest, CancelStopsTheWalkThenTheTestFinishes)
{
    CancellingRecordSink cancelling;
    swxTestFolder cancelled(&cancelling, dir.Path());
    cancelling.target = &cancelled;
    cancelling.cancelAt = 3;
    for (int i = 0; i < 30; ++i)
        dir.Write(wxString::Format("f%02d.txt", i), "x");
    Run(cancelled, cancelling);
    EXPECT_EQ(cancelling.Codes(),
              (std::vector<int>{TEST_FILE, TEST_FILE, TEST_FILE, TEST_CANCELLED, TEST_FINISHED}));
    EXPECT_EQ(cancelling.records.size(), 3u);
}

TEST_F(swxTestFolderTest, CancelBeforeTheWalkDoesNothing)
{
    dir.Write("a.txt", "x");
    test.Cancel();
    Run();
    EXPECT_EQ(sink.Codes(), (std::vector<int>{TEST_FILE, TEST_FINISHED}));
}

TEST_F(swxTestFolderTest, StopBeforeTheWalkEndsWithoutRecords)
{
    Rule("*", true);
    dir.Write("a.txt", "x");
    test.Stop();
    Run();
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(swxTestFolderTest, EachTestCountsFromOne)
{
    dir.Write("a.txt", "x");
    for (int round = 0; round < 2; ++round) {
        RecordSink roundSink;
        swxTestFolder roundTest(&roundSink, dir.Path());
        Run(roundTest, roundSink);
        ASSERT_EQ(roundSink.events.size(), 2u);
        EXPECT_EQ(roundSink.events[0].value, 1);
    }
}

} // namespace
