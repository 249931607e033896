#pragma once

#include <wx/arrstr.h>
#include <wx/datetime.h>
#include <wx/string.h>

// Plain files directly in dir named "dralvo_sync_*.xml*" whose last-write time is earlier
// than limit. Files whose time cannot be read are never listed. Any thread.
wxArrayString FindExpiredLogs(const wxString& dir, const wxDateTime& limit);

// With soDeleteLogsAfterDays N > 0: when run logs in userDataDir are older than N days,
// asks once through askYesNo and, on Yes, deletes them (failures are not reported). An N
// that would keep today's logs past the year 9999 means "never". GUI thread.
void RemoveExpiredLogs();
