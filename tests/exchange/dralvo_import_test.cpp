#include "exchange/dralvo_import.h"

#include <algorithm>

#include "tests/exchange/exchange_test_support.h"

namespace {

using ImportTest = ExchangeTest;

// Station s1, medium m1, project p1 and its folder f1.
const std::vector<wxString> kBase = {kCatalogue[0], kCatalogue[2], kCatalogue[3], kCatalogue[5]};

TEST_F(ImportTest, OnlyANewerRowWinsWithItsDeletedFlag)
{
    AddRows(catalogDb, kBase);
    AddRows(remote, kBase);
    const struct {
        wxString local, imported;
        std::string expected;  // the local item afterwards
    } rows[] = {
        {"STATION|s2|NAME=beta|MODIFIED=2024-02-01 10:00:00|DELETED=0",
         "STATION|s2|NAME=beta2|MODIFIED=2024-03-01 10:00:00|DELETED=1", "station:s2|beta2|2024-03-01 10:00:00|1"},
        {"MEDIA|m2|NAME=Old|MODIFIED=2024-02-01 10:00:00|DELETED=0",
         "MEDIA|m2|NAME=Same time|MODIFIED=2024-02-01 10:00:00|DELETED=1", "media:m2|Old|2024-02-01 10:00:00|0"},
        {"MEDIA|m3|NAME=No time|DELETED=0",
         "MEDIA|m3|NAME=Timed|MODIFIED=2024-02-01 10:00:00|DELETED=0", "media:m3|No time||0"},
        {"PROJECT|p2|CAPTION=Newer here|IGNORESIZEOVER=1|BZ2BELOW=1|MODIFIED=2024-05-01 10:00:00|DELETED=0",
         "PROJECT|p2|CAPTION=Older there|IGNORESIZEOVER=2|BZ2BELOW=2|MODIFIED=2024-04-01 10:00:00|DELETED=1",
         "project:p2|Newer here|1|1|2024-05-01 10:00:00|0"},
        {"PROJECT|p3|CAPTION=Live|IGNORESIZEOVER=1|BZ2BELOW=1|MODIFIED=2024-02-01 10:00:00|DELETED=0",
         "PROJECT|p3|CAPTION=Gone|IGNORESIZEOVER=7|BZ2BELOW=8|MODIFIED=2024-02-01 10:00:01|DELETED=1",
         "project:p3|Gone|7|8|2024-02-01 10:00:01|1"},
        {"FOLDER|f2|PROJECTID=@p1|FOLDER=Music|MODIFIED=2024-02-01 10:00:00|DELETED=0",
         "FOLDER|f2|PROJECTID=@p1|FOLDER=Songs|MODIFIED=2024-03-01 10:00:00|DELETED=1", "folder:f2|Songs|2024-03-01 10:00:00|1|p1"},
        {"STAFOLDER|sf1|FOLDERID=@f1|STATIONID=@s1|FOLDER=/a|MODIFIED=2024-02-01 10:00:00|DELETED=0",
         "STAFOLDER|sf1|FOLDERID=@f1|STATIONID=@s1|FOLDER=/b|MODIFIED=2024-03-01 10:00:00|DELETED=0",
         "stafolder:sf1|/b|2024-03-01 10:00:00|0|f1|s1"},
        {"MEPROJECT|mp1|PROJECTID=@p1|MEDIAID=@m1|FOLDER=x|MODIFIED=2024-02-01 10:00:00|DELETED=0",
         "MEPROJECT|mp1|PROJECTID=@p1|MEDIAID=@m1|FOLDER=y|MODIFIED=2024-03-01 10:00:00|DELETED=1",
         "meproject:mp1|y|2024-03-01 10:00:00|1|p1|m1"},
        {"ACLRULES|r1|FOLDERID=@f1|FILEMASK=*.a|NLINE=5|ALLOW=1|MODIFIED=2024-02-01 10:00:00|DELETED=0",
         "ACLRULES|r1|FOLDERID=@f1|FILEMASK=*.b|NLINE=7|ALLOW=0|MODIFIED=2024-03-01 10:00:00|DELETED=1",
         "aclrules:r1|*.b|7|0|2024-03-01 10:00:00|1|f1"},
        {"BZ2IGNORE|b1|FILEMASK=*.zip|MODIFIED=2024-03-01 10:00:00|DELETED=0",
         "BZ2IGNORE|b1|FILEMASK=*.rar|MODIFIED=2024-02-01 10:00:00|DELETED=1", "bz2ignore:b1|*.zip|2024-03-01 10:00:00|0"},
    };
    for (const auto& row : rows) {
        AddRow(catalogDb, row.local);
        AddRow(remote, row.imported);
    }
    EXPECT_EQ(Import(ExportTo(remote, "m")).failed, 0);
    const std::vector<std::string> items = Items(catalogDb);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_NE(std::find(items.begin(), items.end(), row.expected), items.end());
    }
    // The catalogue's own export changes nothing.
    EXPECT_EQ(Import(ExportTo(catalogDb, "own")).failed, 0);
    EXPECT_EQ(Items(catalogDb), items);
}

