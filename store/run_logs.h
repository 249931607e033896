#pragma once

#include <wx/arrstr.h>
#include <wx/datetime.h>
#include <wx/string.h>

// The path for the XML log of a run started at `start`: dir (ending with a separator) +
// "dralvo_sync_%Y-%m-%d_%H%M%S.xml", with "_2", "_3", ... before the extension while a file of
// that name or its compressed copy (".bz2") exists, so no run overwrites another's log.
wxString NewRunLogPath(const wxString& dir, const wxDateTime& start);

// Plain files directly in dir named "dralvo_sync_*.xml*" whose last-write time is earlier
// than limit. Files whose time cannot be read are never listed. Any thread.
wxArrayString FindExpiredLogs(const wxString& dir, const wxDateTime& limit);

// With soDeleteLogsAfterDays N > 0: when run logs in userDataDir are older than N days,
// asks once through askYesNo and, on Yes, deletes them (failures are not reported). An N
// that would keep today's logs past the year 9999 means "never". GUI thread.
void RemoveExpiredLogs();
