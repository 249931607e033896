#pragma once

// The main window over a catalogue with one catalogued stick ("Stick") and projects located
// on it, and drivers for the run dialog: open it from the main window, tick options, press
// "Synchronize" and pump until the run has ended (with a deadline).

#include <functional>
#include <string>

#include <wx/checklst.h>
#include <wx/dir.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "run/run_dialog.h"
#include "run/select_sync_items_dialog.h"
#include "store/guid.h"
#include "tests/app/main_frame_fixture.h"

// Answers the review dialog with whatever the test does to it (filter, uncheck) and the
// result it returns (wxOK or wxCANCEL).
class ExpectReview : public wxExpectModalBase<DialogSelectSyncItems, ExpectReview> {
public:
    explicit ExpectReview(std::function<int(DialogSelectSyncItems*)> act) : act_(std::move(act)) {}

protected:
    int OnInvoked(DialogSelectSyncItems* dialog) const override { return act_(dialog); }

private:
    std::function<int(DialogSelectSyncItems*)> act_;
};

// Selects the review's first row whose details name `path`.
inline void ChooseRowShowing(DialogSelectSyncItems* review, const wxString& path)
{
    auto* list = widgets_test::Find<wxVListBox>(review, "ID_CHECKLISTBOX_PAIRS");
    auto* details = widgets_test::Find<wxTextCtrl>(review, "ID_TEXTCTRL_DETAILS");
    for (size_t n = 0; n < review->ShownRows().size(); ++n) {
        widgets_test::ChooseLine(list, static_cast<int>(n));
        if (details->GetValue().Contains(path))
            return;
    }
    ADD_FAILURE() << "no row shows " << path;
}

class RunDialogTest : public MainFrameTest {
protected:
    static constexpr const char* kGuid = "0123abcd-0000-1111-2222-333344445555";

    void SetUp() override
    {
        MainFrameTest::SetUp();
        AddMedium(kGuid, "Stick");
        mediumId = static_cast<unsigned>(LastInsertId());
        root = AddDrive("stick", kGuid);
    }

    // A project holding the virtual folder "docs" (its one rule takes every file), at `stationDir` (below the temporary
    // directory) on this computer and at `location` on the stick.
    void AddRunProject(const wxString& caption, const wxString& stationDir,
                       const wxString& location, int compressBelow = 0)
    {
        wxSQLite3Statement project = Prepare(
            "insert into PROJECT (GUID, CAPTION, IGNORESIZEOVER, BZ2BELOW, MODIFIED, DELETED) "
            "values (?, ?, 0, ?, ?, 0)");
        project.Bind(1, NewGuid());
        project.Bind(2, caption);
        project.Bind(3, compressBelow);
        project.Bind(4, NowText());
        project.ExecuteUpdate();
        const unsigned projectId = LastInsertId();
        Insert("insert into FOLDER (GUID, PROJECTID, FOLDER, MODIFIED, DELETED) "
               "values ('%s', %u, 'docs', '%s', 0)", projectId);
        const unsigned folderId = LastInsertId();
        Insert("insert into ACLRULES (GUID, FOLDERID, FILEMASK, NLINE, ALLOW, MODIFIED, DELETED) "
               "values ('%s', %u, '*', 5, 1, '%s', 0)", folderId);
        ExecUpdate(wxString::Format(
            "insert into STAFOLDER (GUID, FOLDERID, STATIONID, FOLDER, MODIFIED, DELETED) "
            "values ('%s', %u, %u, '%s', '%s', 0)",
            NewGuid(), folderId, stationId, dir.MakeDir(stationDir), NowText()));
        ExecUpdate(wxString::Format(
            "insert into MEPROJECT (GUID, FOLDER, MODIFIED, PROJECTID, MEDIAID, DELETED) "
            "values ('%s', '%s', '%s', %u, %u, 0)",
            NewGuid(), location, NowText(), projectId, mediumId));
    }

    // Opens the main window and from it the run dialog, with every listed project checked.
    DialogRun* OpenRun()
    {
        if (!frame)
            OpenWith();
        Command(dralvoFrame::ID_MENU_RUN);
        DialogRun* dialog = Run();
        if (dialog != nullptr) {
            auto* projects = InRun<wxCheckListBox>("ID_CHECKLISTBOX_PROJECTS");
            for (unsigned n = 0; n < projects->GetCount(); ++n)
                projects->Check(n);
        }
        return dialog;
    }

    DialogRun* Run() const
    {
        if (!frame)
            return nullptr;
        for (wxWindow* child : frame->GetChildren())
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
        auto* box = InRun<wxCheckBox>(name);
        if (box->GetValue() != on)
            widgets_test::Toggle(box);
    }

    // Presses "Synchronize" and answers the question.
    void Synchronize(int answer = wxYES) const
    {
        wxTEST_DIALOG(widgets_test::Click(Run(), "ID_BUTTON_OK"),
                      wxExpectModal<wxMessageDialog>(answer));
    }

    wxString Log() const { return InRun<wxTextCtrl>("ID_TEXTCTRL_LOG")->GetValue(); }

    // Pumps events until done() holds or the deadline passes.
    static bool PumpUntil(const std::function<bool()>& done, int seconds = 30)
    {
        const wxLongLong deadline = wxGetLocalTimeMillis() + seconds * 1000;
        while (!done() && wxGetLocalTimeMillis() < deadline) {
            wxYield();
            wxMilliSleep(2);
        }
        return done();
    }
    bool Idle() const
    {
        return Run() != nullptr && !Run()->IsRunning() && InRun<wxButton>("ID_BUTTON_OK")->IsEnabled();
    }
    bool PumpUntilIdle() { return PumpUntil([this] { return Idle(); }); }
    bool PumpUntilLogged(const wxString& text)
    {
        return PumpUntil([this, text] { return Run() && Log().Contains(text); });
    }

    bool RunToolEnabled() const
    {
        return frame->GetToolBar()->GetToolEnabled(dralvoFrame::ID_TOOL_RUN);
    }

    // The names of the run logs in the user data directory.
    static std::vector<wxString> RunLogs()
    {
        std::vector<wxString> names;
        wxArrayString found;
        wxDir::GetAllFiles(userDataDir, &found, "dralvo_sync_*", wxDIR_FILES);
        for (const wxString& path : found)
            names.push_back(path.AfterLast('/'));
        return names;
    }

    unsigned mediumId = 0;
    wxString root;

private:
    static void Insert(const char* sql, unsigned parent)
    {
        ExecUpdate(wxString::Format(sql, NewGuid(), parent, NowText()));
    }
};
