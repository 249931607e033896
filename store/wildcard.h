#pragma once

#include <wx/string.h>

// Matches the whole text against a mask of '*' (any run, empty included) and '?' (exactly one
// character), case-sensitively, with one backtrack point. When hiddenDot is set, a text
// beginning with '.' matches nothing. An empty text matches only an empty mask. Any thread.
bool MatchWildcard(const wxString& mask, const wxString& text, bool hiddenDot = false);
