#include "app/startup.h"

#include <cstdio>

#include <wx/choicdlg.h>
#include <wx/intl.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>

#include "store/catalog.h"
#include "store/database.h"
#include "store/options.h"
#include "store/run_logs.h"
#include "ui/window_utils.h"

namespace {

// Tells the user the catalogue is unusable; standard error gets it too, for starts without a
// desktop session.
void ReportCatalogFailure(const wxString& reason)
{
    const wxString text = wxString::Format(_("The catalogue %s cannot be opened:\n%s"),
                                           databasePath, reason);
    std::fprintf(stderr, "%s\n", static_cast<const char*>(text.utf8_str()));
    ShowMessageBox(nullptr, text, "Message", wxOK | wxICON_ERROR);
}

// The language box: 200 x 150 as designed, grown until the list shows all four rows whole
// (the toolkit's list rows are taller than the list's own estimate).
class LanguageDialog : public wxSingleChoiceDialog {
public:
    explicit LanguageDialog(const wxArrayString& texts)
        : wxSingleChoiceDialog(nullptr, "Choose your language:", "Language", texts)
    {
        const int rows = static_cast<int>(texts.size());
        m_listbox->SetMinSize(wxSize(-1, rows * (m_listbox->GetCharHeight() + 12) + 8));
        GetSizer()->SetSizeHints(this);
        wxSize size = GetBestSize();
        size.IncTo(wxSize(200, 150));
        SetSize(size);
    }
};

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
        LanguageDialog dialog(texts);
        dialog.Centre();
        return dialog.ShowModal() == wxID_OK ? dialog.GetSelection() : -1;
    };
}

bool StartCatalog()
{
    InitPaths();
    try {
        wxString refusal;
        if (!OpenCatalog(&refusal)) {
            ReportCatalogFailure(refusal.empty() ? _("The database could not be opened.")
                                                 : refusal);
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
