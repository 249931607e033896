#include "app/application.h"

#include <cstdio>

#include <wx/choicdlg.h>
#include <wx/image.h>
#include <wx/msgdlg.h>

#include "app/main_frame.h"
#include "store/catalog.h"
#include "store/database.h"
#include "store/options.h"
#include "store/run_logs.h"

namespace {

void InstallQuestionBoxes()
{
    askYesNo = [](const wxString& message, const wxString& caption) {
        return wxMessageBox(message, caption, wxYES_NO | wxICON_QUESTION) == wxYES;
    };
    chooseLanguage = [] {
        wxArrayString texts;
        for (const LanguageChoice& choice : kLanguageChoices)
            texts.push_back(choice.text);
        wxSingleChoiceDialog dialog(nullptr, "Choose your language:", "Language", texts);
        dialog.SetSize(200, 150);
        dialog.Centre();
        return dialog.ShowModal() == wxID_OK ? dialog.GetSelection() : -1;
    };
}

// Tells the user the catalogue is unusable; start-up then ends without touching it further.
void ReportCatalogFailure(const wxString& reason)
{
    const wxString text = wxString::Format(_("The catalogue %s cannot be opened:\n%s"),
                                           databasePath, reason);
    std::fprintf(stderr, "%s\n", static_cast<const char*>(text.utf8_str()));
    wxMessageBox(text, "Message", wxOK | wxICON_ERROR);
}

bool OpenCatalogAndOptions()
{
    try {
        if (!OpenCatalog()) {
            ReportCatalogFailure(_("The database could not be opened."));
            return false;
        }
        InitOptions();
        return true;
    } catch (const wxSQLite3Exception& e) {
        ReportCatalogFailure(e.GetMessage());
        if (catalogDb.IsOpen())
            catalogDb.Close();
        return false;
    }
}

} // namespace

bool dralvoApp::OnInit()
{
    InstallQuestionBoxes();
    InitPaths();
    if (!OpenCatalogAndOptions())
        return false;
    RemoveExpiredLogs();
    wxInitAllImageHandlers();
    auto* frame = new dralvoFrame(nullptr, wxID_ANY);
    frame->Show();
    SetTopWindow(frame);
    frame->RefreshProjects();
    return true;
}

int dralvoApp::OnExit()
{
    try {
        CloseCatalog();
    } catch (const wxSQLite3Exception& e) {
        // The window is gone: standard error is the only place left to say it.
        std::fprintf(stderr, "Could not record the session end: %s\n",
                     static_cast<const char*>(e.GetMessage().utf8_str()));
        if (catalogDb.IsOpen())
            catalogDb.Close();
    }
    return wxApp::OnExit();
}
