#include "store/run_logs.h"

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>

#include "store/catalog.h"
#include "store/file_time.h"
#include "store/options.h"

wxArrayString FindExpiredLogs(const wxString& dir, const wxDateTime& limit)
{
    wxArrayString expired;
    wxDir listing;
    {
        wxLogNull quiet;
        if (!wxDir::Exists(dir) || !listing.Open(dir))
            return expired;
    }
    wxString name;
    for (bool more = listing.GetFirst(&name, "dralvo_sync_*.xml*", wxDIR_FILES); more;
         more = listing.GetNext(&name)) {
        const wxString path = listing.GetNameWithSep() + name;
        FileTime time = 0;
        wxDateTime written;
        if (GetFileModTime(path, time) && FileTimeToDateTime(time, written) && written < limit)
            expired.push_back(path);
    }
    return expired;
}

void RemoveExpiredLogs()
{
    const unsigned days = soDeleteLogsAfterDays;
    if (days == 0)
        return;
    const wxDateTime limit = wxDateTime::Now() - wxDateSpan::Days(static_cast<int>(days));
    const wxArrayString expired = FindExpiredLogs(userDataDir, limit);
    if (expired.empty())
        return;
    const wxString message = wxString::Format(
        _("%lu synchronization log files older then %u days found. Remove them?"),
        static_cast<unsigned long>(expired.size()), days);
    if (!askYesNo(message, _("Remove expired logs")))
        return;
    wxLogNull quiet;  // a log that cannot be removed is simply offered again next time
    for (const wxString& path : expired)
        wxRemoveFile(path);
}
