#include "store/catalog.h"

#include <sys/stat.h>

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
#include "store/text.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_env.h"

namespace {

const std::regex kTimeShape("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");

// Every object of a catalogue file by name: its SQL text.
using SchemaMap = std::map<std::string, std::string>;

// The catalogue's DDL as it must stand in sqlite_master (SQLite upper-cases the first two words).
const SchemaMap kVersion3Schema = {
    {"VERSION", "CREATE TABLE VERSION (VERSION BIGINT, STATIONID integer, SESSION_START datetime, SESSION_END datetime)"},
    {"PROJECT", "CREATE TABLE PROJECT (ID INTEGER PRIMARY KEY, GUID varchar(36), CAPTION varchar(30), IGNORESIZEOVER bigint, BZ2BELOW bigint, MODIFIED datetime, DELETED integer)"},
    {"STATION", "CREATE TABLE STATION (ID INTEGER PRIMARY KEY, GUID varchar(36), NAME varchar(100), MODIFIED datetime, DELETED integer)"},
    {"MEDIA", "CREATE TABLE MEDIA (ID INTEGER PRIMARY KEY, GUID varchar(36), NAME varchar(30), MODIFIED datetime, DELETED integer)"},
    {"FOLDER", "CREATE TABLE FOLDER (ID INTEGER PRIMARY KEY, GUID varchar(36), PROJECTID integer, FOLDER varchar(2048), MODIFIED datetime, DELETED integer)"},
    {"STAFOLDER", "CREATE TABLE STAFOLDER (ID INTEGER PRIMARY KEY, GUID varchar(36), FOLDERID integer, STATIONID integer, FOLDER varchar(2048), MODIFIED datetime, DELETED integer)"},
    {"MEPROJECT", "CREATE TABLE MEPROJECT (ID INTEGER PRIMARY KEY, GUID varchar(36), PROJECTID integer, MEDIAID integer, FOLDER varchar(2048), MODIFIED datetime, DELETED integer)"},
    {"ACLRULES", "CREATE TABLE ACLRULES (ID INTEGER PRIMARY KEY, GUID varchar(36), FOLDERID integer, FILEMASK varchar(2048), NLINE integer, ALLOW integer, MODIFIED datetime, DELETED integer)"},
    {"BZ2IGNORE", "CREATE TABLE BZ2IGNORE (ID INTEGER PRIMARY KEY, GUID varchar(36), FILEMASK varchar(2048), MODIFIED datetime, DELETED integer)"},
    {"OPTIONS", "CREATE TABLE OPTIONS (ID INTEGER PRIMARY KEY, IOPTION int, STOPTION varchar(30), VALUE varchar(1024))"},
    {"IDX_PROJECT", "CREATE INDEX IDX_PROJECT on PROJECT (GUID asc)"},
    {"IDX_STATION", "CREATE INDEX IDX_STATION on STATION (GUID asc)"},
    {"IDX_MEDIA", "CREATE INDEX IDX_MEDIA on MEDIA (GUID asc)"},
    {"IDX_FOLDER", "CREATE INDEX IDX_FOLDER on FOLDER (GUID asc)"},
    {"IDX_STAFOLDER", "CREATE INDEX IDX_STAFOLDER on STAFOLDER (GUID asc)"},
    {"IDX_MEPROJECT", "CREATE INDEX IDX_MEPROJECT on MEPROJECT (GUID asc)"},
    {"IDX_ACLRULES", "CREATE INDEX IDX_ACLRULES on ACLRULES (GUID asc)"},
    {"IDX_BZ2IGNORE", "CREATE INDEX IDX_BZ2IGNORE on BZ2IGNORE (GUID asc)"},
    {"IDX_OPTIONS", "CREATE INDEX IDX_OPTIONS on OPTIONS (IOPTION asc)"},
    {"TAI_ACLRULES", "CREATE TRIGGER TAI_ACLRULES after insert on ACLRULES when NEW.NLINE is null begin update ACLRULES set NLINE = NEW.ID where ID = NEW.ID; end"},
};

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
    // with tables, the objects of version 2 (all but OPTIONS and IDX_OPTIONS) and one project.
    void BuildFile(int version, bool tables)
    {
        wxSQLite3Database db;
        db.Open(databasePath);
        db.ExecuteUpdate(kVersion3Schema.at("VERSION").c_str());
        if (version)
            db.ExecuteUpdate(
                wxString::Format("insert into VERSION (VERSION) values (%d)", version));
        for (const bool table : {true, false})  // indexes and the trigger after the tables
            for (const auto& [name, sql] : kVersion3Schema)
                if (tables && name != "VERSION" && name.find("OPTIONS") == std::string::npos &&
                    sql.starts_with("CREATE TABLE") == table)
                    db.ExecuteUpdate(sql.c_str());
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

TEST_F(OpenCatalogTest, MissingFileGetsTheWholeVersion3Schema)
{
    ASSERT_TRUE(OpenCatalog());
    EXPECT_TRUE(Exists(databasePath));
    EXPECT_EQ(Schema(), kVersion3Schema);
    EXPECT_EQ("3|2021-03-04 10:20:30|1", CatalogTest::Rows("select VERSION, SESSION_START, SESSION_END is null from VERSION"));
    // A rule inserted without a line takes its own ID.
    ExecUpdate("insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE) values ('a', 1, '*.a', null), "
               "('b', 1, '*.b', 77), ('c', 1, '*.c', null)");
    EXPECT_EQ("1|1; 2|77; 3|3", CatalogTest::Rows("select ID, NLINE from ACLRULES order by ID"));
}

// Versions 1 and 2 gain their missing tables and keep their rows; a newer one is refused, closed
// and left as it was to the byte and the second.
TEST_F(OpenCatalogTest, OlderVersionsBecomeVersion3NewerOnesAreRefusedBrokenOnesThrow)
{
    for (const int version : {1, 2, 99}) {
        SCOPED_TRACE(version);
        databasePath = dir / wxString::Format("version%d.db", version);
        BuildFile(version, version != 1);
        const std::string bytes = ReadAll(databasePath);
        struct stat before {}, after {};
        stat(NativePath(databasePath).c_str(), &before);
        wxString refusal;
        ASSERT_EQ(OpenCatalog(&refusal), version != 99);
        if (version == 99) {
            EXPECT_FALSE(catalogDb.IsOpen());
            EXPECT_TRUE(refusal.Contains("version 99") && refusal.Contains("version 3")) << refusal;
            stat(NativePath(databasePath).c_str(), &after);
            EXPECT_EQ(ReadAll(databasePath), bytes);
            EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
            EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
            continue;
        }
        EXPECT_EQ(Schema(), kVersion3Schema);
        EXPECT_EQ(ExecScalar("select VERSION from VERSION"), 3);
        EXPECT_EQ(Text("select CAPTION from PROJECT"), version == 1 ? "<no row>" : "Old project");
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

} // namespace
