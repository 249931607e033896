#include "exchange/export.h"

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <regex>

#include "store/options.h"
#include "tests/exchange/exchange_test_support.h"

namespace {

// The export of the remote catalogue with GUIDs shown as tags and the export time as "*".
std::string TaggedExport(wxSQLite3Database& db)
{
    std::string xml = ToUtf8(BuildCatalogXml(db));
    xml = std::regex_replace(xml, std::regex("([A-Za-z0-9]+)\\.{3,}"), "$1");
    return std::regex_replace(xml, std::regex("export_time=\"[^\"]*\""), "export_time=\"*\"");
}

using ExportTest = ExchangeTest;

TEST_F(ExportTest, KnownCatalogueIsWrittenLineByLine)
{
    stationName = "a&b <\"c\">";
    sessionStart.ParseISOCombined("2024-05-06T07:08:09");
    AddRows(remote, {
        "STATION|s1|NAME=alpha|MODIFIED=2024-01-01 10:00:00|DELETED=0",
        "MEDIA|m1|NAME=Stick|MODIFIED=2024-01-02 10:00:00|DELETED=1",
        "PROJECT|p1|CAPTION=Tab\tand \"q\" & <x>|IGNORESIZEOVER=10|BZ2BELOW=2|MODIFIED=2024-01-03 10:00:00|DELETED=0",
        "FOLDER|f1|PROJECTID=@p1|FOLDER=Docs\r\nnew\x01|MODIFIED=2024-01-04 10:00:00|DELETED=1",
        "FOLDER|f2|PROJECTID=@gone|FOLDER=Orphan|MODIFIED=2024-01-04 10:00:00|DELETED=0",
        "STAFOLDER|sf1|FOLDERID=@f1|STATIONID=@s1|FOLDER=/home/a/docs|MODIFIED=2024-01-05 10:00:00|DELETED=0",
        "MEPROJECT|mp1|PROJECTID=@p1|MEDIAID=@m1|FOLDER=sync\\docs|MODIFIED=2024-01-06 10:00:00|DELETED=0",
        "ACLRULES|r1|FOLDERID=@f1|FILEMASK=*.txt|NLINE=5|ALLOW=1|MODIFIED=2024-01-07 10:00:00|DELETED=0",
        "BZ2IGNORE|b1|FILEMASK=*.zip|MODIFIED=2024-01-08 10:00:00",
    });
    EXPECT_EQ(TaggedExport(remote),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<?xml-stylesheet type=\"text/xsl\" href=\"dralvo.xsl\"?>\n"
        "<dralvo station=\"a&amp;b &lt;&quot;c&quot;>\" session_start=\"2024-05-06 07:08:09\" export_time=\"*\">\n"
        "  <station>\n"
        "    <item GUID=\"s1\" NAME=\"alpha\" MODIFIED=\"2024-01-01 10:00:00\" DELETED=\"0\"/>\n"
        "  </station>\n"
        "  <media>\n"
        "    <item GUID=\"m1\" NAME=\"Stick\" MODIFIED=\"2024-01-02 10:00:00\" DELETED=\"1\"/>\n"
        "  </media>\n"
        "  <project>\n"
        "    <item GUID=\"p1\" CAPTION=\"Tab&#9;and &quot;q&quot; &amp; &lt;x>\" IGNORESIZEOVER=\"10\" BZ2BELOW=\"2\" MODIFIED=\"2024-01-03 10:00:00\" DELETED=\"0\"/>\n"
        "  </project>\n"
        "  <folder>\n"
        "    <item GUID=\"f1\" FOLDER=\"Docs&#13;&#10;new\xEF\xBF\xBD\" MODIFIED=\"2024-01-04 10:00:00\" DELETED=\"1\" PROJECTID=\"p1\"/>\n"
        "  </folder>\n"
        "  <stafolder>\n"
        "    <item GUID=\"sf1\" FOLDER=\"/home/a/docs\" MODIFIED=\"2024-01-05 10:00:00\" DELETED=\"0\" FOLDERID=\"f1\" STATIONID=\"s1\"/>\n"
        "  </stafolder>\n"
        "  <meproject>\n"
        "    <item GUID=\"mp1\" FOLDER=\"sync\\docs\" MODIFIED=\"2024-01-06 10:00:00\" DELETED=\"0\" PROJECTID=\"p1\" MEDIAID=\"m1\"/>\n"
        "  </meproject>\n"
        "  <aclrules>\n"
        "    <item GUID=\"r1\" FILEMASK=\"*.txt\" NLINE=\"5\" ALLOW=\"1\" MODIFIED=\"2024-01-07 10:00:00\" DELETED=\"0\" FOLDERID=\"f1\"/>\n"
        "  </aclrules>\n"
        "  <bz2ignore>\n"
        "    <item GUID=\"b1\" FILEMASK=\"*.zip\" MODIFIED=\"2024-01-08 10:00:00\" DELETED=\"\"/>\n"
        "  </bz2ignore>\n"
        "</dralvo>");
}

TEST_F(ExportTest, EveryAttributeReadsBackFromAParser)
{
    // Markup, white space and controls, a non-character and a letter beyond ASCII: what a parser
    // cannot take is replaced.
    wxString all;
    for (wxUint32 c = 1; c < 0x80; ++c)
        all += wxUniChar(c);
    const wxUniChar bad(0xFFFD);
    const wxString letter = wxString::FromUTF8("\xD0\xAF");
    wxXmlDocument doc;
    ASSERT_TRUE(ParseCatalogText(
        ToUtf8("<dralvo v=\"" + EscapeAttribute(all + wxUniChar(0xFFFE) + letter) + "\"/>"), doc));
    EXPECT_EQ(doc.GetRoot()->GetAttribute("v"), wxString(bad, 8) + all.Mid(8, 2) + wxString(bad, 2) +
                                                    all.Mid(12, 1) + wxString(bad, 18) + all.Mid(31) +
                                                    bad + letter);
}

TEST_F(ExportTest, MediumGetsTheNewCatalogueOrAReportedFailure)
{
    const wxString outside = dir.Write("outside.txt", "keep");
    const struct {
        const char* name;
        std::function<void(const wxString& root)> prepare;
        long quality;       // soBzQuality for the run
        bool ok;
        const char* file;   // the file holding the catalogue afterwards, or null
    } rows[] = {
        {"fresh medium", [](const wxString&) {}, 9, true, kExportFileBz2},
        {"older file replaced", [](const wxString& r) { WriteTextFile(r + kExportFileBz2, "old"); }, 9, true, kExportFileBz2},
        {"link replaced, not followed", [&](const wxString& r) { symlink(NativePath(outside).c_str(), NativePath(r + kExportFileBz2).c_str()); }, 9, true, kExportFileBz2},
        {"compression fails: plain", [](const wxString&) {}, 0, true, kExportFilePlain},
        {"medium gone", [](const wxString& r) { rmdir(NativePath(r).c_str()); }, 9, false, nullptr},
        {"a directory in the way", [](const wxString& r) { mkdir(NativePath(r + kExportFileBz2).c_str(), 0777); }, 9, false, nullptr},
    };
    const long savedQuality = soBzQuality;
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const wxString root = dir.MakeDir(wxString::Format("medium%d", ++n)) + "/";
        row.prepare(root);
        soBzQuality = row.quality;
        wxString error;
        const bool ok = ExportCatalogXml(root, &error);
        soBzQuality = savedQuality;
        EXPECT_EQ(ok, row.ok);
        EXPECT_EQ(error.empty(), row.ok) << error;
        EXPECT_EQ(ReadAll(outside), "keep");
        EXPECT_EQ(TemporariesUnder(dir.Path()), 0);
        if (row.file) {
            const auto bytes = ReadCatalogFile(root + row.file, ImportLimits());
            wxXmlDocument doc;
            EXPECT_TRUE(bytes && ParseCatalogText(*bytes, doc));
            EXPECT_EQ(doc.GetRoot() ? doc.GetRoot()->GetName() : "", "dralvo");
        }
    }
}

} // namespace
