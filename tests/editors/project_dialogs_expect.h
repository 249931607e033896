#pragma once

// Answers for wxTEST_DIALOG when the code under test opens the project dialogs. They fill the
// real controls and press the real buttons, so the dialogs' own handlers write the catalogue
// as for a user. A refused OK (a message box the test expects too) stands for a later Cancel.

#include <wx/listbox.h>
#include <wx/spinctrl.h>
#include <wx/testing.h>
#include <wx/textctrl.h>

#include "editors/project_dialog.h"
#include "editors/project_select_dialog.h"
#include "tests/support/widgets.h"

// Types the caption and the limits and presses OK; Cancel() presses Cancel.
class ExpectDialogProject : public wxExpectModalBase<DialogProject, ExpectDialogProject> {
public:
    ExpectDialogProject(const wxString& caption, int sizeLimit, int compressLimit)
        : caption_(caption), sizeLimit_(sizeLimit), compressLimit_(compressLimit) {}
    static ExpectDialogProject Cancel() { return ExpectDialogProject(wxString(), -1, -1); }

    // What a user does in the dialog: fill it, press OK (or Cancel when sizeLimit < 0).
    static void Answer(DialogProject* dlg, const wxString& caption, int sizeLimit,
                       int compressLimit)
    {
        if (sizeLimit >= 0) {
            widgets_test::Find<wxTextCtrl>(dlg, "ID_TEXTCTRL_CAPTION")->ChangeValue(caption);
            widgets_test::Find<wxSpinCtrl>(dlg, "ID_SPINCTRL_SIZE")->SetValue(sizeLimit);
            widgets_test::Find<wxSpinCtrl>(dlg, "ID_SPINCTRL_BZ")->SetValue(compressLimit);
        }
        widgets_test::Click(dlg, sizeLimit < 0 ? "ID_BUTTON_CANCEL" : "ID_BUTTON_OK");
    }
    int OnInvoked(DialogProject* dlg) const override
    {
        dlg->SetReturnCode(0);
        Answer(dlg, caption_, sizeLimit_, compressLimit_);
        return dlg->GetReturnCode() == wxOK ? wxOK : wxCANCEL;
    }

private:
    wxString caption_;
    int sizeLimit_, compressLimit_;
};

// Selects the project with this caption (none when it is not listed) and presses OK; Cancel()
// presses Cancel.
class ExpectDialogProjectSelect
    : public wxExpectModalBase<DialogProjectSelect, ExpectDialogProjectSelect> {
public:
    explicit ExpectDialogProjectSelect(const wxString& caption) : caption_(caption) {}
    static ExpectDialogProjectSelect Cancel() { return ExpectDialogProjectSelect(wxString()); }
    int OnInvoked(DialogProjectSelect* dlg) const override
    {
        auto* list = widgets_test::Find<wxListBox>(dlg, "ID_LISTBOX_PROJECTS");
        list->SetSelection(list->FindString(caption_, true));
        dlg->SetReturnCode(0);
        widgets_test::Click(dlg, caption_.empty() ? "ID_BUTTON_CANCEL" : "ID_BUTTON_OK");
        return dlg->GetReturnCode() == wxOK ? wxOK : wxCANCEL;
    }

private:
    wxString caption_;
};
