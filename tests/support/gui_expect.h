#pragma once

// Expectations for wxTEST_DIALOG: fill a dialog the code under test shows modally and answer it.
//   wxTEST_DIALOG(frame->DoSomething(),
//                 wxExpectModal<wxTextEntryDialog>("New name"),
//                 ExpectMessage("Project already exists!"));

#include <gtest/gtest.h>

#include <wx/choicdlg.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>
#include <wx/textdlg.h>

// Enters text and presses OK; with cancel set, presses Cancel instead.
template <>
class wxExpectModal<wxTextEntryDialog> : public wxExpectModalBase<wxTextEntryDialog> {
public:
    explicit wxExpectModal(const wxString& text, bool cancel = false) : text_(text), cancel_(cancel) {}

protected:
    int OnInvoked(wxTextEntryDialog* dlg) const override
    {
        dlg->SetValue(text_);
        return cancel_ ? wxID_CANCEL : wxID_OK;
    }

private:
    wxString text_;
    bool cancel_;
};

// Picks the row at index and presses OK; a negative index presses Cancel.
template <>
class wxExpectModal<wxSingleChoiceDialog> : public wxExpectModalBase<wxSingleChoiceDialog> {
public:
    explicit wxExpectModal(int index) : index_(index) {}

protected:
    int OnInvoked(wxSingleChoiceDialog* dlg) const override
    {
        if (index_ < 0)
            return wxID_CANCEL;
        dlg->SetSelection(index_);
        return wxID_OK;
    }

private:
    int index_;
};

// A message box whose text is exactly message (with prefix set: begins with it) and, when one
// is given, whose caption is caption; answers id (wxOK, wxYES, wxNO, wxCANCEL).
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
public:
    explicit ExpectMessage(const wxString& message, int id = wxOK, const wxString& caption = wxString(),
                           bool prefix = false)
        : message_(message), caption_(caption), id_(id), prefix_(prefix) {}

protected:
    int OnInvoked(wxMessageDialog* dlg) const override
    {
        const wxString shown = dlg->GetMessage();
        EXPECT_TRUE(prefix_ ? shown.StartsWith(message_) : shown == message_)
            << shown << "\n  not " << message_;
        EXPECT_TRUE(caption_.empty() || caption_ == dlg->GetTitle()) << dlg->GetTitle();
        return id_ == wxYES ? wxID_YES : id_ == wxNO ? wxID_NO : id_ == wxCANCEL ? wxID_CANCEL : wxID_OK;
    }

private:
    wxString message_;
    wxString caption_;
    int id_;
    bool prefix_;
};

// The box of a failed catalogue statement: the sentence saying what failed, then the engine's
// message.
inline ExpectMessage ExpectDatabaseError(const wxString& what)
{
    return ExpectMessage(what, wxOK, "Message", true);
}
