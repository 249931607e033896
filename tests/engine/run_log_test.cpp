#include "engine/run_log.h"

#include "tests/engine/engine_test_support.h"

// The whole layout of a log, escapes included, is asserted by the copy thread's tests.
namespace {

// Values parse back to themselves, each line gets the time it is written at, and a log that
// ends at any step (an error, a destroyed log) is still a well-formed document; a log that
// cannot be opened writes nothing.
TEST(RunLogTest, ValuesParseBackLinesCarryTheirTimesAndAnEarlyEndCompletesTheDocument)
{
    TempDir dir;
    const wxDateTime at{15, wxDateTime::Mar, 2024, 10, 20, 30};
    SyncItem item;
    std::tie(item.action, item.target) = std::tuple(FP_DELETE, "/m/a");
    for (int stop = 0; stop <= 7; ++stop) {
        SCOPED_TRACE(stop);
        {
            RunLog log;
            ASSERT_TRUE(log.Open(dir / "log.xml"));
            log.Header(wxString::FromUTF8("A&B <\"\xD0\xA2\"> \x01 end\t\n\r"), at, false);
            const std::function<void()> steps[] = {
                [&] { log.ProjectStart("SD_COPY", "P", 0, 0); },
                [&] { log.FolderStart("/s", "/m"); }, [&] { log.ActionsStart(2, at); },
                [&] { log.ItemOpen(item); }, [&] { log.ItemClose(at + wxTimeSpan::Seconds(1)); },
                [&] { log.ItemOpen(item), log.ItemClose(at + wxTimeSpan::Minutes(2)); },
                [&] { log.ActionsEnd(), log.RemovedDir("/m/d", false); }};
            for (int step = 0; step < stop; ++step)
                steps[step]();
            EXPECT_TRUE(stop < 7 || log.Close());
        }
        wxXmlDocument document;
        ASSERT_TRUE(ParsesAsXml(dir / "log.xml", &document)) << ReadAll(dir / "log.xml");
        EXPECT_EQ(document.GetRoot()->GetAttribute("station"),
                  wxString::FromUTF8("A&B <\"\xD0\xA2\"> \xEF\xBF\xBD end\t\n\r"));
    }
    const std::vector<std::string> lines = SplitCrLf(ReadAll(dir / "log.xml"));
    ASSERT_GE(lines.size(), 11u);
    EXPECT_EQ(std::vector(lines.begin() + 5, lines.begin() + 11), (std::vector<std::string>{
        "      <actions count=\"2\" time=\"2024-03-15 10:20:30\">",
        "        <item dest=\"/m/a\" action=\"FP_DELETE\" now=\"2024-03-15 10:20:31\"/>",
        "        <item dest=\"/m/a\" action=\"FP_DELETE\" now=\"2024-03-15 10:22:30\"/>",
        "      </actions>", "      <rmdir>", "        <item dir=\"/m/d\" result=\"fail\"/>"}));
    RunLog broken;
    EXPECT_FALSE(broken.Open(dir / "missing/log.xml"));
    broken.Header("pc", at, false);
    EXPECT_TRUE(broken.Close());
    EXPECT_FALSE(Exists(dir / "missing"));
}

} // namespace
