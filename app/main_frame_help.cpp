#include "app/main_frame.h"

#include <wx/filefn.h>
#include <wx/filesys.h>
#include <wx/fs_zip.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpwnd.h>
#include <wx/treectrl.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/platinfo.h>
#include <wx/translation.h>
#include <wx/utils.h>

#include "app/version.h"
#include "app/web_site.h"
#include "store/catalog.h"
#include "ui/window_utils.h"

// Help, About, the home page and the update check.

namespace {

// The two letters of the language the interface speaks: that of the program's catalogue in use
// ("ru"), English without one. Not the locale's: translations are found even where the
// system's locale for the language is not installed and the locale has no name.
wxString LanguageLetters()
{
    const wxTranslations* translations = wxTranslations::Get();
    const wxString language =
        translations ? translations->GetHeaderValue("Language", "dralvo") : wxString();
    return language.empty() ? wxString("en") : language.Left(2);
}

void OpenHomePage(wxWindow* parent)
{
    if (!OpenInBrowser(HomePageAddress()))
        ShowMessage(parent, _("Failed to run internet browser!"));
}

void CheckForUpdates(wxWindow* parent)
{
    wxString remote;
    bool fetched = false;
    {
        const wxBusyCursor busy;
        fetched = FetchLatestVersion(remote);
    }
    if (!fetched) {
        ShowMessage(parent, _("Failed to retrieve last version information!"));
        return;
    }
    if (CompareVersions(kDralvoVersion, remote) >= 0) {
        ShowMessage(parent, _("You have the latest Dralvo version!"));
        return;
    }
    const wxString question =
        wxString::Format(_("Dralvo v. %s is available. Do you wish to visit the website?"), remote);
    if (AskYesNo(parent, question, _("Update available")))
        OpenHomePage(parent);
}

} // namespace

wxString wxbuildinfo(int format)
{
    wxString info = wxString::Format("wxWidgets %d.%d.%d", wxMAJOR_VERSION, wxMINOR_VERSION,
                                     wxRELEASE_NUMBER);
    if (format == 1)
        info << "-" << wxPlatformInfo::Get().GetPortIdName() << "-Unicode build";
    return info;
}

wxString dralvoFrame::GetHelpFileName(const wxString& base)
{
    wxString path = wxString::Format("%s%s_%s.htb", programDir, base, LanguageLetters());
    if (!wxFileExists(path))
        path = wxString::Format("%s%s.htb", programDir, base);
    return wxFileExists(path) ? path : wxString();
}

void dralvoFrame::OnHelpIndex(wxCommandEvent&)
{
    if (!helpLoaded) {
        helpFilePath = GetHelpFileName("dralvo");
        if (helpFilePath.empty()) {
            ShowMessage(this, _("The help file is not installed."));
            return;
        }
        // The book is a zip archive read through the file system's zip handler.
        static const bool zipReady = [] {
            wxFileSystem::AddHandler(new wxZipFSHandler);
            return true;
        }();
        (void)zipReady;
        helpController = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE, this);
        if (!helpController->AddBook(wxFileName(helpFilePath))) {
            helpController.reset();
            ShowMessage(this, _("The help file is not installed."));
            return;
        }
        helpLoaded = true;
    }
    helpController->DisplayContents();
    // The book opens with its whole table of contents in view, not just its title.
    if (wxHtmlHelpWindow* window = helpController->GetHelpWindow(); window && window->GetTreeCtrl())
        window->GetTreeCtrl()->ExpandAll();
}

void dralvoFrame::OnAbout(wxCommandEvent&)
{
    const wxString text = GetVersionCaption() + "\n" + wxbuildinfo(1) + "\n" +
                          _("Keeps your files in step between computers, carried on USB sticks.") +
                          "\n" + HomePageAddress();
    wxMessageBox(text, _("About Dralvo"), wxOK | wxCENTRE, this);
}

void dralvoFrame::OnMenuHomePageSelected(wxCommandEvent&)
{
    OpenHomePage(this);
}

void dralvoFrame::OnMenuCheckUpdatesSelected(wxCommandEvent&)
{
    CheckForUpdates(this);
}
