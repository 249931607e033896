#include "exchange/export.h"

#include <regex>

#include "tests/exchange/exchange_test_support.h"

TEST_F(ExchangeTest, KnownCatalogueIsWrittenLineByLine)
{
    stationName = "a&b <\"c\">";
    sessionStart.ParseISOCombined("2024-05-06T07:08:09");
    AddRows(remote, {
        "PROJECT|p1|CAPTION=Tab\tand \"q\" & <x>|IGNORESIZEOVER=10|BZ2BELOW=2|MODIFIED=2024-01-03 10:00:00|DELETED=0",
        "FOLDER|f1|PROJECTID=@p1|FOLDER=Docs\r\nnew\x01|MODIFIED=2024-01-04 10:00:00|DELETED=1",
        "FOLDER|f2|PROJECTID=@gone|FOLDER=Orphan|MODIFIED=2024-01-04 10:00:00|DELETED=0",
        "BZ2IGNORE|b1|FILEMASK=*.zip|MODIFIED=2024-01-08 10:00:00",
    });
    std::string xml = std::regex_replace(ToUtf8(BuildCatalogXml(remote)), std::regex("(\\w+)\\.{3,}"), "$1");
    xml = std::regex_replace(xml, std::regex("export_time=\"[^\"]*\""), "export_time=\"*\"");
    EXPECT_EQ(xml,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<?xml-stylesheet type=\"text/xsl\" href=\"dralvo.xsl\"?>\n"
        "<dralvo station=\"a&amp;b &lt;&quot;c&quot;>\" session_start=\"2024-05-06 07:08:09\" export_time=\"*\">\n"
        "  <station>\n  </station>\n  <media>\n  </media>\n  <project>\n"
        "    <item GUID=\"p1\" CAPTION=\"Tab&#9;and &quot;q&quot; &amp; &lt;x>\" IGNORESIZEOVER=\"10\" BZ2BELOW=\"2\" MODIFIED=\"2024-01-03 10:00:00\" DELETED=\"0\"/>\n"
        "  </project>\n  <folder>\n"
        "    <item GUID=\"f1\" FOLDER=\"Docs&#13;&#10;new\xEF\xBF\xBD\" MODIFIED=\"2024-01-04 10:00:00\" DELETED=\"1\" PROJECTID=\"p1\"/>\n"
        "  </folder>\n  <stafolder>\n  </stafolder>\n  <meproject>\n  </meproject>\n"
        "  <aclrules>\n  </aclrules>\n  <bz2ignore>\n"
        "    <item GUID=\"b1\" FILEMASK=\"*.zip\" MODIFIED=\"2024-01-08 10:00:00\" DELETED=\"\"/>\n"
        "  </bz2ignore>\n"
        "</dralvo>");
    // What a parser cannot take was replaced; controls arrive as they were.
    EXPECT_EQ(Items(remote, "folder"), std::vector<std::string>{"f1|Docs\r\nnew\xEF\xBF\xBD|2024-01-04 10:00:00|1|p1"});
    EXPECT_EQ(Items(remote, "project"), std::vector<std::string>{"p1|Tab\tand \"q\" & <x>|10|2|2024-01-03 10:00:00|0"});
}
