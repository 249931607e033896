#include "exchange/export.h"

#include <unistd.h>

#include <functional>
#include <regex>
#include <utility>

#include "store/options.h"

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

// The export replaces its own name and takes away a stale file or link of the other name, which
// an import elsewhere would otherwise merge (the compressed one first); a link goes, never what
// it points to, and a directory, which no import reads, stays.
TEST_F(ExchangeTest, ExportLeavesNoOlderCatalogueOfTheOtherName)
{
    AddRows(catalogDb, kBase);
    const wxString outside = dir.Write("outside/dralvo.xml", "kept");
    const auto file = [&](const wxString& at) { dir.Write(at.Mid(dir.Path().length()), "old"); };
    const auto link = [&](const wxString& at) { ASSERT_EQ(symlink(NativePath(outside).c_str(), NativePath(at).c_str()), 0); };
    const auto directory = [&](const wxString& at) { dir.MakeDir(at.Mid(dir.Path().length())); };
    const struct {
        const char* name;
        bool compressed;  // else compression fails and the plain document is written
        std::function<void(const wxString& at)> other;  // what stands at the other name
        bool otherStays;
    } rows[] = {
        {"compressed, a stale plain one beside", true, file, false},
        {"plain, a stale compressed one beside", false, file, false},
        {"compressed, a link of the plain name", true, link, false},
        {"plain, a link of the compressed name", false, link, false},
        {"plain, a directory of the compressed name", false, directory, true},
        {"compressed, nothing beside", true, {}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString root = dir.MakeDir(row.name) + "/";
        const char* written = row.compressed ? kExportFileBz2 : kExportFilePlain;
        const wxString other = root + (row.compressed ? kExportFilePlain : kExportFileBz2);
        dir.Write(wxString(row.name) + "/" + written, "old");
        if (row.other)
            row.other(other);
        const unsigned quality = std::exchange(soBzQuality, row.compressed ? soBzQuality : 0);
        const auto prepared = PrepareCatalogExport(nullptr);
        soBzQuality = quality;
        ASSERT_TRUE(prepared);
        ASSERT_STREQ(prepared->name, written);
        wxString error = "none given";
        EXPECT_TRUE(WriteCatalogExport(*prepared, root, &error));
        EXPECT_EQ(error, "");
        EXPECT_EQ(ReadAll(root + written), std::string(prepared->bytes.begin(), prepared->bytes.end()));
        EXPECT_EQ(Exists(other), row.otherStays);
    }
    EXPECT_EQ(ReadAll(outside), "kept");
}
