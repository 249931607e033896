#include "store/catalog.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/utils.h>
#include <wx/wxsqlite3.h>

#include "store/database.h"
#include "store/schema.h"
#include "store/statements.h"
#include "store/text.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_env.h"

namespace {

const std::regex kTimeShape("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");

// Every object of a catalogue file by name: its SQL text.
using SchemaMap = std::map<std::string, std::string>;

// The objects of schema version 3 as sqlite_master keeps them (the first two words upper-cased).
SchemaMap Version3Schema()
{
    std::vector<std::string> ddl(std::begin(kDdlVersion2Tables), std::end(kDdlVersion2Tables));
    ddl.insert(ddl.begin(), kDdlVersion);
    ddl.insert(ddl.end(), std::begin(kDdlVersion3), std::end(kDdlVersion3) - 1);
    SchemaMap schema;
    for (std::string sql : ddl) {
        const std::size_t name = sql.find(' ', 7) + 1;
        std::transform(sql.begin(), sql.begin() + name, sql.begin(), ::toupper);
        schema[sql.substr(name, sql.find(' ', name) - name)] = sql;
    }
    return schema;
}

// Opens catalogues the way start-up does, on a database file in a temporary directory.
class OpenCatalogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        databasePath = dir / "dralvo.db";
        userDataDir = dir.Path();
        stationName = "test-station";
        sessionStart = wxDateTime(4, wxDateTime::Mar, 2021, 10, 20, 30);
    }
    void TearDown() override
    {
        if (catalogDb.IsOpen())
            catalogDb.Close();
    }

    // Writes a catalogue by hand: VERSION with one row holding the version (none when 0), and
    // with tables, the objects of version 2 and one project.
    void BuildFile(int version, bool tables)
    {
        wxSQLite3Database db;
        db.Open(databasePath);
        db.ExecuteUpdate(kDdlVersion);
        if (version)
            db.ExecuteUpdate(wxString::Format("insert into VERSION (VERSION) values (%d)", version));
        for (const char* sql : kDdlVersion2Tables)
            if (tables)
                db.ExecuteUpdate(sql);
        if (tables)
            db.ExecuteUpdate("insert into PROJECT (GUID, CAPTION) values ('g', 'Old project')");
        db.Close();
    }

    static SchemaMap Schema()
    {
        SchemaMap schema;
        wxSQLite3ResultSet rows = ExecQuery("select name, sql from sqlite_master");
        while (rows.NextRow())
            schema[ToUtf8(rows.GetAsString(0))] = ToUtf8(rows.GetAsString(1));
        return schema;
    }

    static wxString Text(const wxString& sql) { return CatalogTest::Text(sql); }

    TempDir dir;
};

// The XDG rules: an unset or relative XDG_DATA_HOME counts as not set.
TEST_F(OpenCatalogTest, InitPathsPlacesTheCatalogueInTheCreatedUserDataDirectory)
{
    const wxString saved = wxGetenv("XDG_DATA_HOME");
    const wxString fallback = wxFileName::GetHomeDir() + "/.local/share/";
    for (const wxString& value : {saved, wxString(), wxString("relative/share")}) {
        SCOPED_TRACE(value);
        value.empty() ? wxUnsetEnv("XDG_DATA_HOME") : wxSetEnv("XDG_DATA_HOME", value);
        const wxDateTime before = wxDateTime::Now().Subtract(wxTimeSpan::Second());
        InitPaths();
        EXPECT_TRUE(userDataDir.StartsWith(value == saved ? saved + "/" : fallback)) << userDataDir;
        EXPECT_TRUE(userDataDir.EndsWith("/") && wxDirExists(userDataDir));
        EXPECT_EQ(databasePath, userDataDir + "dralvo.db");
        EXPECT_TRUE(programDir.EndsWith("/") && !stationName.empty());
        EXPECT_FALSE(sessionStart.IsEarlierThan(before));
    }
    wxSetEnv("XDG_DATA_HOME", saved);
}

