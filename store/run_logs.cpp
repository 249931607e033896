#include "store/run_logs.h"

#include <chrono>

#include <wx/dir.h>
#include <wx/filefn.h>
#include <wx/intl.h>
#include <wx/log.h>

#include "store/catalog.h"
#include "store/file_time.h"
#include "store/options.h"

wxString NewRunLogPath(const wxString& dir, const wxDateTime& start)
{
    const wxString stem = dir + "dralvo_sync_" + start.Format("%Y-%m-%d_%H%M%S");
    wxString path = stem + ".xml";
    for (int n = 2; wxFileExists(path) || wxFileExists(path + ".bz2"); ++n)
        path = wxString::Format("%s_%d.xml", stem, n);
    return path;
}

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

namespace {

// Whether logs kept for this many days from today would be kept past the year 9999: such a
// count means "never" (and its date arithmetic would overflow).
bool KeepsPastYear9999(unsigned days)
{
    using namespace std::chrono;
    const sys_days today = floor<std::chrono::days>(system_clock::now());
    const sys_days end = sys_days{year{10000} / January / 1};
    return static_cast<long long>(days) >= (end - today).count();
}

} // namespace

void RemoveExpiredLogs()
{
    const unsigned days = soDeleteLogsAfterDays;
    if (days == 0 || KeepsPastYear9999(days))
        return;
    // Whole days of 24 hours: the times compared are UTC moments.
    const wxDateTime limit = wxDateTime::Now() - wxTimeSpan::Days(static_cast<long>(days));
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
