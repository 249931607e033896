#include "engine/run_log.h"

#include "tests/engine/engine_test_support.h"

// The whole layout of a log, escapes included, is asserted by the copy thread's tests.
namespace {

const wxDateTime kAt{15, wxDateTime::Mar, 2024, 10, 20, 30};

SyncItem Deletion(const wxString& target)
{
    SyncItem item;
    std::tie(item.action, item.target) = std::tuple(FP_DELETE, target);
    return item;
}

// Values parse back to themselves, and each line gets the time it is written at.
TEST(RunLogTest, ValuesParseBackAndLinesCarryTheirTimes)
{
    TempDir dir;
    RunLog log;
    ASSERT_TRUE(log.Open(dir / "log.xml"));
    log.Header(wxString::FromUTF8("A&B <\"\xD0\xA2\"> \x01 end\t\n\r"), kAt, false);
    log.ProjectStart("SD_COPY", "P", 0, 0);
    log.FolderStart("/s", "/m");
    log.ActionsStart(2, kAt);
    log.ItemOpen(Deletion("/m/a"));
    log.ItemClose(kAt + wxTimeSpan::Seconds(1));
    log.ItemOpen(Deletion("/m/b"));
    log.ItemClose(kAt + wxTimeSpan::Minutes(2));
    ASSERT_TRUE(log.Close());
    wxXmlDocument document;
    ASSERT_TRUE(ParsesAsXml(dir / "log.xml", &document));
    EXPECT_EQ(document.GetRoot()->GetAttribute("station"),
              wxString::FromUTF8("A&B <\"\xD0\xA2\"> \xEF\xBF\xBD end\t\n\r"));
    const std::vector<std::string> lines = SplitCrLf(ReadAll(dir / "log.xml"));
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(std::vector(lines.begin() + 5, lines.begin() + 8), (std::vector<std::string>{
        "      <actions count=\"2\" time=\"2024-03-15 10:20:30\">",
        "        <item dest=\"/m/a\" action=\"FP_DELETE\" now=\"2024-03-15 10:20:31\"/>",
        "        <item dest=\"/m/b\" action=\"FP_DELETE\" now=\"2024-03-15 10:22:30\"/>"}));
}

// A run that ends early (an error, a destroyed log) still leaves a well-formed document; a log
// that cannot be opened writes nothing.
TEST(RunLogTest, ClosingCompletesTheElementsStillOpen)
{
    TempDir dir;
    for (int stop = 0; stop <= 5; ++stop) {
        SCOPED_TRACE(stop);
        {
            RunLog early;
            ASSERT_TRUE(early.Open(dir / "log.xml"));
            early.Header("pc", kAt, false);
            const std::function<void()> steps[] = {
                [&] { early.ProjectStart("SD_COPY", "P", 0, 0); },
                [&] { early.FolderStart("/s", "/m"); },
                [&] { early.ActionsStart(1, kAt); }, [&] { early.ItemOpen(Deletion("/m/a")); },
                [&] { early.ItemClose(kAt); }, [&] { early.ActionsEnd(); }};
            for (int step = 0; step <= stop; ++step)
                steps[step]();
        }
        EXPECT_TRUE(ParsesAsXml(dir / "log.xml")) << ReadAll(dir / "log.xml");
    }
    RunLog broken;
    EXPECT_FALSE(broken.Open(dir / "missing/log.xml"));
    broken.Header("pc", kAt, false);
    EXPECT_TRUE(broken.Close());
    EXPECT_FALSE(Exists(dir / "missing"));
}

} // namespace
