#include <functional>
#include <string>

#include "tests/app/main_frame_fixture.h"

namespace {

const wxString kDeleteProject = "Do you really wish to delete this project?";
const wxString kDeleteFolder = "Do you really wish to delete this folder from project?";

// Captions taken in any case, by wildcards or by deleted projects are refused; deleting selects
// the neighbour, and after the last the commands do nothing and ask nothing. Project controls
// need a project, folder controls a folder; adding a project always works.
TEST_F(MainFrameTest, ProjectsAreAddedRenamedAndDeleted)
{
    const auto enabled = [this] {
        wxString text;
        for (const char* name : {"ADD", "DELETE", "RENAME", "DIR_ADD", "DIR_DELETE", "DIR_RENAME",
                                 "DIR_MOVE", "LOCAL_DIR", "RUN_TESTBED"})
            text << Enabled(("ID_BITMAPBUTTON_" + std::string(name)).c_str());
        const wxMenuBar* menu = frame->GetMenuBar();
        return text << Enabled("ID_TEXTCTRL_RULE") << menu->IsEnabled(dralvoFrame::ID_MENU_ADD_FOLDER)
                    << menu->IsEnabled(dralvoFrame::ID_MENU_TESTBED);
    };
    OpenWith({"Work"});
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"),
                  ExpectMessage(kDeleteProject, wxYES, "Delete synchronization project"));
    Refused("ID_BITMAPBUTTON_ADD", "WORK", "Project \"WORK\" already exists!");
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_ADD_PROJECT), wxExpectModal<wxTextEntryDialog>("W_rk"),
                  ExpectMessage("Project \"W_rk\" already exists!"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_ADD"), wxExpectModal<wxTextEntryDialog>("", true));
    for (const char* caption : {"Kitchen's photos", "B", "C"})
        NewProject(caption);
    NewFolder("Docs");
    EXPECT_EQ("111111111111", enabled());
    Choose(Projects(), "B");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"), ExpectMessage(kDeleteProject, wxNO));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"), ExpectMessage(kDeleteProject, wxYES));
    EXPECT_EQ("Kitchen\"s photos,[C] / [Docs]", Shown());
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_RENAME"), ExpectDialogProject::Cancel());
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_PROJECT_PROPERTIES),
                  ExpectDialogProject(kCraftedName, 100, 2));
    EXPECT_EQ(wxString("Kitchen\"s photos,[") + kCraftedStored + "] / [Docs]", Shown());
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_DELETE_PROJECT), ExpectMessage(kDeleteProject, wxYES));
    EXPECT_EQ("[Kitchen\"s photos] /", Shown());
    EXPECT_EQ("111100000010", enabled());
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"), ExpectMessage(kDeleteProject, wxYES));
    EXPECT_EQ(" /", Shown());
    EXPECT_EQ("100000000000", enabled());
    EXPECT_EQ(wxString("Work|1||; Kitchen\"s photos|1||; B|1||; ") + kCraftedStored + "|1|100|2",
              Rows("select CAPTION, DELETED, IGNORESIZEOVER, BZ2BELOW from PROJECT"));
    EXPECT_EQ(4, Scalar("select count(distinct GUID) from PROJECT where length(GUID) = 36"));
    EXPECT_EQ("Docs|0", Rows("select FOLDER, DELETED from FOLDER"));
    Click("ID_BITMAPBUTTON_DELETE");
    Command(dralvoFrame::ID_MENU_TESTBED);
    Command(dralvoFrame::ID_MENU_DELETE_FOLDER);
}

// Names taken in any case, by wildcards or by deleted folders of the project are refused,
// those of another project are not; deleting selects the next or the new last; renaming to the
// same name or cancelling writes nothing; moving into the same project drops the item.
TEST_F(MainFrameTest, FoldersAreAddedDeletedRenamedAndMoved)
{
    const wxString taken = "Project \"Work\" already contains folder \"%s\"!";
    OpenWith({"Work"}, {"Photos", "Docs", "Mail"});
    EXPECT_EQ("[Work] / Photos,Docs,[Mail]", Shown());
    Refused("ID_BITMAPBUTTON_DIR_ADD", "docs", wxString::Format(taken, "docs"));
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_ADD_FOLDER), wxExpectModal<wxTextEntryDialog>("Ph_tos"),
                  ExpectMessage(wxString::Format(taken, "Ph_tos")));
    ChooseFolder("Photos");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_DELETE"),
                  ExpectMessage(kDeleteFolder, wxNO, "Delete virtual folder"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_DELETE"), ExpectMessage(kDeleteFolder, wxYES));
    EXPECT_EQ("[Work] / [Docs],Mail", Shown());
    ChooseFolder("Mail");
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_DELETE_FOLDER), ExpectMessage(kDeleteFolder, wxYES));
    EXPECT_EQ("[Work] / [Docs]", Shown());
    Refused("ID_BITMAPBUTTON_DIR_ADD", "photos", wxString::Format(taken, "photos"));

    NewFolder("Pics");
    ExecUpdate(wxString::Format("update FOLDER set MODIFIED='%s'", kOldTime));
    Name("ID_BITMAPBUTTON_DIR_RENAME", "Pics");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_RENAME"), wxExpectModal<wxTextEntryDialog>("", true));
    Refused("ID_BITMAPBUTTON_DIR_RENAME", "DOCS",
            "Virtual folder \"DOCS\" is not unique for the project!");
    const wxString live =
        wxString::Format("select FOLDER, MODIFIED='%s' from FOLDER where DELETED=0", kOldTime);
    EXPECT_EQ("Docs|1; Pics|1", Rows(live));
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_RENAME_FOLDER),
                  wxExpectModal<wxTextEntryDialog>(kCraftedName));
    EXPECT_EQ(wxString("[Work] / Docs,[") + kCraftedStored + "]", Shown());
    EXPECT_EQ(wxString("Docs|1; ") + kCraftedStored + "|0", Rows(live));

    NewProject("Home");
    NewFolder("Docs");
    EXPECT_EQ("Work,[Home] / [Docs]", Shown());
    Choose(Projects(), "Work");
    EXPECT_EQ(wxString("[Work],Home / [Docs],") + kCraftedStored, Shown());
    ChooseFolder(kCraftedStored);
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_MOVE"), ExpectDialogProjectSelect::Cancel());
    EXPECT_EQ(wxString("[Work],Home / Docs,[") + kCraftedStored + "]", Shown());
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_MOVE_FOLDER), ExpectDialogProjectSelect("Home"));
    EXPECT_EQ("[Work],Home / [Docs]", Shown());
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_MOVE"), ExpectDialogProjectSelect("Work"));
    EXPECT_EQ("[Work],Home /", Shown());
    EXPECT_EQ(wxString("Docs|Work; ") + kCraftedStored + "|Home; Docs|Home",
              Rows("select F.FOLDER, P.CAPTION from FOLDER F join PROJECT P on P.ID=F.PROJECTID "
                   "where F.DELETED=0"));
}

