#pragma once

#include <functional>

#include <wx/string.h>

class wxSQLite3Exception;
class wxWindow;

// Tells the user that a catalogue statement failed: a message box with the caption "Message"
// (not translated), an OK button and an error icon, showing `what` (a translated sentence
// saying what could not be done) and below it the engine's code and message. Nothing else
// changes: the caller's window stays open and usable, unsaved edits stay where they were.
// `parent` may be null. GUI thread only.
void ShowDatabaseError(const wxSQLite3Exception& e, const wxString& what,
                       wxWindow* parent = nullptr);

// Runs `action`; when it throws wxSQLite3Exception, shows it with ShowDatabaseError and
// returns false. True when the action ran to its end. Any other exception passes through.
// Meant for the body of an event handler that runs statements. GUI thread only.
bool RunCatalogAction(const wxString& what, const std::function<void()>& action,
                      wxWindow* parent = nullptr);
