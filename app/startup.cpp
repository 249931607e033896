#include "app/startup.h"

#include <cstdio>

#include <wx/choicdlg.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>

#include "store/catalog.h"
#include "store/database.h"
#include "store/options.h"
#include "store/run_logs.h"

namespace {

// Tells the user the catalogue is unusable; standard error gets it too, for starts without a
// desktop session.
void ReportCatalogFailure(const wxString& reason)
{
    const wxString text = wxString::Format(_("The catalogue %s cannot be opened:\n%s"),
                                           databasePath, reason);
    std::fprintf(stderr, "%s\n", static_cast<const char*>(text.utf8_str()));
    wxMessageBox(text, "Message", wxOK | wxICON_ERROR);
}

} // namespace

void InstallQuestionBoxes()
{
    askYesNo = [](const wxString& message, const wxString& caption) {
        return wxMessageBox(message, caption, wxYES_NO | wxICON_QUESTION) == wxYES;
    };
    chooseLanguage = [] {
        wxArrayString texts;
        for (const LanguageChoice& choice : kLanguageChoices)
            texts.push_back(choice.text);
        // No catalogue is loaded yet, so these texts stay untranslated.
        wxSingleChoiceDialog dialog(nullptr, "Choose your language:", "Language", texts);
        // 200 x 150 as designed, grown where the toolkit's fonts need more room for all four rows.
        wxSize size = dialog.GetBestSize();
        size.IncTo(wxSize(200, 150));
        dialog.SetSize(size);
        dialog.Centre();
        return dialog.ShowModal() == wxID_OK ? dialog.GetSelection() : -1;
    };
}

bool StartCatalog()
{
    InitPaths();
    try {
        if (!OpenCatalog()) {
            ReportCatalogFailure(_("The database could not be opened."));
            return false;
        }
        InitOptions();
    } catch (const wxSQLite3Exception& e) {
        ReportCatalogFailure(e.GetMessage());
        if (catalogDb.IsOpen())
            catalogDb.Close();
        return false;
    }
    RemoveExpiredLogs();
    return true;
}
