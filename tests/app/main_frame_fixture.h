#pragma once

// A main window over a fresh catalogue, with fake drives and an answering folder chooser, and
// drivers that use its controls as a user's clicks and keystrokes would.

#include <deque>
#include <functional>
#include <vector>

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/toolbar.h>
#include <wx/weakref.h>

#include "app/main_frame.h"
#include "store/options.h"
#include "tests/editors/project_dialogs_expect.h"
#include "tests/support/fake_drives.h"
#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"
#include "tests/support/widgets.h"
#include "ui/bitmap_list.h"
#include "ui/rules_panel.h"
#include "ui/window_utils.h"

class MainFrameTest : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        soShowAllDrives = false;
        // The folder chooser answers with browseAnswers in turn and records where it started.
        previousBrowser_ = SetFolderBrowser([this](wxWindow*, const wxString& start,
                                                   const wxString& title) {
            browseStarts.push_back(start);
            if (browseAnswers.empty()) {
                ADD_FAILURE() << "unexpected folder chooser: " << title;
                return wxString();
            }
            const wxString answer = browseAnswers.front();
            browseAnswers.pop_front();
            return answer;
        });
    }
    void TearDown() override
    {
        delete frame.get();
        SetFolderBrowser(previousBrowser_);
        connectedMedia.clear();
        CatalogTest::TearDown();
    }

    // Builds, shows and fills the window as start-up does; adds the projects, then the folders
    // to the last of them.
    void OpenWith(std::initializer_list<const char*> projects = {},
                  std::initializer_list<const char*> folders = {})
    {
        frame = new dralvoFrame(nullptr, wxID_ANY);
        frame->Show();
        frame->RefreshProjects();
        for (const char* caption : projects)
            NewProject(caption);
        for (const char* name : folders)
            NewFolder(name);
    }
    // Closes the window the way the close box (or the Quit command) does and lets it go.
    void CloseWindow(bool quit = false)
    {
        quit ? Command(dralvoFrame::ID_MENU_QUIT) : void(frame->Close(false));
        wxTheApp->ProcessIdle();
        EXPECT_FALSE(frame) << "the window stayed";
    }

    // Pumps events until done() holds or 30 s have passed; whether it holds.
    static bool PumpUntil(const std::function<bool()>& done)
    {
        const auto end = wxGetLocalTimeMillis() + 30000;
        while (!done() && wxGetLocalTimeMillis() < end)
            wxYield(), wxMilliSleep(2);
        return done();
    }

    template <class T>
    T* Find(const char* name) const { return widgets_test::Find<T>(frame.get(), name); }
    wxChoice* Projects() const { return Find<wxChoice>("ID_CHOICE_PROJECT"); }
    wxChoice* Media() const { return Find<wxChoice>("ID_CHOICE_MEDIA"); }
    auto* Folders() const { return Find<swxBitmapListBox>("ID_BITMAP_LISTBOX_FOLDERS"); }
    wxTextCtrl* MediumField() const { return Find<wxTextCtrl>("ID_TEXTCTRL_MEDIA_DIR"); }
    wxTextCtrl* LocalField() const { return Find<wxTextCtrl>("ID_TEXTCTRL_LOCAL_DIR"); }
    PanelRules* Rules() const
    {
        return dynamic_cast<PanelRules*>(frame->FindWindow(dralvoFrame::ID_PANEL_RULES));
    }
    bool Enabled(const char* name) const { return Find<wxWindow>(name)->IsEnabled(); }
    bool ToolOn(wxWindowID id) const { return frame->GetToolBar()->GetToolEnabled(id); }

    void Click(const char* name) const { widgets_test::Click(frame.get(), name); }
    void Command(wxWindowID id) const
    {
        wxCommandEvent command(wxEVT_MENU, id);
        command.SetEventObject(frame.get());
        frame->GetEventHandler()->ProcessEvent(command);
    }

    static void Choose(wxChoice* choice, int n)
    {
        choice->SetSelection(n);
        widgets_test::Notify(choice, wxEVT_CHOICE, n);
    }
    static void Choose(wxChoice* choice, const wxString& text)
    {
        const int n = choice->FindString(text, true);
        ASSERT_NE(n, wxNOT_FOUND) << text;
        Choose(choice, n);
    }
    void ChooseFolder(const wxString& name) const
    {
        int n = 0;
        while (n < static_cast<int>(Folders()->GetCount()) && Folders()->GetItemText(n) != name)
            ++n;
        ASSERT_LT(n, static_cast<int>(Folders()->GetCount())) << name;
        widgets_test::ChooseLine(Folders(), n);
    }
    void ToggleConnectedOnly() const
    {
        widgets_test::Toggle(Find<wxCheckBox>("ID_CHECKBOX_CONNECTDED_MEDIA"));
    }
    static void Type(wxTextCtrl* field, const wxString& text) { widgets_test::Type(field, text); }

    // New projects and folders through the window's add buttons, answered as a user would
    // (AddProject of the base class stores a row directly).
    void NewProject(const wxString& caption) { Name("ID_BITMAPBUTTON_ADD", caption); }
    void NewFolder(const wxString& name) { Name("ID_BITMAPBUTTON_DIR_ADD", name); }
    void Name(const char* button, const wxString& name)
    {
        wxTEST_DIALOG(Click(button), wxExpectModal<wxTextEntryDialog>(name));
    }
    // Clicks the button, gives the name it asks for and expects the box refusing it.
    void Refused(const char* button, const wxString& name, const wxString& message)
    {
        wxTEST_DIALOG(Click(button), wxExpectModal<wxTextEntryDialog>(name),
                      ExpectMessage(message, wxOK, "Message"));
    }

    // The project choice and the folder list as "A,[B] / [Docs],Mail", the selection in brackets.
    wxString Shown() const
    {
        wxArrayString folders;
        for (unsigned i = 0; i < Folders()->GetCount(); ++i)
            folders.push_back(Folders()->GetItemText(i));
        const wxString listed = Listed(folders, Folders()->GetSelection());
        return Listed(Projects()->GetStrings(), Projects()->GetSelection()) + " /" +
               (listed.empty() ? "" : " ") + listed;
    }
    // The items as "A,[B]", the selected one in brackets.
    static wxString Listed(wxArrayString items, int selected)
    {
        if (selected >= 0 && selected < static_cast<int>(items.size()))
            items[selected] = "[" + items[selected] + "]";
        return wxJoin(items, ',', '\0');
    }

    // The ID (or another column) of the row whose column is text: Id("ID from X where C", ..).
    static int Id(const char* what, const wxString& text)
    {
        return Scalar(wxString("select ") + what + "=" + SqlText(text));
    }
    static int ProjectId(const wxString& c) { return Id("ID from PROJECT where CAPTION", c); }
    static int FolderId(const wxString& name) { return Id("ID from FOLDER where FOLDER", name); }
    static int RuleFolder(wxString m) { return Id("FOLDERID from ACLRULES where FILEMASK", m); }
    static void AddMedium(const wxString& guid, const wxString& name)
    {
        ExecUpdate(wxString::Format("insert into MEDIA(GUID, NAME, MODIFIED, DELETED) "
                                    "values ('%s', '%s', '%s', 0)", guid, name, kOldTime));
    }
    // A removable FAT drive at <dir>/media/<dirName> carrying the marker of guid (none when
    // guid is empty); returns its root.
    wxString AddDrive(const wxString& dirName, const std::string& guid)
    {
        FakeDrive drive;
        drive.mountDir = "media/" + dirName;
        const wxString root = drives.Add(drive);
        if (!guid.empty())
            dir.Write("media/" + dirName + "/dralvo.txt", guid);
        return root;
    }

    FakeDrives drives{dir};
    wxWeakRef<dralvoFrame> frame;
    std::deque<wxString> browseAnswers;
    std::vector<wxString> browseStarts;

private:
    FolderBrowser previousBrowser_;
};
