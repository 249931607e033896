#include "app/main_frame.h"

#include <functional>

#include <gtest/gtest.h>

#include <wx/menu.h>

#include "store/translations.h"
#include "tests/app/main_frame_fixture.h"

namespace {

const wxString kDeleteProject = "Do you really wish to delete this project?";
const wxString kDeleteFolder = "Do you really wish to delete this folder from project?";

// The one check of the exact texts and keys of the menu commands.
TEST_F(MainFrameTest, MenuCommandsCarryTheirTextsAndKeys)
{
    OpenWith();
    const struct {
        wxWindowID id;
        const char* label;  // with the accelerator as the menu shows it
        const char* help;
    } items[] = {
        {dralvoFrame::ID_MENU_OPTIONS, "Options...\tCtrl+O", "Show options dialog"},
        {dralvoFrame::ID_MENU_QUIT, "Quit\tAlt-F4", "Quit the application"},
        {dralvoFrame::ID_MENU_RUN, "Run synchronization...\tF3", "Show synchronization dialog"},
        {dralvoFrame::ID_MENU_TESTBED, "Rules testbed...\tCtrl+T", "Show folder rules testbed tool"},
        {dralvoFrame::ID_MENU_REFRESH_MEDIA, "Refresh media\tF5", "Refresh list of the currently connected media"},
        {dralvoFrame::ID_MENU_ABOUT, "About\tF1", "Show info about this application"},
        {dralvoFrame::ID_MENU_MOVE_FOLDER, "Move folder...", "Move the virtual folder into another project"},
        {dralvoFrame::ID_MENU_EXPORT, "Export to XML", "Export projects information to the connected media"},
    };
    for (const auto& item : items) {
        SCOPED_TRACE(item.label);
        const wxMenuItem* found = frame->GetMenuBar()->FindItem(item.id);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(wxString(item.label), found->GetItemLabel());
        EXPECT_EQ(item.help, found->GetHelp());
    }

    frame.get()->Destroy();
    wxTheApp->ProcessIdle();
    ASSERT_TRUE(StartTranslations(wxLANGUAGE_RUSSIAN));
    OpenWith();
    EXPECT_EQ(wxString::FromUTF8("Параметры...\tCtrl+O"),
              frame->GetMenuBar()->FindItem(dralvoFrame::ID_MENU_OPTIONS)->GetItemLabel());
    EXPECT_EQ(wxString::FromUTF8("Проект"), Find<wxWindow>("ID_STATICTEXT4")->GetLabel());
    StartTranslations(wxLANGUAGE_ENGLISH);
}

// Project controls need a project; folder controls a folder; adding a project always works.
TEST_F(MainFrameTest, ControlsAreEnabledAsProjectsAndFoldersAppear)
{
    const char* const projectControls[] = {"ID_BITMAPBUTTON_DELETE", "ID_BITMAPBUTTON_RENAME",
                                           "ID_BITMAPBUTTON_DIR_ADD"};
    const char* const folderControls[] = {"ID_BITMAPBUTTON_DIR_DELETE", "ID_BITMAPBUTTON_DIR_RENAME",
                                          "ID_BITMAPBUTTON_DIR_MOVE", "ID_BITMAPBUTTON_LOCAL_DIR",
                                          "ID_BITMAPBUTTON_RUN_TESTBED", "ID_TEXTCTRL_RULE"};
    OpenWith();
    for (int step = 0; step < 3; ++step) {
        SCOPED_TRACE(step);
        if (step == 1)
            NewProject("Work");
        if (step == 2)
            NewFolder("Docs");
        EXPECT_TRUE(Enabled("ID_BITMAPBUTTON_ADD"));
        for (const char* name : projectControls)
            EXPECT_EQ(step >= 1, Enabled(name)) << name;
        for (const char* name : folderControls)
            EXPECT_EQ(step == 2, Enabled(name)) << name;
        EXPECT_EQ(step >= 1, frame->GetMenuBar()->IsEnabled(dralvoFrame::ID_MENU_ADD_FOLDER));
        EXPECT_EQ(step == 2, frame->GetMenuBar()->IsEnabled(dralvoFrame::ID_MENU_TESTBED));
    }
}

TEST_F(MainFrameTest, AddsProjectsAndRefusesCaptionsTakenInAnyCaseEvenByDeletedOnes)
{
    OpenWith({"Work"});
    EXPECT_EQ("Work|0|36||", Rows("select CAPTION, DELETED, length(GUID), IGNORESIZEOVER, BZ2BELOW from PROJECT"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"),
                  ExpectMessage(kDeleteProject, wxYES, "Delete synchronization project"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_ADD"), wxExpectModal<wxTextEntryDialog>("WORK"),
                  ExpectMessage("Project \"WORK\" already exists!", wxOK, "Message"));
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_ADD_PROJECT), wxExpectModal<wxTextEntryDialog>("W_rk"),
                  ExpectMessage("Project \"W_rk\" already exists!"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_ADD"), wxExpectModal<wxTextEntryDialog>("", true));
    NewProject("Kitchen's photos");
    EXPECT_EQ("[Kitchen\"s photos] /", Shown());
    EXPECT_EQ("Work|1; Kitchen\"s photos|0", Rows("select CAPTION, DELETED from PROJECT"));
}

// Nothing is selected after the last, so the commands then do nothing and ask nothing.
TEST_F(MainFrameTest, DeletingProjectsSelectsTheNeighbourAndTheLastEmptiesTheWindow)
{
    OpenWith({"A", "B", "C"}, {"Docs"});  // the folder in C
    ChooseProject("B");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"), ExpectMessage(kDeleteProject, wxNO));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"), ExpectMessage(kDeleteProject, wxYES));
    EXPECT_EQ("A,[C] / [Docs]", Shown());
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_DELETE_PROJECT), ExpectMessage(kDeleteProject, wxYES));
    EXPECT_EQ("[A] /", Shown());
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"), ExpectMessage(kDeleteProject, wxYES));
    EXPECT_EQ(" /", Shown());
    EXPECT_EQ("A|1; B|1; C|1", Rows("select CAPTION, DELETED from PROJECT"));
    EXPECT_EQ("Docs|0", Rows("select FOLDER, DELETED from FOLDER"));
    Click("ID_BITMAPBUTTON_DELETE");
    Command(dralvoFrame::ID_MENU_TESTBED);
    Command(dralvoFrame::ID_MENU_DELETE_FOLDER);
}

