#include "tests/support/test_env.h"

#include <stdlib.h>

#include <memory>
#include <utility>

#include <wx/debug.h>
#include <wx/log.h>

#include "store/options.h"
#include "store/text.h"

namespace {
std::unique_ptr<TempDir> home;
} // namespace

void SetUpTestEnvironment()
{
    home = std::make_unique<TempDir>(MemoryTempBase());  // start-up puts its catalogue here
    const std::string base = ToUtf8(home->Path());
    for (const auto& [name, value] : {std::pair{"HOME", ""}, {"XDG_DATA_HOME", "share"}, {"XDG_CONFIG_HOME", "config"}})
        setenv(name, (base + value).c_str(), 1);
    wxSetAssertHandler([](const wxString& file, int line, const wxString& func, const wxString& cond,
                          const wxString& msg) {
        ADD_FAILURE() << "wx assert " << cond << " in " << func << " at " << file << ":" << line << ": " << msg;
    });
    delete wxLog::SetActiveTarget(new wxLogStderr);
}

void TearDownTestEnvironment() { home.reset(); }

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
    while (rows.NextRow())
        for (int i = 0; i < rows.GetColumnCount(); ++i)
            text << (i ? "|" : text.empty() ? "" : "; ") << rows.GetAsString(i);
    return text;
}

unsigned CatalogTest::AddProject(const wxString& caption, int deleted, int sizeLimit, int compressLimit)
{
    ExecUpdate(wxString::Format("insert into PROJECT (GUID, CAPTION, IGNORESIZEOVER, BZ2BELOW, MODIFIED, DELETED) "
                                "values ('g', %s, %d, %d, '%s', %d)",
                                SqlText(caption), sizeLimit, compressLimit, kOldTime, deleted));
    return LastInsertId();
}
