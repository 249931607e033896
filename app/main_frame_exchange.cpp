#include "app/main_frame.h"

#include <algorithm>

#include <wx/gauge.h>
#include <wx/intl.h>
#include <wx/toolbar.h>

#include "exchange/dralvo_import.h"
#include "exchange/export.h"
#include "store/catalog.h"
#include "store/media.h"
#include "store/options.h"
#include "ui/db_error.h"
#include "ui/window_utils.h"

// Export and import of the catalogue.

void dralvoFrame::OnExportXml(wxCommandEvent&)
{
    if (connectedMedia.empty()) {
        ShowMessage(this, _("No media currently connected to the computer found!"));
        return;
    }
    if (importThread) {
        ShowMessage(this, _("Dralvo import from XML already in progress. Please wait until it is over!"));
        return;
    }
    if (!StorePendingEdits())
        return;
    wxString error;
    const auto file = PrepareCatalogExport(&error);
    if (!file) {
        ShowMessage(this, error);
        return;
    }
    wxString failures;
    for (const ConnectedMediumPtr& medium : connectedMedia) {
        if (medium->mediumId != 0 && !WriteCatalogExport(*file, medium->root, &error))
            failures << "\n" << medium->displayName << ": " << error;
    }
    if (!failures.empty())
        ShowMessage(this, _("The catalogue could not be exported to these media:") + failures);
}

void dralvoFrame::OnImportXml(wxCommandEvent&)
{
    if (importThread) {
        ShowMessage(this, _("Dralvo import from XML is already in progress!"));
        return;
    }
    if (connectedMedia.empty())
        return;
    const wxArrayString files = CollectImportFiles(connectedMedia);
    if (files.empty() || !StorePendingEdits())
        return;
    importThread = std::make_unique<swxDralvoImport>(this, files, databasePath);
    if (importThread->Create() != wxTHREAD_NO_ERROR) {
        // Nothing runs: a later import may try again.
        importThread.reset();
        return;
    }
    for (wxWindowID tool : {ID_TOOL_EXPORT, ID_TOOL_IMPORT, ID_TOOL_RUN})
        toolBar->EnableTool(tool, false);
    importThread->Run();
}

void dralvoFrame::OnImportStarted(wxCommandEvent& event)
{
    progressGauge->SetRange(std::max(event.GetInt(), 1));
    progressGauge->SetValue(0);
    progressGauge->Show();
    progressGauge->GetParent()->Layout();
}

void dralvoFrame::OnImportProgress(wxCommandEvent& event)
{
    progressGauge->SetValue(std::min(progressGauge->GetValue() + event.GetInt(), progressGauge->GetRange()));
}

void dralvoFrame::OnImportFinished(wxCommandEvent& event)
{
    const wxArrayString report = StopImport();
    progressGauge->Hide();
    for (wxWindowID tool : {ID_TOOL_EXIT, ID_TOOL_EXPORT, ID_TOOL_IMPORT})
        toolBar->EnableTool(tool, true);
    // The Run tool stays off while a run dialog is open.
    EnableRunTool(runDialog == nullptr);
    RefreshProjects();
    // A stick engaged on another station is a medium only now that its row is here.
    RunCatalogAction(_("The connected media could not be listed."), [this] {
        EnumerateConnectedMedia(soShowAllDrives);
        RefreshMediaChoice();
    }, this);
    const long failed = event.GetExtraLong();
    if (failed > 0)
        ShowMessage(this, wxString::Format(wxPLURAL("%ld catalogue file could not be merged.",
                                                    "%ld catalogue files could not be merged.", failed),
                                           failed) + "\n" + wxJoin(report, '\n', 0));
}

wxArrayString dralvoFrame::StopImport()
{
    if (!importThread)
        return wxArrayString();
    importThread->Stop();
    importThread->Wait();
    const wxArrayString report = importThread->Report();
    importThread.reset();
    return report;
}
