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

    // A project holding the virtual folder "docs" (its one rule takes every file), at
    // `stationDir` (below the temporary directory) here and at `location` on the stick.
    void AddRunProject(const wxString& caption, const wxString& stationDir,
                       const wxString& location, int compressBelow = 0)
    {
        const wxString project = Insert("PROJECT", "CAPTION, IGNORESIZEOVER, BZ2BELOW",
                                        {caption, "0", wxString::Format("%d", compressBelow)});
        const wxString folder = Insert("FOLDER", "PROJECTID, FOLDER", {project, "docs"});
        Insert("ACLRULES", "FOLDERID, FILEMASK, NLINE, ALLOW", {folder, "*", "5", "1"});
        Insert("STAFOLDER", "FOLDERID, STATIONID, FOLDER",
               {folder, wxString::Format("%u", stationId), dir.MakeDir(stationDir)});
        Insert("MEPROJECT", "PROJECTID, MEDIAID, FOLDER",
               {project, wxString::Format("%u", mediumId), location});
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
    // Inserts a live row with a fresh GUID and the given column values; returns its ID.
    static wxString Insert(const char* table, const char* columns,
                           const std::vector<wxString>& values)
    {
        wxString marks;
        for (size_t i = 0; i < values.size(); ++i)
            marks += ", ?";
        wxSQLite3Statement insert = Prepare(wxString::Format(
            "insert into %s (GUID, MODIFIED, DELETED, %s) values (?, ?, 0%s)", table, columns,
            marks));
        insert.Bind(1, NewGuid());
        insert.Bind(2, NowText());
        for (size_t i = 0; i < values.size(); ++i)
            insert.Bind(static_cast<int>(i) + 3, values[i]);
        insert.ExecuteUpdate();
        return wxString::Format("%u", LastInsertId());
    }
};
