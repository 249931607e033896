#include "app/main_frame.h"

// Export and import of the catalogue.

void dralvoFrame::OnExportXml(wxCommandEvent&) {}
void dralvoFrame::OnImportXml(wxCommandEvent&) {}
