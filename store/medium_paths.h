#pragma once

#include <optional>

#include <wx/string.h>

// A project's location on a medium is kept in the catalogue relative to the medium's root,
// with "\" as separator (so catalogues stay exchangeable with Windows stations). On disk the
// root is a mount point ending with "/". These functions convert between the two forms and
// guard against stored text that would lead outside the root. Pure functions; any thread.

// True when the stored relative `location` stays inside its root: it does not begin with a
// separator ("/" or "\"), has no drive prefix ("X:") and no ".." component. An empty
// location (the root itself) is safe.
bool IsSafeRelativeLocation(const wxString& location);

// The directory on disk of a stored `location` below `root`: the root with "/" appended when
// missing, then the location with every "\" and "/" made "/". nullopt when the location is
// not safe (IsSafeRelativeLocation).
std::optional<wxString> MediumPathFromLocation(const wxString& root, const wxString& location);

// The stored form of a directory `path` chosen on the medium mounted at `root` (which ends
// with "/"): the rest of path after root, with "/" made "\". The root's own directory, with or
// without its trailing "/", gives an empty location. nullopt when path does not begin with
// root (exact, case-sensitive) or the rest is not safe.
std::optional<wxString> LocationBelowRoot(const wxString& path, const wxString& root);

// The stored form of a location typed by the user: the rest after `root` when the text begins
// with it (case-sensitive; the bare root without its trailing "/" gives an empty location),
// otherwise the text as typed; "/" made "\" in either case. An empty root (the medium is not
// connected) keeps the text whole.
wxString LocationFromTyped(const wxString& text, const wxString& root);
