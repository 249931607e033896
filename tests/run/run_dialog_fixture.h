#pragma once

// The main window over a catalogue with one catalogued stick ("Stick"), and drivers for the
// run dialog: open it from the main window, tick options, press "Synchronize", pump events.

#include <functional>

#include <wx/checklst.h>
#include <wx/dir.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "run/run_dialog.h"
#include "run/select_sync_items_dialog.h"
#include "store/guid.h"
#include "tests/app/main_frame_fixture.h"

// Answers the review dialog: the rows beginning with a typed text (two) unchecked, then answer.
struct ExpectReview : wxExpectModalBase<DialogSelectSyncItems, ExpectReview> {
    explicit ExpectReview(int answer) : answer(answer) {}
    int OnInvoked(DialogSelectSyncItems* review) const override
    {
        review->ApplyFilterEntry(RF_BEGINS);
        EXPECT_EQ(2u, review->ShownRows().size());
        widgets_test::Click(review, "ID_BITMAPBUTTON_SELECT_ALL");
        return answer;
    }
    int answer;
};

class RunDialogTest : public MainFrameTest {
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        AddMedium(wxString('5', 36), "Stick");
        mediumId = LastInsertId();
        root = AddDrive("stick", std::string(36, '5'));
    }

    // A project of the folder "docs" (its one rule takes every file), at stationDir (below the
    // temporary directory) here and at location on the medium of mediumId.
    void AddRunProject(const wxString& caption, const wxString& stationDir, const wxString& location,
                       int compressBelow = 0)
    {
        // Inserts a live row with a fresh GUID; returns its ID.
        const auto insert = [](const char* table, const char* columns, const wxString& values) {
            ExecUpdate(wxString::Format("insert into %s (GUID, MODIFIED, DELETED, %s) values ('%s', '%s', 0, %s)",
                                        table, columns, NewGuid(), NowText(), values));
            return LastInsertId();
        };
        const auto text = [](wxString value) { return "'" + (value.Replace("'", "''"), value) + "'"; };
        const unsigned project = insert("PROJECT", "CAPTION, IGNORESIZEOVER, BZ2BELOW",
                                        wxString::Format("%s, 0, %d", text(caption), compressBelow));
        const unsigned folder = insert("FOLDER", "PROJECTID, FOLDER", wxString::Format("%u, 'docs'", project));
        insert("ACLRULES", "FOLDERID, FILEMASK, NLINE, ALLOW", wxString::Format("%u, '*', 5, 1", folder));
        insert("STAFOLDER", "FOLDERID, STATIONID, FOLDER",
               wxString::Format("%u, %u, %s", folder, stationId, text(dir.MakeDir(stationDir))));
        insert("MEPROJECT", "PROJECTID, MEDIAID, FOLDER",
               wxString::Format("%u, %u, %s", project, mediumId, text(location)));
    }

    // Opens the main window and from it the run dialog, with every listed project checked.
    DialogRun* OpenRun()
    {
        if (!frame)
            OpenWith();
        Command(dralvoFrame::ID_MENU_RUN);
        if (Run() != nullptr)
            for (unsigned n = 0; n < InRun<wxCheckListBox>("ID_CHECKLISTBOX_PROJECTS")->GetCount(); ++n)
                InRun<wxCheckListBox>("ID_CHECKLISTBOX_PROJECTS")->Check(n);
        return Run();
    }

    DialogRun* Run() const
    {
        for (wxWindow* child : frame ? frame->GetChildren() : wxWindowList())
            if (auto* dialog = dynamic_cast<DialogRun*>(child); dialog && !dialog->IsBeingDeleted())
                return dialog;
        return nullptr;
    }

    template <class T>
    T* InRun(const char* name) const
    {
        return widgets_test::Find<T>(Run(), name);
    }

    // Sets an option box by a click when it differs.
    void SetBox(const char* name, bool on) const
    {
        if (InRun<wxCheckBox>(name)->GetValue() != on)
            widgets_test::Toggle(InRun<wxCheckBox>(name));
    }

    // Presses "Synchronize" and answers the question.
    void Synchronize(int answer = wxYES) const
    {
        wxTEST_DIALOG(widgets_test::Click(Run(), "ID_BUTTON_OK"), wxExpectModal<wxMessageDialog>(answer));
    }

    wxString Log() const { return InRun<wxTextCtrl>("ID_TEXTCTRL_LOG")->GetValue(); }

    // Pumps events until done() holds or 30 s have passed.
    static bool PumpUntil(const std::function<bool()>& done)
    {
        for (const wxLongLong deadline = wxGetLocalTimeMillis() + 30000; !done() && wxGetLocalTimeMillis() < deadline;
             wxMilliSleep(2))
            wxYield();
        return done();
    }
    bool Idle() const
    {
        return Run() != nullptr && !Run()->IsRunning() && InRun<wxButton>("ID_BUTTON_OK")->IsEnabled();
    }
    bool PumpUntilIdle() { return PumpUntil([this] { return Idle(); }); }
    bool RunToolEnabled() const { return frame->GetToolBar()->GetToolEnabled(dralvoFrame::ID_TOOL_RUN); }

    unsigned mediumId = 0;
    wxString root;

};