// A missing file (0) and versions 1 and 2 become version 3, keeping their rows; a newer one is
// refused, closed and left as it was to the byte and the second.
TEST_F(OpenCatalogTest, OlderVersionsBecomeVersion3NewerOnesAreRefusedBrokenOnesThrow)
{
    for (const int version : {0, 1, 2, 99}) {
        SCOPED_TRACE(version);
        databasePath = dir / wxString::Format("version%d.db", version);
        if (version)
            BuildFile(version, version != 1);
        const std::string bytes = ReadAll(databasePath);
        struct stat before {}, after {};
        stat(NativePath(databasePath).c_str(), &before);
        wxString refusal;
        ASSERT_EQ(OpenCatalog(&refusal), version != 99);
        if (version == 99) {
            EXPECT_TRUE(refusal.Contains("version 99") && refusal.Contains("version 3")) << refusal;
            stat(NativePath(databasePath).c_str(), &after);
            EXPECT_TRUE(!catalogDb.IsOpen() && ReadAll(databasePath) == bytes);
            EXPECT_EQ(std::pair(after.st_mtim.tv_sec, after.st_mtim.tv_nsec),
                      std::pair(before.st_mtim.tv_sec, before.st_mtim.tv_nsec));
            continue;
        }
        EXPECT_EQ(Schema(), Version3Schema());
        EXPECT_EQ("3|2021-03-04 10:20:30|1",
                  CatalogTest::Rows("select VERSION, SESSION_START, SESSION_END is null from VERSION"));
        EXPECT_EQ(Text("select CAPTION from PROJECT"), version == 2 ? "Old project" : "<no row>");
        // A rule inserted without a line takes its own ID.
        ExecUpdate("insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE) values ('a', 1, '*.a', "
                   "null), ('b', 1, '*.b', 77), ('c', 1, '*.c', null)");
        EXPECT_EQ("1|1; 2|77; 3|3", CatalogTest::Rows("select ID, NLINE from ACLRULES order by ID"));
        CloseCatalog();
    }
    // An empty VERSION table or a missing directory throws. (A file that is no database is left
    // alone: see the start-up tests.)
    databasePath = dir / "empty.db";
    BuildFile(0, false);
    EXPECT_THROW(OpenCatalog(), wxSQLite3Exception);
    catalogDb.Close();
    databasePath = dir / "missing/dralvo.db";
    EXPECT_THROW(OpenCatalog(), wxSQLite3Exception);
    EXPECT_FALSE(catalogDb.IsOpen());
}

// A host name's quote is stored doubled; the station registered last is the one VERSION names.
TEST_F(OpenCatalogTest, StationIsRegisteredOnceAndFoundAgainOnLaterOpens)
{
    stationName = "o'brien-pc";
    ASSERT_TRUE(OpenCatalog());
    const unsigned firstId = stationId;
    EXPECT_NE(firstId, 0u);
    EXPECT_EQ(static_cast<unsigned>(ExecScalar("select STATIONID from VERSION")), firstId);
    EXPECT_EQ(Text("select NAME||'|'||DELETED from STATION"), "o\"brien-pc|0");
    EXPECT_TRUE(std::regex_match(ToUtf8(Text("select GUID from STATION")),
                                 std::regex("[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}")));
    EXPECT_TRUE(std::regex_match(ToUtf8(Text("select MODIFIED from STATION")), kTimeShape));
    CloseCatalog();
    CloseCatalog();  // a second close does nothing
    stationName = "other-station";
    ASSERT_TRUE(OpenCatalog());
    CloseCatalog();

    stationName = "o'brien-pc";
    stationId = 0;
    sessionStart = wxDateTime(5, wxDateTime::Apr, 2022, 1, 2, 3);
    ASSERT_TRUE(OpenCatalog());
    EXPECT_EQ(stationId, firstId);
    EXPECT_EQ(ExecScalar("select count(*) from STATION"), 2);
    EXPECT_EQ(ExecScalar("select STATIONID from VERSION"),
              ExecScalar("select ID from STATION where NAME = 'other-station'"));
    EXPECT_EQ(Text("select SESSION_START from VERSION"), "2022-04-05 01:02:03");
    EXPECT_TRUE(std::regex_match(ToUtf8(Text("select SESSION_END from VERSION")), kTimeShape));
}

using StatementsTest = CatalogTest;

// A statement text with dummy values: 'x' for a quoted %s, a table for the one after "from",
// 1 for the others. Any other conversion fails the test.
wxString WithDummyValues(const std::string& format)
{
    std::string sql;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            sql += format[i];
        } else if (i + 1 < format.size() && (format[i + 1] == 's' || format[i + 1] == 'u')) {
            const bool text = format[++i] == 's';
            sql += text && sql.ends_with("'") ? "x" : text && sql.ends_with("from ") ? "PROJECT" : "1";
        } else {
            ADD_FAILURE() << "unexpected conversion in: " << format;
        }
    }
    return FromUtf8(sql);
}

// Every statement the program runs on the catalogue prepares on the schema a new one has.
TEST_F(StatementsTest, EveryStatementPreparesOnTheCurrentSchema)
{
    for (const char* format : kCatalogStatements) {
        const wxString sql = WithDummyValues(format);
        EXPECT_NO_THROW(Prepare(sql)) << sql;
    }
}

// A transaction keeps its statements only when committed; one left or ended by a failure is
// rolled back, and none stays open after it.
TEST_F(StatementsTest, ATransactionNotCommittedIsRolledBack)
{
    const struct {
        const char* caption;
        bool fails;   // a statement fails before the commit
        bool commit;  // the commit is reached when nothing failed
        bool kept;
    } rows[] = {
        {"committed", false, true, true},
        {"left without a commit", false, false, false},
        {"failed before its commit", true, true, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.caption);
        bool failed = false;
        try {
            Transaction transaction;
            AddProject(row.caption);
            if (row.fails)
                ExecUpdate("insert into NO_SUCH_TABLE values (1)");
            if (row.commit)
                transaction.Commit();
        } catch (const wxSQLite3Exception&) {
            failed = true;
        }
        EXPECT_EQ(failed, row.fails);
        EXPECT_EQ(Scalar(wxString::Format("select count(*) from PROJECT where CAPTION = '%s'",
                                          row.caption)), row.kept ? 1 : 0);
        EXPECT_TRUE(catalogDb.GetAutoCommit());  // no transaction left open
    }
}

} // namespace
