#include "engine/run_log.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/sync_types.h"
#include "store/file_time.h"
#include "tests/engine/engine_test_support.h"
#include "tests/support/temp_dir.h"

// The whole layout of a log, escapes included, is asserted by the copy thread's tests.
namespace {

class RunLogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(log.Open(path)); }

    static SyncItem Item(const wxString& source, const wxString& target)
    {
        SyncItem item;
        item.action = source.empty() ? FP_DELETE : FP_COPY;
        item.source = source;
        item.target = target;
        item.sourceTime = FileTimeFromUnix(1700000000);
        return item;
    }
    std::vector<std::string> Lines() const { return SplitCrLf(ReadAll(path)); }

    TempDir dir;
    wxString path = dir / "log.xml";
    RunLog log;
    const wxDateTime at{15, wxDateTime::Mar, 2024, 10, 20, 30};
};

TEST_F(RunLogTest, ValuesParseBackToThemselves)
{
    const wxString odd = wxString::FromUTF8("A&B <\"\xD0\xA2\"> \x01 end\t\n\r");
    log.Header(odd, at, false);
    ASSERT_TRUE(log.Close());
    const auto document = ParseXml(path);
    ASSERT_TRUE(document->IsOk());
    EXPECT_EQ(document->GetRoot()->GetAttribute("station"),
              wxString::FromUTF8("A&B <\"\xD0\xA2\"> \xEF\xBF\xBD end\t\n\r"));
}

TEST_F(RunLogTest, EachLineGetsTheTimeItIsWrittenAt)
{
    log.ActionsStart(2, at);
    log.ItemOpen(Item("", "/m/a"));
    log.ItemClose(at + wxTimeSpan::Seconds(1));
    log.ItemOpen(Item("", "/m/b"));
    log.ItemClose(at + wxTimeSpan::Minutes(2));
    ASSERT_TRUE(log.Close());
    const std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "      <actions count=\"2\" time=\"2024-03-15 10:20:30\">");
    EXPECT_EQ(lines[1], "        <item dest=\"/m/a\" action=\"FP_DELETE\" now=\"2024-03-15 10:20:31\"/>");
    EXPECT_EQ(lines[2], "        <item dest=\"/m/b\" action=\"FP_DELETE\" now=\"2024-03-15 10:22:30\"/>");
}

// A run that ends early (an error, a destroyed log) still leaves a well-formed document.
TEST_F(RunLogTest, ClosingCompletesTheElementsStillOpen)
{
    for (int stop = 0; stop <= 5; ++stop) {
        SCOPED_TRACE(stop);
        {
            RunLog early;
            ASSERT_TRUE(early.Open(path));
            early.Header("pc", at, false);
            const std::function<void()> steps[] = {
                [&] { early.ProjectStart("SD_COPY", "P", 0, 0); },
                [&] { early.FolderStart("/s", "/m"); },
                [&] { early.ActionsStart(1, at); },
                [&] { early.ItemOpen(Item("", "/m/a")); },
                [&] { early.ItemClose(at); },
                [&] { early.ActionsEnd(); }};
            for (int step = 0; step <= stop; ++step)
                steps[step]();
        }
        EXPECT_TRUE(ParseXml(path)->IsOk()) << ReadAll(path);
    }
    RunLog broken;
    EXPECT_FALSE(broken.Open(dir / "missing/log.xml"));
    broken.Header("pc", at, false);
    EXPECT_TRUE(broken.Close());
    EXPECT_FALSE(Exists(dir / "missing"));
}

} // namespace
