#include "store/statements.h"

#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include "store/catalog.h"
#include "store/database.h"
#include "store/text.h"
#include "tests/support/test_env.h"

namespace {

class StatementsTest : public CatalogTest {
protected:
    // Rows of every table where the filters and orders of the statements matter: deleted rows,
    // rows of another station, project, folder or medium, and rows stored out of order.
    // Station 1 is this station; IDs follow the order of the values.
    static void StoreRows()
    {
        for (const char* sql : {
                 "insert into STATION (GUID, NAME, DELETED) values ('s2', 'other', 0)",
                 "insert into MEDIA (GUID, NAME, DELETED) values ('m1', 'Stick B', 0), ('m2', 'Stick A', 0), "
                 "('m3', 'Gone', 1)",
                 "insert into PROJECT (GUID, CAPTION, IGNORESIZEOVER, BZ2BELOW, DELETED) values "
                 "('p1', 'Zeta', 10, 20, 0), ('p2', 'Alpha', 0, 0, 0), ('p3', 'Dead', 0, 0, 1)",
                 "insert into FOLDER (GUID, PROJECTID, FOLDER, DELETED) values ('f1', 1, 'Mail', 0), "
                 "('f2', 1, 'Docs', 0), ('f3', 1, 'Old', 1), ('f4', 2, 'Pics', 0)",
                 "insert into STAFOLDER (GUID, FOLDERID, STATIONID, FOLDER, DELETED) values ('a1', 1, 1, "
                 "'/st/mail', 0), ('a2', 2, 2, '/other/docs', 0), ('a3', 2, 1, '/st/docs', 1), ('a4', 3, 1, '/st/old', 0)",
                 "insert into MEPROJECT (GUID, PROJECTID, MEDIAID, FOLDER, DELETED) values ('e1', 1, 1, 'Z1', 0), "
                 "('e2', 2, 1, 'A1', 0), ('e3', 3, 1, 'D1', 0), ('e4', 1, 2, 'Z2', 1)",
                 "insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE, ALLOW, DELETED) values ('r1', 1, '*.b', "
                 "20, 1, 0), ('r2', 1, '*.a', 10, 0, 0), ('r3', 1, '*.c', 15, 1, 1), ('r4', 2, '*.x', 5, 1, 0)",
                 "insert into BZ2IGNORE (GUID, FILEMASK, DELETED) values ('b1', '*.zip', 0), ('b2', '*.gz', 1), "
                 "('b3', '*.7z', 0)"})
            ExecUpdate(sql);
    }
};

// The statements the windows, the run and start-up read with: which rows, in which order.
TEST_F(StatementsTest, EverySelectGivesTheRowsItsUsersExpect)
{
    StoreRows();
    ASSERT_EQ(1u, stationId);
    const struct {
        const char* name;
        wxString sql;
        const char* rows;
    } cases[] = {
        {"live media", kSqlSelectLiveMedia, "2|Stick A; 1|Stick B"},
        {"medium by GUID", wxString::Format(kSqlSelectMediumByGuid, "m3"), "3|Gone"},
        {"media like", wxString::Format(kSqlCountMediaNamedLike, "stick_a"), "1"},
        {"other media like", wxString::Format(kSqlCountOtherMediaNamedLike, "stick%", 1), "1"},
        {"live projects", kSqlSelectLiveProjects, "2|Alpha; 1|Zeta"},
        {"picker projects", kSqlSelectLiveProjectsForPicker, "2|Alpha; 1|Zeta"},
        {"project properties", wxString::Format(kSqlSelectProjectProperties, 1), "Zeta|10|20"},
        {"projects on medium", wxString::Format(kSqlSelectProjectsOnMedium, 1), "2|Alpha; 1|Zeta"},
        {"captions like", wxString::Format(kSqlCountProjectsCaptionLike, "DEAD"), "1"},
        {"other captions like", wxString::Format(kSqlCountOtherProjectsCaptionLike, "zeta", 1), "0"},
        {"project folders", wxString::Format(kSqlSelectProjectFolders, 1, 1), "2|Docs|1; 1|Mail|1"},
        {"folders like", wxString::Format(kSqlCountFoldersNamedLike, 1, "OLD"), "1"},
        {"folder jobs", wxString::Format(kSqlSelectFolderJobs, 1, 1), "Mail|/st/mail|1"},
        {"project and folder", wxString::Format(kSqlSelectProjectAndFolderName, 4), "Alpha|Pics"},
        {"station folder", wxString::Format(kSqlSelectStationFolder, 2, 1), "/st/docs"},
        {"live station folder", wxString::Format(kSqlSelectLiveStationFolder, 2, 1), ""},
        {"medium project folder", wxString::Format(kSqlSelectMediumProjectFolder, 1, 2), "Z2"},
        {"medium location", wxString::Format(kSqlSelectMediumLocationOfFolder, 2, 1), "Z1|Docs"},
        {"project job", wxString::Format(kSqlSelectProjectJob, 1, 1), "Z1|10|20"},
        {"project job, deleted", wxString::Format(kSqlSelectProjectJob, 1, 2), ""},
        {"medium projects", wxString::Format(kSqlCountMediumProjects, 1, 2), "1"},
        {"rules for run", wxString::Format(kSqlSelectRulesForRun, 1), "*.a|0; *.b|1"},
        {"live rules", wxString::Format(kSqlSelectLiveRules, 1), "2|*.a|10|0|0; 1|*.b|20|1|0"},
        {"all rules", wxString::Format(kSqlSelectAllRules, 1),
         "2|*.a|10|0|0; 3|*.c|15|1|1; 1|*.b|20|1|0"},
        {"next lines", kSqlSelectNextRuleLinePerFolder, "1|25; 2|10"},
        {"live masks", kSqlSelectLiveIncompressibleMasks, "3|*.7z; 1|*.zip"},
        {"all masks", kSqlSelectAllIncompressibleMasks, "3|*.7z|0; 2|*.gz|1; 1|*.zip|0"},
        {"station by name", wxString::Format(kSqlSelectStationIdByName, "other"), "2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wxString(c.rows), Rows(c.sql));
    }
}

TEST_F(StatementsTest, TransactionsEscapeQuotesAndOneStatementPerText)
{
    for (const bool commit : {false, true}) {
        Transaction transaction;
        AddProject("p");
        if (commit)
            transaction.Commit();
    }
    EXPECT_THROW({
        Transaction transaction;
        AddProject("p");
        ExecUpdate("insert into NO_SUCH_TABLE values (1)");
        transaction.Commit();
    }, wxSQLite3Exception);
    EXPECT_EQ(Scalar("select count(*) from PROJECT"), 1);
    EXPECT_TRUE(catalogDb.GetAutoCommit());  // no transaction left open
    for (const auto& [typed, stored] : {std::pair{"Kitchen's photos", "Kitchen\"s photos"}, {"", ""},
                                        {"''", "\"\""}, {"a\"b", "a\"b"}})
        EXPECT_EQ(EscapeQuotes(typed), stored) << typed;

    // Whatever follows the first statement may be blanks, semicolons and comments only.
    const std::pair<const char*, bool> tails[] = {
        {"", true}, {"; ;\n-- end\n/* c */", true}, {" and CAPTION <> 'a;b'", true},
        {"; update PROJECT set CAPTION='pwn'", false}, {";--\nupdate PROJECT set CAPTION='pwn'", false},
        {"/* ; */; delete from PROJECT;--", false}};
    for (const auto& [tail, one] : tails) {
        const wxString query = wxString("select count(*) from PROJECT where DELETED=0") + tail;
        const std::function<void()> runs[] = {
            [&] { ExecScalar(query); }, [&] { ExecScalar64(query); }, [&] { ExecQuery(query); },
            [&] { Prepare(query); }, [&] { ExecUpdate(wxString("update PROJECT set DELETED=0 where ID=1") + tail); }};
        for (const auto& run : runs) {
            if (one)
                EXPECT_NO_THROW(run()) << tail;
            else
                EXPECT_THROW(run(), wxSQLite3Exception) << tail;
        }
    }
    EXPECT_EQ(Rows("select CAPTION from PROJECT"), "p");
}

} // namespace
