#include "store/catalog.h"

#include <unistd.h>

#include <wx/app.h>
#include <wx/intl.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include "store/database.h"
#include "store/guid.h"
#include "store/paths.h"
#include "store/schema.h"
#include "store/statements.h"

wxString programDir;
wxString userDataDir;
wxString databasePath;
wxString stationName;
unsigned stationId = 0;
wxDateTime sessionStart;

namespace {

wxString TimeText(const wxDateTime& t)
{
    return t.Format("%Y-%m-%d %H:%M:%S");
}

// wx 3.2 keeps the user data directory at ~/.<app> even with the XDG layout, so the XDG data
// home ($XDG_DATA_HOME when set and absolute, else ~/.local/share) is taken here.
wxString XdgUserDataDir()
{
    wxString base;
    if (!wxGetEnv("XDG_DATA_HOME", &base) || !wxIsAbsolutePath(base))
        base = wxFileName::GetHomeDir() + "/.local/share";
    const wxAppConsole* instance = wxAppConsole::GetInstance();
    const wxString app = instance ? instance->GetAppName() : wxString("dralvo");
    return AppendPathSeparator(AppendPathSeparator(base) + app);
}

wxLongLong ReadOrCreateVersion()
{
    if (catalogDb.TableExists("VERSION"))
        return ExecScalar64(kSqlSelectVersion);
    ExecUpdate(kDdlVersion);
    ExecUpdate(kInsertVersion1);
    return 1;
}

void UpgradeSchema(wxLongLong version)
{
    if (version == 1) {
        for (const char* ddl : kDdlVersion2Tables)
            ExecUpdate(ddl);
        version = 2;
    }
    if (version == 2) {
        for (const char* ddl : kDdlVersion3)
            ExecUpdate(ddl);
    }
}

void RegisterStation()
{
    const wxString name = EscapeQuotes(stationName);
    const wxString start = TimeText(sessionStart);
    if (ExecScalar(wxString::Format(kSqlCountStationsByName, name)) != 0) {
        stationId = static_cast<unsigned>(ExecScalar(wxString::Format(kSqlSelectStationIdByName, name)));
        ExecUpdate(wxString::Format(kSqlUpdateSessionStart, start));
        return;
    }
    ExecUpdate(wxString::Format(kSqlInsertStation, NewGuid(), name, NowText()));
    stationId = LastInsertId();
    ExecUpdate(wxString::Format(kSqlUpdateStationAndSessionStart, stationId, start));
}

} // namespace

wxString StationNameOf(const wxString& fullHostName, const wxString& hostName)
{
    if (!fullHostName.empty())
        return fullHostName;
    return hostName.empty() ? wxString("localhost") : hostName;
}

void InitPaths()
{
    wxStandardPaths& paths = wxStandardPaths::Get();
    paths.SetFileLayout(wxStandardPaths::FileLayout_XDG);
    programDir = AppendPathSeparator(paths.GetDataDir());
    userDataDir = XdgUserDataDir();
    if (!wxFileName::DirExists(userDataDir))
        wxFileName::Mkdir(userDataDir, 0777, wxPATH_MKDIR_FULL);
    databasePath = userDataDir + "dralvo.db";
    wxString fullName;
    {
        // Without a resolvable name the lookup complains in raw words; the plain name serves.
        wxLogNull quiet;
        fullName = wxGetFullHostName();
    }
    char plain[256] = {};
    if (gethostname(plain, sizeof plain - 1) != 0)
        plain[0] = '\0';
    stationName = StationNameOf(fullName, wxString::FromUTF8(plain));
    sessionStart = wxDateTime::Now();
}

bool OpenCatalog(wxString* refusal)
{
    catalogDb.Open(databasePath, wxString(), WXSQLITE_OPEN_READWRITE | WXSQLITE_OPEN_CREATE);
    if (!catalogDb.IsOpen())
        return false;
    // The import thread writes while windows run statements: wait rather than fail at once.
    catalogDb.SetBusyTimeout(10000);
    const wxLongLong version = ReadOrCreateVersion();
    if (version > kCatalogVersion) {
        // Its tables may mean something else now: writing them could spoil them for good.
        catalogDb.Close();
        if (refusal)
            *refusal = wxString::Format(
                _("The catalogue has version %s, made by a newer version of this program; this "
                  "version knows catalogues up to version %d. It was left unchanged."),
                version.ToString(), kCatalogVersion);
        return false;
    }
    UpgradeSchema(version);
    RegisterStation();
    return true;
}

void CloseCatalog()
{
    if (!catalogDb.IsOpen())
        return;
    ExecUpdate(wxString::Format(kSqlUpdateSessionEnd, NowText()));
    catalogDb.Close();
}
