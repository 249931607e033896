#include "tests/support/test_env.h"

#include <stdlib.h>

#include <memory>

#include <wx/debug.h>
#include <wx/log.h>

#include "store/catalog.h"
#include "store/database.h"
#include "store/options.h"
#include "store/text.h"

namespace {
std::unique_ptr<TempDir> home;
} // namespace

void SetUpTestEnvironment()
{
    home = std::make_unique<TempDir>(MemoryTempBase());  // start-up puts its catalogue here
    const std::string base = ToUtf8(home->Path());
    setenv("HOME", base.c_str(), 1);
    setenv("XDG_DATA_HOME", (base + "share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (base + "config").c_str(), 1);
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                          const wxString& msg) {
        ADD_FAILURE() << "wx assert " << cond << " in " << func << " at " << file << ":" << line
                      << ": " << msg;
    });
    delete wxLog::SetActiveTarget(new wxLogStderr);
}

void TearDownTestEnvironment()
{
    home.reset();
}

void CatalogTest::SetUp()
{
    databasePath = catalogueDir / "dralvo.db";
    userDataDir = dir.Path();
    stationName = "test-station";
    sessionStart = wxDateTime::Now();
    ASSERT_TRUE(OpenCatalog());
    soLanguage = kLanguageEnglish;
}

wxString CatalogTest::Text(const wxString& sql)
{
    wxSQLite3ResultSet rows = ExecQuery(sql);
    return rows.NextRow() ? rows.GetAsString(0) : wxString("<no row>");
}

wxString CatalogTest::Rows(const wxString& sql)
{
    wxString text;
    wxSQLite3ResultSet rows = ExecQuery(sql);
    while (rows.NextRow()) {
        text << (text.empty() ? "" : "; ");
        for (int i = 0; i < rows.GetColumnCount(); ++i)
            text << (i ? "|" : "") << rows.GetAsString(i);
    }
    return text;
}

unsigned CatalogTest::AddProject(const wxString& caption, int deleted, int sizeLimit,
                                 int compressLimit)
{
    ExecUpdate(wxString::Format("insert into PROJECT (GUID, CAPTION, IGNORESIZEOVER, BZ2BELOW, "
                                "MODIFIED, DELETED) values ('g', '%s', %d, %d, '%s', %d)",
                                caption, sizeLimit, compressLimit, kOldTime, deleted));
    return LastInsertId();
}
