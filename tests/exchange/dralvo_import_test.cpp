#include "exchange/dralvo_import.h"

#include <algorithm>

#include "tests/exchange/exchange_test_support.h"

TEST_F(ExchangeTest, OnlyANewerRowWinsAndNewRowsLandUnderTheirLocalParentsInSteps)
{
    const wxString t1 = "|MODIFIED=2024-02-01 10:00:00", t2 = "|MODIFIED=2024-03-01 10:00:00";
    // Local IDs differ from the remote ones.
    AddRows(catalogDb, {"PROJECT|p0|DELETED=0" + t1, "FOLDER|f0|PROJECTID=@p0|DELETED=0" + t1});
    AddRows(catalogDb, kBase);
    AddRows(remote, kBase);
    // A crafted station row that carries this computer's name: its locations are this station's.
    AddRow(remote, "STATION|hx|NAME=test-station|DELETED=0" + t2);
    const struct {
        wxString local, imported;  // empty local: new here
        bool wins;                 // the local row becomes the imported one, else stays (or is not added)
    } rows[] = {
        {"STATION|s2|NAME=beta|DELETED=0" + t1, "STATION|s2|NAME=beta2|DELETED=1" + t2, true},
        {"MEDIA|m2|NAME=Old|DELETED=0" + t1, "MEDIA|m2|NAME=Same time|DELETED=1" + t1, false},
        {"MEDIA|m3|NAME=No time|DELETED=0", "MEDIA|m3|NAME=Timed|DELETED=0" + t1, false},
        {"PROJECT|p3|CAPTION=Live|IGNORESIZEOVER=1|BZ2BELOW=1|DELETED=0" + t1,
         "PROJECT|p3|CAPTION=Gone|IGNORESIZEOVER=7|BZ2BELOW=8|MODIFIED=2024-02-01 10:00:01|DELETED=1", true},
        {"FOLDER|f2|PROJECTID=@p1|FOLDER=Music|DELETED=0" + t1, "FOLDER|f2|PROJECTID=@p1|FOLDER=Songs|DELETED=1" + t2, true},
        {"STAFOLDER|sf1|FOLDERID=@f1|STATIONID=@s1|FOLDER=/a|DELETED=0" + t1,
         "STAFOLDER|sf1|FOLDERID=@f1|STATIONID=@s1|FOLDER=/b|DELETED=0" + t2, true},
        {"MEPROJECT|mp1|PROJECTID=@p1|MEDIAID=@m1|FOLDER=x|DELETED=0" + t1,
         "MEPROJECT|mp1|PROJECTID=@p1|MEDIAID=@m1|FOLDER=y|DELETED=1" + t2, true},
        {"ACLRULES|r1|FOLDERID=@f1|FILEMASK=*.a|NLINE=5|ALLOW=1|DELETED=0" + t1,
         "ACLRULES|r1|FOLDERID=@f1|FILEMASK=*.b|NLINE=7|ALLOW=0|DELETED=1" + t2, true},
        {"BZ2IGNORE|b1|FILEMASK=*.zip|DELETED=0" + t2, "BZ2IGNORE|b1|FILEMASK=*.rar|DELETED=1" + t1, false},
        // Known here by name only: the local row takes the GUID.
        {"STATION|sx|NAME=delta|DELETED=0" + t1, "STATION|s5|NAME=delta|DELETED=0" + t2, true},
        // The GUID of one station with the name of another: the GUID decides.
        {"STATION|s6|NAME=eta|DELETED=0" + t1, "STATION|s6|NAME=delta|DELETED=0" + t2, true},
        // New rows under parents known here by another ID.
        {"", "FOLDER|f9|PROJECTID=@p1|FOLDER=New|DELETED=0" + t1, true},
        {"", "STAFOLDER|sf9|FOLDERID=@f9|STATIONID=@s5|FOLDER=/n|DELETED=0" + t1, true},
        // Only this station changes its own locations: an import adds one it lacks (sb below),
        // no more.
        {"STAFOLDER|sh|FOLDERID=@f1|STATIONID=@here|FOLDER=/mine|DELETED=0" + t1,
         "STAFOLDER|sh|FOLDERID=@f1|STATIONID=@hx|FOLDER=/evil|DELETED=1" + t2, false},
        {"STAFOLDER|so|FOLDERID=@f1|STATIONID=@s2|FOLDER=/theirs|DELETED=0" + t1,
         "STAFOLDER|so|FOLDERID=@f1|STATIONID=@hx|FOLDER=/evil|DELETED=0" + t2, false},
        {"", "STAFOLDER|sd|FOLDERID=@f1|STATIONID=@hx|FOLDER=/evil|DELETED=0" + t1, false},
        {"", "STAFOLDER|sn|FOLDERID=@f2|STATIONID=@hx|FOLDER=/evil|DELETED=0" + t2, false},  // see sg below
    };
    for (const auto& row : rows) {
        if (!row.local.empty())
            AddRow(catalogDb, row.local);
        AddRow(remote, row.imported);
    }
    // A location of this station that it deleted is its own as well.
    AddRow(catalogDb, "STAFOLDER|sg|FOLDERID=@f2|STATIONID=@here|FOLDER=/gone|DELETED=1" + t1);
    AddRow(remote, "STAFOLDER|sb|FOLDERID=@f9|STATIONID=@hx|FOLDER=/back|DELETED=0" + t1);
    // Local rules of f1 at 5, 10, 15 and three of f0 sharing line 10; new rules for f1 and f2.
    const wxString rule = "|FILEMASK=x|ALLOW=1|MODIFIED=2024-01-01 10:00:00|DELETED=0";
    for (const char* row : {"l1|FOLDERID=@f1|NLINE=5", "l2|FOLDERID=@f1|NLINE=10", "l3|FOLDERID=@f1|NLINE=15",
                            "d1|FOLDERID=@f0|NLINE=10", "d2|FOLDERID=@f0|NLINE=10", "d3|FOLDERID=@f0|NLINE=10"})
        AddRow(catalogDb, "ACLRULES|" + wxString(row) + rule);
    for (const char* row : {"n1|FOLDERID=@f1|NLINE=1", "n2|FOLDERID=@f1|NLINE=1", "n3|FOLDERID=@f2|NLINE=7",
                            "n4|FOLDERID=@f2|NLINE="})
        AddRow(remote, "ACLRULES|" + wxString(row) + rule);
    const std::vector<std::string> local = Items(catalogDb), imported = Items(remote);
    EXPECT_EQ(Import(ExportTo(remote, "m")).failed, 0);
    const std::vector<std::string> items = Items(catalogDb);
    for (const auto& row : rows) {
        const std::string tag = ToUtf8(row.imported.BeforeFirst('|').Lower() + ":" +
                                       row.imported.AfterFirst('|').BeforeFirst('|') + "|");
        if (row.local.empty() && !row.wins) {
            EXPECT_TRUE(std::none_of(items.begin(), items.end(), [&](auto& i) { return i.starts_with(tag); })) << tag;
            continue;
        }
        const std::vector<std::string>& from = row.wins ? imported : local;
        const auto expected = std::find_if(from.begin(), from.end(), [&](auto& i) { return i.starts_with(tag); });
        ASSERT_NE(expected, from.end()) << tag;
        EXPECT_NE(std::find(items.begin(), items.end(), *expected), items.end()) << *expected;
    }
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](auto& i) { return i.starts_with("station:"); }), 5);
    EXPECT_NE(std::find(items.begin(), items.end(), "stafolder:sb|/back|2024-02-01 10:00:00|0|f9|here"), items.end());
    // New rules in steps of 5 after the folder's last, duplicate lines renumbered.
    EXPECT_EQ(catalogDb.ExecuteQuery("select group_concat(substr(GUID, 1, 2) || '=' || NLINE, ' ') from "
                                     "(select GUID, NLINE from ACLRULES order by GUID)").GetAsString(0),
              "d1=10 d2=20 d3=15 l1=5 l2=10 l3=15 n1=20 n2=25 n3=7 n4=5 r1=7");
    // The catalogue's own export changes nothing.
    EXPECT_EQ(Import(ExportTo(catalogDb, "own")).failed, 0);
    EXPECT_EQ(Items(catalogDb), items);
}
