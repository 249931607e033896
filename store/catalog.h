#pragma once

#include <wx/datetime.h>
#include <wx/string.h>

// Process-wide values fixed at start-up; they live until exit. GUI thread writes them once.
extern wxString programDir;    // the program's data directory, ending with "/"
extern wxString userDataDir;   // the per-user data directory, ending with "/"; created
extern wxString databasePath;  // userDataDir + "dralvo.db"
extern wxString stationName;   // this computer's host name (StationNameOf)
extern unsigned stationId;     // STATION.ID of this computer; 0 until OpenCatalog
extern wxDateTime sessionStart;

// Fixes the paths (XDG layout; the user data directory is created with its parents), the
// station name and the session start. Reports nothing: an unusable directory shows up as a
// failure of OpenCatalog. GUI thread, before OpenCatalog.
void InitPaths();

// The station's name: the full host name, else the plain one, else "localhost"; never
// empty, so that two computers without a name never meet as one station.
wxString StationNameOf(const wxString& fullHostName, const wxString& hostName);

// Opens catalogDb on databasePath (created when missing), creates or upgrades the schema to
// version 3, registers this station (found again by name) and writes the session start.
// False when the database is not open afterwards, and when the catalogue comes from a newer
// version of the program: that one is closed again unchanged and refusal (when given) says why.
// Throws wxSQLite3Exception when a statement fails (a file that is no database fails here).
// GUI thread.
bool OpenCatalog(wxString* refusal = nullptr);

// Writes the session end and closes catalogDb; does nothing when it is not open. GUI thread,
// after every thread using the catalogue has ended.
void CloseCatalog();