// Whatever takes the shown folder away, quitting too, first stores the rules panel's unsaved
// edits for it.
TEST_F(MainFrameTest, EveryChangeOfTheShownFolderStoresTheRulesBeingEdited)
{
    const struct {
        const char *name, *folder;
        std::function<void()> action;
    } rows[] = {
        {"another folder", "A", [this] { ChooseFolder("B"); }},
        {"another project", "B", [this] { Choose(Projects(), "Home"); }},
        {"new folder", "A", [this] { NewFolder("New"); }},
        {"testbed", "A", [this] { Click("ID_BITMAPBUTTON_RUN_TESTBED"); }},
        {"move", "C", [this] {
             wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_MOVE"), ExpectDialogProjectSelect("Home"));
         }},
        {"delete", "D", [this] {
             wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_DELETE"), ExpectMessage(kDeleteFolder, wxYES));
         }},
        {"quit", "A", [this] { CloseWindow(true); }},
    };
    OpenWith({"Home", "Work"}, {"A", "B", "C", "D"});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Choose(Projects(), "Work");
        ChooseFolder(row.folder);
        const wxString mask = wxString("*.") + row.name;
        Rules()->AddRule(mask);
        row.action();
        EXPECT_EQ(FolderId(row.folder), RuleFolder(mask));
    }
}

// A failing statement is shown and the window stays usable; edits that cannot be stored keep
// their project and folder shown, and closing stores them.
TEST_F(MainFrameTest, FailingStatementsAreShownAndTheWindowStaysUsable)
{
    OpenWith({"Home", "Work"});
    ExecUpdate("alter table FOLDER rename to FOLDER_AWAY");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_ADD"), wxExpectModal<wxTextEntryDialog>("Docs"),
                  ExpectDatabaseError("The virtual folder could not be added."));
    ExecUpdate("alter table FOLDER_AWAY rename to FOLDER");
    NewFolder("Docs");
    NewFolder("Mail");
    ChooseFolder("Docs");
    Rules()->AddRule("*.doc");
    ExecUpdate("alter table ACLRULES rename to ACLRULES_AWAY");
    wxTEST_DIALOG(Choose(Projects(), "Home"),
                  ExpectDatabaseError("Your edits could not be stored."));
    wxTEST_DIALOG(ChooseFolder("Mail"), ExpectDatabaseError("The folder's rules could not be stored."));
    EXPECT_EQ("Home,[Work] / [Docs],Mail", Shown());
    EXPECT_EQ("*.doc", Rules()->GetRulesList()->GetItemText(0));
    ExecUpdate("alter table ACLRULES_AWAY rename to ACLRULES");
    CloseWindow();
    EXPECT_EQ(FolderId("Docs"), RuleFolder("*.doc"));
}

// At the smallest size the window allows, the rules list, the mask field and the allow box
// still have their room.
TEST_F(MainFrameTest, MinimumSizeKeepsTheRulesControlsWhole)
{
    OpenWith({"A project with a rather long caption"}, {"Docs"});
    frame->SetSize(frame->GetMinSize());
    frame->Layout();
    wxTheApp->ProcessIdle();
    for (const char* name : {"ID_CUSTOM_BMPLBX_RULES", "ID_TEXTCTRL_RULE", "ID_CHECKBOX_RULE_ALLOW",
                             "ID_BITMAPBUTTON_RUN_TESTBED", "ID_BITMAPBUTTON_RENAME"}) {
        SCOPED_TRACE(name);
        wxWindow* control = Find<wxWindow>(name);
        const wxRect rect(frame->ScreenToClient(control->GetScreenPosition()), control->GetSize());
        EXPECT_TRUE(wxRect(frame->GetClientSize()).Contains(rect));
        EXPECT_GE(rect.height, control->GetBestSize().y);
    }
}

} // namespace
