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

#include "tests/support/widgets.h"

// Enters text and presses OK; with cancel set, presses Cancel instead.
template <>
struct wxExpectModal<wxTextEntryDialog> : wxExpectModalBase<wxTextEntryDialog> {
    explicit wxExpectModal(const wxString& text, bool cancel = false) : text(text), cancel(cancel) {}
    int OnInvoked(wxTextEntryDialog* dlg) const override
    {
        dlg->SetValue(text);
        return cancel ? wxID_CANCEL : wxID_OK;
    }
    wxString text;
    bool cancel;
};

// Picks the row at index and presses OK; a negative index presses Cancel. With whole set, the
// box must first show its message, its choices and its buttons whole.
template <>
struct wxExpectModal<wxSingleChoiceDialog> : wxExpectModalBase<wxSingleChoiceDialog> {
    explicit wxExpectModal(int index, bool whole = false) : index(index), whole(whole) {}
    int OnInvoked(wxSingleChoiceDialog* dlg) const override
    {
        if (whole) {
            EXPECT_EQ("", widgets_test::CutControls(dlg).utf8_string());
        }
        if (index >= 0)
            dlg->SetSelection(index);
        return index < 0 ? wxID_CANCEL : wxID_OK;
    }
    int index;
    bool whole;
};

// A message box whose text is exactly message (with prefix set: begins with it) and, when one
// is given, whose caption is caption; answers id (wxOK, wxYES, wxNO, wxCANCEL).
struct ExpectMessage : wxExpectModalBase<wxMessageDialog, ExpectMessage> {
    explicit ExpectMessage(const wxString& message, int id = wxOK, const wxString& caption = wxString(),
                           bool prefix = false)
        : message(message), caption(caption), id(id), prefix(prefix) {}
    int OnInvoked(wxMessageDialog* dlg) const override
    {
        const wxString shown = dlg->GetMessage();
        EXPECT_TRUE(prefix ? shown.StartsWith(message) : shown == message) << shown << "\n  not " << message;
        EXPECT_TRUE(caption.empty() || caption == dlg->GetTitle()) << dlg->GetTitle();
        return id == wxYES ? wxID_YES : id == wxNO ? wxID_NO : id == wxCANCEL ? wxID_CANCEL : wxID_OK;
    }
    wxString message, caption;
    int id;
    bool prefix;
};

// The box of a failed catalogue statement: the sentence saying what failed, then the engine's
// message.
inline ExpectMessage ExpectDatabaseError(const wxString& what)
{
    return ExpectMessage(what, wxOK, "Message", true);
}
