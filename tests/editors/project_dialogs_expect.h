#pragma once

// Answers for wxTEST_DIALOG when the code under test opens the project dialogs:
//   wxTEST_DIALOG(frame->DoSomething(),
//                 ExpectDialogProject("New caption", 10, 2),
//                 wxExpectModal<wxMessageDialog>(wxOK).Optional());
// (Named classes rather than wxExpectModal<> specialisations, so that another test file's own
// specialisation can never clash with these.) Both fill the real controls and press the real buttons, so the dialogs' own handlers run
// (and write the catalogue) exactly as for a user.

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/spinctrl.h>
#include <wx/testing.h>
#include <wx/textctrl.h>

#include "editors/project_dialog.h"
#include "editors/project_select_dialog.h"

namespace test_dialogs {

template <class T>
T* Find(wxWindow* dialog, const char* name)
{
    T* control = dynamic_cast<T*>(wxWindow::FindWindowByName(name, dialog));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

inline void Click(wxWindow* dialog, const char* name)
{
    auto* button = Find<wxButton>(dialog, name);
    if (button == nullptr)
        return;
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

} // namespace test_dialogs

// Types the caption and the limits, presses OK and returns wxOK when the dialog accepted them;
// when it refused them (a message box, which the test must expect as well) it stands for the
// user pressing Cancel afterwards and returns wxCANCEL. Cancel() presses Cancel at once.
class ExpectDialogProject : public wxExpectModalBase<DialogProject, ExpectDialogProject> {
public:
    ExpectDialogProject(const wxString& caption, int sizeLimit, int compressLimit)
        : caption_(caption), sizeLimit_(sizeLimit), compressLimit_(compressLimit)
    {
    }
    static ExpectDialogProject Cancel()
    {
        ExpectDialogProject e(wxString(), 0, 0);
        e.cancel_ = true;
        return e;
    }

protected:
    int OnInvoked(DialogProject* dlg) const override
    {
        using namespace test_dialogs;
        dlg->SetReturnCode(0);
        if (cancel_) {
            Click(dlg, "ID_BUTTON_CANCEL");
            return dlg->GetReturnCode();
        }
        if (auto* field = Find<wxTextCtrl>(dlg, "ID_TEXTCTRL_CAPTION"))
            field->ChangeValue(caption_);
        if (auto* spin = Find<wxSpinCtrl>(dlg, "ID_SPINCTRL_SIZE"))
            spin->SetValue(sizeLimit_);
        if (auto* spin = Find<wxSpinCtrl>(dlg, "ID_SPINCTRL_BZ"))
            spin->SetValue(compressLimit_);
        Click(dlg, "ID_BUTTON_OK");
        return dlg->GetReturnCode() == wxOK ? wxOK : wxCANCEL;
    }

private:
    wxString caption_;
    int sizeLimit_;
    int compressLimit_;
    bool cancel_ = false;
};

// Selects the project with this caption (none when it is not listed) and presses OK; returns
// wxOK when the dialog accepted, otherwise (a "Please select a project!" box, which the test
// must expect) wxCANCEL. Cancel() presses Cancel at once.
class ExpectDialogProjectSelect
    : public wxExpectModalBase<DialogProjectSelect, ExpectDialogProjectSelect> {
public:
    explicit ExpectDialogProjectSelect(const wxString& caption) : caption_(caption) {}
    static ExpectDialogProjectSelect Cancel()
    {
        ExpectDialogProjectSelect e{wxString()};
        e.cancel_ = true;
        return e;
    }

protected:
    int OnInvoked(DialogProjectSelect* dlg) const override
    {
        using namespace test_dialogs;
        dlg->SetReturnCode(0);
        if (cancel_) {
            Click(dlg, "ID_BUTTON_CANCEL");
            return dlg->GetReturnCode();
        }
        if (auto* list = Find<wxListBox>(dlg, "ID_LISTBOX_PROJECTS")) {
            const int n = list->FindString(caption_, true);
            if (n == wxNOT_FOUND)
                list->SetSelection(wxNOT_FOUND);
            else
                list->SetSelection(n);
        }
        Click(dlg, "ID_BUTTON_OK");
        return dlg->GetReturnCode() == wxOK ? wxOK : wxCANCEL;
    }

private:
    wxString caption_;
    bool cancel_ = false;
};