TEST_F(MainFrameTest, ProjectPropertiesRenameTheSelectedEntryOnlyAfterOk)
{
    OpenWith({"Work", "Home"});
    ChooseProject("Work");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_RENAME"), ExpectDialogProject::Cancel());
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_PROJECT_PROPERTIES), ExpectDialogProject("Office's", 100, 2));
    EXPECT_EQ("[Office\"s],Home /", Shown());
    EXPECT_EQ("Office\"s|100|2; Home||", Rows("select CAPTION, IGNORESIZEOVER, BZ2BELOW from PROJECT"));
}

// Folders of another project do not count.
TEST_F(MainFrameTest, AddsFoldersAndRefusesNamesTakenInAnyCaseOrByWildcards)
{
    OpenWith({"Work"}, {"Photos", "Docs"});
    EXPECT_EQ("[Work] / Photos,[Docs]", Shown());
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_ADD"), wxExpectModal<wxTextEntryDialog>("docs"),
                  ExpectMessage("Project \"Work\" already contains folder \"docs\"!", wxOK, "Message"));
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_ADD_FOLDER), wxExpectModal<wxTextEntryDialog>("Ph_tos"),
                  ExpectMessage("Project \"Work\" already contains folder \"Ph_tos\"!"));
    NewProject("Home");
    NewFolder("Docs");
    EXPECT_EQ("Work,[Home] / [Docs]", Shown());
    ChooseProject("Work");
    EXPECT_EQ("[Work],Home / [Docs],Photos", Shown());
    EXPECT_EQ("Photos|1|0; Docs|1|0; Docs|2|0", Rows("select FOLDER, PROJECTID, DELETED from FOLDER"));
}

// A deleted name stays taken.
TEST_F(MainFrameTest, DeletingFoldersSelectsTheNextOrTheNewLast)
{
    OpenWith({"Work"}, {"A", "B", "C", "D"});
    ChooseFolder("A");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_DELETE"), ExpectMessage(kDeleteFolder, wxNO, "Delete virtual folder"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_DELETE"), ExpectMessage(kDeleteFolder, wxYES));
    EXPECT_EQ("[Work] / [B],C,D", Shown());
    ChooseFolder("D");
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_DELETE_FOLDER), ExpectMessage(kDeleteFolder, wxYES));
    EXPECT_EQ("[Work] / B,[C]", Shown());
    EXPECT_EQ("A|1; B|0; C|0; D|1", Rows("select FOLDER, DELETED from FOLDER"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_ADD"), wxExpectModal<wxTextEntryDialog>("a"),
                  ExpectMessage("Project \"Work\" already contains folder \"a\"!"));
}

// Renaming to the same name or cancelling writes nothing.
TEST_F(MainFrameTest, RenamingFolderRefusesTakenNamesAndIgnoresTheUnchangedOne)
{
    OpenWith({"Work"}, {"Docs", "Photos"});
    ExecUpdate(wxString::Format("update FOLDER set MODIFIED='%s'", kOldTime));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_RENAME"), wxExpectModal<wxTextEntryDialog>("Photos"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_RENAME"), wxExpectModal<wxTextEntryDialog>("", true));
    for (const char* taken : {"PHOTOS", "docs"})
        wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_RENAME"), wxExpectModal<wxTextEntryDialog>(taken),
                      ExpectMessage(wxString::Format("Virtual folder \"%s\" is not unique for the project!", taken),
                                    wxOK, "Message"));
    EXPECT_EQ("Docs|1; Photos|1", Rows(wxString::Format("select FOLDER, MODIFIED='%s' from FOLDER", kOldTime)));
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_RENAME_FOLDER), wxExpectModal<wxTextEntryDialog>("Pictures'"));
    EXPECT_EQ("[Work] / Docs,[Pictures\"]", Shown());
    EXPECT_EQ("Docs|1; Pictures\"|0", Rows(wxString::Format("select FOLDER, MODIFIED='%s' from FOLDER", kOldTime)));
}

