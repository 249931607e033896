#include "engine/run_log.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/sync_types.h"
#include "store/file_time.h"
#include "tests/support/temp_dir.h"

namespace {

class RunLogTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(log.Open(path)); }

    // The file split at CR LF; a bare LF anywhere fails the test.
    std::vector<std::string> Lines()
    {
        const std::string text = ReadAll(path);
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t crlf; (crlf = text.find("\r\n", start)) != std::string::npos;
             start = crlf + 2)
            lines.push_back(text.substr(start, crlf - start));
        lines.push_back(text.substr(start));
        for (const std::string& line : lines)
            EXPECT_EQ(line.find('\n'), std::string::npos) << line;
        return lines;
    }

    static SyncItem Item(int action, const wxString& source, const wxString& target)
    {
        SyncItem item;
        item.action = action;
        item.source = source;
        item.target = target;
        item.sourceTime = FileTimeFromUnix(1700000000);
        return item;
    }

    TempDir dir;
    wxString path = dir / "log.xml";
    RunLog log;
    const wxDateTime at{15, wxDateTime::Mar, 2024, 10, 20, 30};
};

TEST_F(RunLogTest, RunWithNoProjectsHasHeaderAndEnd)
{
    log.Header("station-1", at, false);
    ASSERT_TRUE(log.Close());
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                           "<?xml-stylesheet type=\"text/xsl\" href=\"log.xsl\"?>",
                           "<sync station=\"station-1\" date=\"2024-03-15 10:20:30\" "
                           "log_only=\"no\">",
                           "</sync>",
                       }));
}

TEST_F(RunLogTest, WholeRunIsWrittenLineByLine)
{
    log.Header("pc", at, true);
    log.ProjectStart("SD_COPY", "Work", 5 << 20, 1 << 20);
    log.FolderStart("/home/u/docs", "/media/stick/Work/Docs");
    log.ActionsStart(3, at);
    log.ItemOpen(Item(FP_COPY, "/home/u/docs/a.txt", "/media/stick/Work/Docs/a.txt"));
    log.ItemAttribute(" result=\"bz\"");
    log.ItemClose(at);
    log.ItemOpen(Item(FP_MOVE, "/home/u/docs/b", "/media/stick/Work/Docs/b"));
    log.ItemAttribute("  result=\"cp\"");
    log.ItemAttribute("  remove=\"source\"");
    log.ItemClose(at);
    log.ItemOpen(Item(FP_DELETE, "", "/media/stick/Work/Docs/old"));
    log.ItemClose(at);
    log.ActionsEnd();
    log.RemovedDir("/media/stick/Work/Docs/empty", true);
    log.RemovedDir("/media/stick/Work/Docs/busy", false);
    log.FolderEnd();
    log.FolderStart("/home/u/none", "/media/stick/Work/None");
    log.ActionsStart(0, at);
    log.ActionsEnd();
    log.FolderEnd();
    log.ProjectEnd();
    ASSERT_TRUE(log.Close());

    const std::string now = " now=\"2024-03-15 10:20:30\"/>";
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                  "<?xml-stylesheet type=\"text/xsl\" href=\"log.xsl\"?>",
                  "<sync station=\"pc\" date=\"2024-03-15 10:20:30\" log_only=\"yes\">",
                  "  <project action=\"SD_COPY\" caption=\"Work\" maxsize=\"5242880\" "
                  "compressbelow=\"1048576\">",
                  "    <folder source=\"/home/u/docs\" dest=\"/media/stick/Work/Docs\" "
                  "result=\"success\">",
                  "      <actions count=\"3\" time=\"2024-03-15 10:20:30\">",
                  "        <item source=\"/home/u/docs/a.txt\" "
                  "dest=\"/media/stick/Work/Docs/a.txt\" action=\"FP_COPY\" "
                  "ftime=\"2023-11-14 22:13:20 UTC\" result=\"bz\""
                      + now,
                  "        <item source=\"/home/u/docs/b\" dest=\"/media/stick/Work/Docs/b\" "
                  "action=\"FP_MOVE\" ftime=\"2023-11-14 22:13:20 UTC\"  result=\"cp\"  "
                  "remove=\"source\""
                      + now,
                  "        <item dest=\"/media/stick/Work/Docs/old\" action=\"FP_DELETE\"" + now,
                  "      </actions>",
                  "      <rmdir>",
                  "        <item dir=\"/media/stick/Work/Docs/empty\" result=\"ok\"/>",
                  "        <item dir=\"/media/stick/Work/Docs/busy\" result=\"fail\"/>",
                  "      </rmdir>",
                  "    </folder>",
                  "    <folder source=\"/home/u/none\" dest=\"/media/stick/Work/None\" "
                  "result=\"success\">",
                  "      <actions count=\"0\" time=\"2024-03-15 10:20:30\">",
                  "      </actions>",
                  "      <rmdir>",
                  "      </rmdir>",
                  "    </folder>",
                  "  </project>",
                  "</sync>",
              }));
}

// Escaping leaves other characters alone.
TEST_F(RunLogTest, ValuesAreEscapedAndWrittenAsUtf8WithoutSignature)
{
    log.Header("A&B <\"pc\">", at, false);
    const wxString caption = wxString::FromUTF8("\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82 & <co> \"q\"");
    log.ProjectStart("DS_COPY", caption, 0, 0);
    log.ItemOpen(Item(FP_COPY, "/s/a&b", "/d/<x>\"y\""));
    log.ItemClose(at);
    ASSERT_TRUE(log.Close());

    const std::vector<std::string> lines = Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].substr(0, 5), "<?xml");  // no byte-order mark before it
    EXPECT_EQ(lines[2], "<sync station=\"A&amp;B &lt;&quot;pc&quot;>\" date=\"2024-03-15 "
                        "10:20:30\" log_only=\"no\">");
    EXPECT_EQ(lines[3], "  <project action=\"DS_COPY\" caption=\"\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82 "
                        "&amp; &lt;co> &quot;q&quot;\" maxsize=\"0\" compressbelow=\"0\">");
    EXPECT_EQ(lines[4], "        <item source=\"/s/a&amp;b\" dest=\"/d/&lt;x>&quot;y&quot;\" "
                        "action=\"FP_COPY\" ftime=\"2023-11-14 22:13:20 UTC\" now=\"2024-03-15 "
                        "10:20:30\"/>");
    EXPECT_EQ(EscapeXmlAttribute("a&b<c\"d>e'f"), "a&amp;b&lt;c&quot;d>e'f");
    EXPECT_EQ(EscapeXmlAttribute(""), "");
}

// Destruction completes an open document.
TEST_F(RunLogTest, LogThatCannotBeOpenedIgnoresWrites)
{
    RunLog broken;
    EXPECT_FALSE(broken.Open(dir / "missing/log.xml"));
    broken.Header("pc", at, false);
    broken.ProjectEnd();
    EXPECT_TRUE(broken.Close());
    EXPECT_FALSE(Exists(dir / "missing"));
    {
        RunLog other;
        ASSERT_TRUE(other.Open(dir / "other.xml"));
        other.Header("pc", at, false);
    }
    const std::string text = ReadAll(dir / "other.xml");
    EXPECT_EQ(text.substr(text.size() - 10), ">\r\n</sync>");
}

} // namespace
