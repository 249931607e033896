#include "run/catalog_export.h"

#include <wx/intl.h>

// STAND-IN: the catalogue export (ExportCatalogXml) is not part of the program yet. Until it
// is, no document is made and the run's log says so; then this calls it and turns a failing
// statement into `error`.
std::optional<wxString> CatalogDocument(wxString& error)
{
    error = _("the export of the catalogue is not available");
    return std::nullopt;
}