TEST_F(ImportTest, NewRowsLandUnderTheirLocalParents)
{
    AddRows(catalogDb, {
        "STATION|sx|NAME=alpha|MODIFIED=2024-01-01 10:00:00|DELETED=0",
        "STATION|s2|NAME=beta|MODIFIED=2024-01-01 10:00:00|DELETED=0",
        "STATION|s3|NAME=gamma|MODIFIED=2024-01-01 10:00:00|DELETED=0",
        "PROJECT|p1|CAPTION=Newer here|MODIFIED=2024-09-01 10:00:00|DELETED=0",
    });
    AddRows(remote, {
        // Known here by name only: the local row takes the GUID.
        "STATION|s1|NAME=alpha|MODIFIED=2024-02-01 10:00:00|DELETED=0",
        // The GUID of one station with the name of another: the GUID decides.
        "STATION|s2|NAME=gamma|MODIFIED=2024-02-01 10:00:00|DELETED=0",
        "PROJECT|p1|CAPTION=Older there|IGNORESIZEOVER=0|BZ2BELOW=0|MODIFIED=2024-01-01 10:00:00|DELETED=0",
        "FOLDER|f9|PROJECTID=@p1|FOLDER=New|MODIFIED=2024-01-01 10:00:00|DELETED=0",
        "STAFOLDER|sf9|FOLDERID=@f9|STATIONID=@s1|FOLDER=/n|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    });
    EXPECT_EQ(Import(ExportTo(remote, "m")).failed, 0);
    EXPECT_EQ(Items(catalogDb, "station"),
              (std::vector<std::string>{"here|test-station|2024-01-01 00:00:00|0",
                                        "s1|alpha|2024-02-01 10:00:00|0",
                                        "s2|gamma|2024-02-01 10:00:00|0",
                                        "s3|gamma|2024-01-01 10:00:00|0"}));
    EXPECT_EQ(Items(catalogDb, "project"), std::vector<std::string>{"p1|Newer here|||2024-09-01 10:00:00|0"});
    EXPECT_EQ(Items(catalogDb, "folder"), std::vector<std::string>{"f9|New|2024-01-01 10:00:00|0|p1"});
    EXPECT_EQ(Items(catalogDb, "stafolder"), std::vector<std::string>{"sf9|/n|2024-01-01 10:00:00|0|f9|s1"});
}

TEST_F(ImportTest, NewRulesFollowTheFolderAndDuplicateLinesAreRenumbered)
{
    const std::vector<wxString> folders = {
        "PROJECT|p1|CAPTION=P|MODIFIED=2024-01-01 10:00:00|DELETED=0",
        "FOLDER|f1|PROJECTID=@p1|FOLDER=A|MODIFIED=2024-01-01 10:00:00|DELETED=0",
        "FOLDER|f2|PROJECTID=@p1|FOLDER=B|MODIFIED=2024-01-01 10:00:00|DELETED=0",
        "FOLDER|f3|PROJECTID=@p1|FOLDER=C|MODIFIED=2024-01-01 10:00:00|DELETED=0",
    };
    AddRows(catalogDb, folders);
    AddRows(remote, folders);
    // Local rules of f1 at 5, 10, 15 and three of f3 sharing line 10; new rules for f1 and f2.
    const wxString rule = "|FILEMASK=x|ALLOW=1|MODIFIED=2024-01-01 10:00:00|DELETED=0";
    for (const char* row : {"l1|FOLDERID=@f1|NLINE=5", "l2|FOLDERID=@f1|NLINE=10", "l3|FOLDERID=@f1|NLINE=15",
                            "d1|FOLDERID=@f3|NLINE=10", "d2|FOLDERID=@f3|NLINE=10", "d3|FOLDERID=@f3|NLINE=10"})
        AddRow(catalogDb, "ACLRULES|" + wxString(row) + rule);
    for (const char* row : {"n1|FOLDERID=@f1|NLINE=1", "n2|FOLDERID=@f1|NLINE=1", "n3|FOLDERID=@f2|NLINE=7",
                            "n4|FOLDERID=@f2|NLINE="})
        AddRow(remote, "ACLRULES|" + wxString(row) + rule);
    EXPECT_EQ(Import(ExportTo(remote, "m")).failed, 0);
    std::vector<std::string> lines;
    wxSQLite3ResultSet rows = catalogDb.ExecuteQuery(
        "select R.GUID, R.NLINE from ACLRULES R order by R.GUID");
    while (rows.NextRow())
        lines.push_back(ToUtf8(TagOf(rows.GetAsString(0)) + "=" + rows.GetAsString(1)));
    EXPECT_EQ(lines, (std::vector<std::string>{"d1=10", "d2=20", "d3=15", "l1=5", "l2=10", "l3=15",
                                               "n1=20", "n2=25", "n3=7", "n4=5"}));
}

TEST_F(ImportTest, OneFilePerMediumTheCompressedOnePreferred)
{
    ConnectedMediaList media;
    for (const char* files : {"both:dralvo.xml:dralvo.xml.bz2", "plain:dralvo.xml", "none", "packed:dralvo.xml.bz2"}) {
        const wxArrayString parts = wxSplit(files, ':');
        auto medium = std::make_shared<ConnectedMedium>();
        medium->root = dir.MakeDir(parts[0]) + "/";
        for (size_t i = 1; i < parts.size(); ++i)
            dir.Write(parts[0] + "/" + parts[i], "x");
        media.push_back(medium);
    }
    EXPECT_EQ(wxJoin(CollectImportFiles(media), ';'),
              dir / "both/dralvo.xml.bz2;" + dir / "plain/dralvo.xml;" + dir / "packed/dralvo.xml.bz2");
}

TEST_F(ImportTest, AFailingFileIsRolledBackAndTheNextOneMerged)
{
    // A local trigger makes one statement of the first file fail half way.
    catalogDb.ExecuteUpdate("create trigger FAIL_BOOM before insert on FOLDER when NEW.FOLDER = 'boom' "
                            "begin select raise(abort, 'boom'); end");
    AddRows(remote, {"PROJECT|pa|CAPTION=First|MODIFIED=2024-01-01 10:00:00|DELETED=0",
                     "FOLDER|fa|PROJECTID=@pa|FOLDER=boom|MODIFIED=2024-01-01 10:00:00|DELETED=0"});
    const wxString first = ExportTo(remote, "m1");
    remote.ExecuteUpdate("delete from FOLDER");
    remote.ExecuteUpdate("delete from PROJECT");
    AddRow(remote, "PROJECT|pb|CAPTION=Second|MODIFIED=2024-01-01 10:00:00|DELETED=0");
    const wxString files[] = {first, ExportTo(remote, "m2")};
    const ImportEvents events = Import(wxArrayString(2, files));
    EXPECT_EQ(events.started, 16);
    EXPECT_EQ(Import(wxArrayString()).finished, 1);  // no files: it still ends
    EXPECT_EQ(events.progress, 16);
    EXPECT_EQ(events.finished, 1);
    EXPECT_EQ(events.failed, 1);
    EXPECT_EQ(Items(catalogDb, "project"), std::vector<std::string>{"pb|Second|0|0|2024-01-01 10:00:00|0"});
}

} // namespace
