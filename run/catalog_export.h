#pragma once

#include <optional>

#include <wx/string.h>

// The catalogue as the XML document that travels on the media, for the export after a run;
// nullopt with `error` set when it could not be made. GUI thread, catalogue open.
std::optional<wxString> CatalogDocument(wxString& error);
