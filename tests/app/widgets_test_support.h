#pragma once

// Small drivers for the shared window pieces: find a control by its window name and use it
// the way a user's click or keystroke would, so the real event bindings run.

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/vlbox.h>

namespace widgets_test {

template <class T>
T* Find(wxWindow* parent, const char* name)
{
    T* control = dynamic_cast<T*>(wxWindow::FindWindowByName(name, parent));
    EXPECT_NE(control, nullptr) << "no control named " << name;
    return control;
}

// A click on a (bitmap) button.
inline void Click(wxWindow* parent, const char* name)
{
    auto* button = Find<wxAnyButton>(parent, name);
    ASSERT_NE(button, nullptr);
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

// The user selecting line n of a list: the selection moves, then the list reports it.
inline void ChooseLine(wxVListBox* list, int n)
{
    list->SetSelection(n);
    wxCommandEvent select(wxEVT_LISTBOX, list->GetId());
    select.SetEventObject(list);
    select.SetInt(n);
    list->GetEventHandler()->ProcessEvent(select);
}

// The user typing over the whole text of a field.
inline void Type(wxTextCtrl* field, const wxString& text)
{
    field->ChangeValue(text);
    field->MarkDirty();
}

// A click on a check box.
inline void Toggle(wxCheckBox* box)
{
    box->SetValue(!box->GetValue());
    wxCommandEvent click(wxEVT_CHECKBOX, box->GetId());
    click.SetEventObject(box);
    click.SetInt(box->GetValue() ? 1 : 0);
    box->GetEventHandler()->ProcessEvent(click);
}

// The message box of a failed catalogue statement: caption "Message", the sentence saying what
// failed first, the engine's message after it.
class ExpectDatabaseError : public wxExpectModalBase<wxMessageDialog, ExpectDatabaseError> {
public:
    explicit ExpectDatabaseError(const wxString& what) : what_(what) {}

protected:
    int OnInvoked(wxMessageDialog* dlg) const override
    {
        EXPECT_EQ("Message", dlg->GetTitle());
        EXPECT_TRUE(dlg->GetMessage().StartsWith(what_)) << dlg->GetMessage();
        EXPECT_TRUE(dlg->GetMessage().Contains("Database error")) << dlg->GetMessage();
        return wxID_OK;
    }

private:
    wxString what_;
};

} // namespace widgets_test