// Moving into the same project writes the row and drops the item until the next refill.
TEST_F(MainFrameTest, MovingFolderTakesItToTheChosenProject)
{
    OpenWith({"Home", "Work"}, {"Docs", "Mail"});
    ChooseFolder("Docs");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_MOVE"), ExpectDialogProjectSelect::Cancel());
    EXPECT_EQ("Home,[Work] / [Docs],Mail", Shown());
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_MOVE_FOLDER), ExpectDialogProjectSelect("Home"));
    EXPECT_EQ("Home,[Work] / [Mail]", Shown());
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_MOVE"), ExpectDialogProjectSelect("Work"));
    EXPECT_EQ("Home,[Work] /", Shown());
    EXPECT_EQ("Docs|Home; Mail|Work",
              Rows("select F.FOLDER, P.CAPTION from FOLDER F join PROJECT P on P.ID=F.PROJECTID"));
}

// Whatever takes the shown folder away first stores the rules panel's unsaved edits for it.
TEST_F(MainFrameTest, EveryChangeOfTheShownFolderStoresTheRulesBeingEdited)
{
    using Action = std::function<void()>;
    const struct {
        const char* name;
        const char* folder;
        Action action;
    } rows[] = {
        {"another folder", "A", [this] { ChooseFolder("B"); }},
        {"another project", "B", [this] { ChooseProject("Home"); }},
        {"new folder", "A", [this] { NewFolder("New"); }},
        {"testbed", "A", [this] { Click("ID_BITMAPBUTTON_RUN_TESTBED"); }},
        {"move", "C", [this] {
             wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_MOVE"), ExpectDialogProjectSelect("Home"));
         }},
        {"delete", "D", [this] {
             wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_DELETE"), ExpectMessage(kDeleteFolder, wxYES));
         }},
    };
    OpenWith({"Home", "Work"}, {"A", "B", "C", "D"});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ChooseProject("Work");
        ChooseFolder(row.folder);
        const wxString mask = wxString("*.") + row.name;
        Rules()->AddRule(mask);
        row.action();
        EXPECT_EQ(FolderId(row.folder), RuleFolder(mask));
    }
    // When the testbed goes, the panel shows the stored, undeleted rules again.
    ChooseProject("Work");
    ChooseFolder("A");
    Rules()->AddRule("*.unsaved");
    frame->TestbedClosed();
    EXPECT_EQ(3u, Rules()->GetRulesList()->GetCount());
}

TEST_F(MainFrameTest, ClosingStoresThePendingEdits)
{
    const wxString root = AddDrive("stick", "0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9");
    AddMedium("0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9", "Stick");
    OpenWith({"Work"}, {"Docs"});
    Rules()->AddRule("*.doc");
    Type(MediumField(), root + "Sync/Work");
    Command(dralvoFrame::ID_MENU_QUIT);
    wxTheApp->ProcessIdle();
    EXPECT_FALSE(frame);
    EXPECT_EQ(FolderId("Docs"), RuleFolder("*.doc"));
    EXPECT_EQ("Sync\\Work", Text("select FOLDER from MEPROJECT"));
}

TEST_F(MainFrameTest, FailingStatementIsShownAndTheWindowStaysUsable)
{
    OpenWith({"Work"});
    ExecUpdate("alter table FOLDER rename to FOLDER_AWAY");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_ADD"), wxExpectModal<wxTextEntryDialog>("Docs"),
                  ExpectDatabaseError("The virtual folder could not be added."));
    ExecUpdate("alter table FOLDER_AWAY rename to FOLDER");
    NewFolder("Docs");
    EXPECT_EQ("[Work] / [Docs]", Shown());
}

TEST_F(MainFrameTest, EditsThatCannotBeStoredKeepTheirProjectAndFolderShown)
{
    OpenWith({"Home", "Work"}, {"Docs", "Mail"});
    ChooseFolder("Docs");
    Rules()->AddRule("*.doc");
    ExecUpdate("alter table ACLRULES rename to ACLRULES_AWAY");
    wxTEST_DIALOG(ChooseProject("Home"), ExpectDatabaseError("Your edits could not be stored."));
    wxTEST_DIALOG(ChooseFolder("Mail"), ExpectDatabaseError("The folder's rules could not be stored."));
    EXPECT_EQ("Home,[Work] / [Docs],Mail", Shown());
    EXPECT_EQ("*.doc", Rules()->GetRulesList()->GetItemText(0));

    ExecUpdate("alter table ACLRULES_AWAY rename to ACLRULES");
    CloseWindow();
    EXPECT_EQ(FolderId("Docs"), RuleFolder("*.doc"));
}

} // namespace
