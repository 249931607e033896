#include "app/main_frame.h"

#include <memory>

#include <gtest/gtest.h>

#include <wx/accel.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

#include "store/translations.h"
#include "tests/app/main_frame_fixture.h"

namespace {

using Names = std::vector<wxString>;

const wxString kDeleteProject = "Do you really wish to delete this project?";
const wxString kDeleteFolder = "Do you really wish to delete this folder from project?";

TEST_F(MainFrameTest, ShowsEveryControlCentredAtItsSize)
{
    Open();
    for (const char* name :
         {"ID_STATICTEXT4", "ID_CHOICE_PROJECT", "ID_BITMAPBUTTON_ADD", "ID_BITMAPBUTTON_DELETE",
          "ID_BITMAPBUTTON_RENAME", "ID_STATICLINE1", "ID_STATICTEXT1", "ID_CHOICE_MEDIA",
          "ID_BITMAPBUTTON_MEDIA_MANAGER", "ID_CHECKBOX_CONNECTDED_MEDIA", "ID_TEXTCTRL_MEDIA_DIR",
          "ID_BITMAPBUTTON_MEDIA_DIR", "ID_SPLITTERWINDOW_VERT", "ID_PANEL_LEFT",
          "ID_BITMAPBUTTON_DIR_ADD", "ID_BITMAPBUTTON_DIR_DELETE", "ID_BITMAPBUTTON_DIR_RENAME",
          "ID_BITMAPBUTTON_DIR_MOVE", "ID_BITMAP_LISTBOX_FOLDERS", "ID_PANEL1",
          "ID_GAUGE_PROGRESS", "ID_PANEL_RIGHT", "ID_STATICTEXT5", "ID_TEXTCTRL_LOCAL_DIR",
          "ID_BITMAPBUTTON_LOCAL_DIR", "ID_BITMAPBUTTON_RUN_TESTBED", "ID_STATUSBAR1",
          "ID_TOOLBAR_MAIN"})
        Find<wxWindow>(name);
    ASSERT_NE(Rules(), nullptr);
    EXPECT_EQ(Rules(), Find<wxWindow>("ID_BITMAPBUTTON_RUN_TESTBED")->GetParent());
    EXPECT_FALSE(Find<wxGauge>("ID_GAUGE_PROGRESS")->IsShown());
    EXPECT_TRUE(LocalField()->HasFlag(wxTE_READONLY));

    EXPECT_EQ("Dralvo v. 1.1.146.734", frame->GetTitle());
    EXPECT_EQ(wxSize(640, 480), frame->GetSize());
    const wxSize display = wxGetDisplaySize();
    EXPECT_EQ(wxPoint((display.x - 640) / 2, (display.y - 480) / 2), frame->GetPosition());
    EXPECT_EQ(1, frame->GetStatusBar()->GetFieldsCount());
}

TEST_F(MainFrameTest, MenusCarryTheirAcceleratorsAndHelpTexts)
{
    Open();
    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_EQ(3u, bar->GetMenuCount());
    EXPECT_EQ("&File", bar->GetMenuLabel(0));
    EXPECT_EQ("&Tools", bar->GetMenuLabel(1));
    EXPECT_EQ("Help", bar->GetMenuLabel(2));
    struct Item {
        wxWindowID id;
        const char* label;
        const char* help;
        int accelFlags;
        int accelKey;
    };
    const Item items[] = {
        {dralvoFrame::ID_MENU_OPTIONS, "Options...", "Show options dialog", wxACCEL_CTRL, 'O'},
        {dralvoFrame::ID_MENU_QUIT, "Quit", "Quit the application", wxACCEL_ALT, WXK_F4},
        {dralvoFrame::ID_MENU_RUN, "Run synchronization...", "Show synchronization dialog",
         wxACCEL_NORMAL, WXK_F3},
        {dralvoFrame::ID_MENU_TESTBED, "Rules testbed...", "Show folder rules testbed tool",
         wxACCEL_CTRL, 'T'},
        {dralvoFrame::ID_MENU_REFRESH_MEDIA, "Refresh media",
         "Refresh list of the currently connected media", wxACCEL_NORMAL, WXK_F5},
        {dralvoFrame::ID_MENU_ABOUT, "About", "Show info about this application", wxACCEL_NORMAL,
         WXK_F1},
        {dralvoFrame::ID_MENU_MOVE_FOLDER, "Move folder...",
         "Move the virtual folder into another project", 0, 0},
        {dralvoFrame::ID_MENU_EXPORT, "Export to XML",
         "Export projects information to the connected media", 0, 0},
    };
    for (const Item& item : items) {
        const wxMenuItem* found = bar->FindItem(item.id);
        ASSERT_NE(found, nullptr) << item.label;
        EXPECT_EQ(item.label, found->GetItemLabelText());
        EXPECT_EQ(item.help, found->GetHelp());
        const std::unique_ptr<wxAcceleratorEntry> accel(found->GetAccel());
        if (item.accelKey == 0) {
            EXPECT_EQ(nullptr, accel) << item.label;
            continue;
        }
        ASSERT_NE(nullptr, accel) << item.label;
        EXPECT_EQ(item.accelFlags, accel->GetFlags()) << item.label;
        EXPECT_EQ(item.accelKey, accel->GetKeyCode()) << item.label;
    }
    EXPECT_EQ(7u, bar->GetMenu(0)->GetMenuItemCount());
    EXPECT_EQ(14u, bar->GetMenu(1)->GetMenuItemCount());
    EXPECT_EQ(6u, bar->GetMenu(2)->GetMenuItemCount());

    wxToolBar* tools = frame->GetToolBar();
    ASSERT_EQ(7u, tools->GetToolsCount());
    const wxWindowID order[] = {dralvoFrame::ID_TOOL_REFRESH, dralvoFrame::ID_TOOL_INCOMPRESSIBLE,
                                dralvoFrame::ID_TOOL_EXPORT,  dralvoFrame::ID_TOOL_IMPORT,
                                dralvoFrame::ID_TOOL_RUN,     dralvoFrame::ID_TOOL_OPTIONS,
                                dralvoFrame::ID_TOOL_EXIT};
    for (size_t i = 0; i < std::size(order); ++i)
        EXPECT_EQ(order[i], tools->GetToolByPos(static_cast<int>(i))->GetId());
    EXPECT_EQ("Export to XML", tools->GetToolShortHelp(dralvoFrame::ID_TOOL_EXPORT));
    EXPECT_EQ("Run synchronization", tools->GetToolLongHelp(dralvoFrame::ID_TOOL_RUN));
}

TEST_F(MainFrameTest, MenuLabelsAreRussianWithTheRussianCatalogue)
{
    ASSERT_TRUE(StartTranslations(wxLANGUAGE_RUSSIAN));
    Open();
    wxMenuBar* bar = frame->GetMenuBar();
    EXPECT_EQ(wxString::FromUTF8("&Файл"), bar->GetMenuLabel(0));
    EXPECT_EQ(wxString::FromUTF8("Параметры...\tCtrl+O"),
              bar->FindItem(dralvoFrame::ID_MENU_OPTIONS)->GetItemLabel());
    EXPECT_EQ(wxString::FromUTF8("Проект"), Find<wxWindow>("ID_STATICTEXT4")->GetLabel());
    StartTranslations(wxLANGUAGE_ENGLISH);
}

// An empty catalogue leaves only project creation enabled; a project without folders enables
// the project controls but not the folder controls.
TEST_F(MainFrameTest, ControlsAreEnabledAsProjectsAndFoldersAppear)
{
    Open();
    EXPECT_EQ(0u, Projects()->GetCount());
    EXPECT_TRUE(Enabled("ID_BITMAPBUTTON_ADD"));
    EXPECT_TRUE(Enabled("ID_CHOICE_PROJECT"));
    EXPECT_TRUE(Enabled("ID_CHOICE_MEDIA"));
    EXPECT_TRUE(Enabled("ID_CHECKBOX_CONNECTDED_MEDIA"));
    EXPECT_TRUE(Enabled("ID_BITMAPBUTTON_MEDIA_MANAGER"));
    for (const char* name :
         {"ID_BITMAPBUTTON_DELETE", "ID_BITMAPBUTTON_RENAME", "ID_BITMAPBUTTON_MEDIA_DIR",
          "ID_TEXTCTRL_MEDIA_DIR", "ID_BITMAPBUTTON_DIR_ADD", "ID_BITMAPBUTTON_DIR_DELETE",
          "ID_BITMAPBUTTON_DIR_RENAME", "ID_BITMAPBUTTON_DIR_MOVE", "ID_TEXTCTRL_LOCAL_DIR",
          "ID_BITMAPBUTTON_LOCAL_DIR", "ID_BITMAPBUTTON_RUN_TESTBED"})
        EXPECT_FALSE(Enabled(name)) << name;
    for (wxWindowID id :
         {dralvoFrame::ID_MENU_DELETE_PROJECT, dralvoFrame::ID_MENU_PROJECT_PROPERTIES,
          dralvoFrame::ID_MENU_ADD_FOLDER, dralvoFrame::ID_MENU_TESTBED,
          dralvoFrame::ID_MENU_DELETE_FOLDER, dralvoFrame::ID_MENU_RENAME_FOLDER,
          dralvoFrame::ID_MENU_MOVE_FOLDER})
        EXPECT_FALSE(MenuEnabled(id));
    EXPECT_TRUE(MenuEnabled(dralvoFrame::ID_MENU_ADD_PROJECT));
    EXPECT_FALSE(Find<wxWindow>("ID_TEXTCTRL_RULE")->IsEnabled());
    EXPECT_EQ("", LocalField()->GetValue());
    EXPECT_EQ("", MediumField()->GetValue());

    AddProject("Work");
    EXPECT_TRUE(Enabled("ID_BITMAPBUTTON_DELETE"));
    EXPECT_TRUE(Enabled("ID_BITMAPBUTTON_DIR_ADD"));
    EXPECT_TRUE(MenuEnabled(dralvoFrame::ID_MENU_ADD_FOLDER));
    EXPECT_FALSE(Enabled("ID_BITMAPBUTTON_DIR_DELETE"));
    EXPECT_FALSE(MenuEnabled(dralvoFrame::ID_MENU_RENAME_FOLDER));

    AddFolder("Docs");
    EXPECT_TRUE(Enabled("ID_BITMAPBUTTON_DIR_DELETE"));
    EXPECT_TRUE(Enabled("ID_BITMAPBUTTON_LOCAL_DIR"));
    EXPECT_TRUE(Enabled("ID_BITMAPBUTTON_RUN_TESTBED"));
    EXPECT_TRUE(MenuEnabled(dralvoFrame::ID_MENU_TESTBED));
    EXPECT_TRUE(Find<wxWindow>("ID_TEXTCTRL_RULE")->IsEnabled());
}

TEST_F(MainFrameTest, AddsProjectsAndRefusesCaptionsTakenInAnyCaseEvenByDeletedOnes)
{
    OpenWith({"Work"});
    EXPECT_EQ(1, Scalar("select count(*) from PROJECT where CAPTION='Work' and DELETED=0 "
                        "and length(GUID)=36 and IGNORESIZEOVER is null and BZ2BELOW is null"));
    EXPECT_EQ("Work", Projects()->GetStringSelection());

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"),
                  ExpectMessage(kDeleteProject, wxYES, "Delete synchronization project"));
    EXPECT_EQ(0u, Projects()->GetCount());

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_ADD"), wxExpectModal<wxTextEntryDialog>("WORK"),
                  ExpectMessage("Project \"WORK\" already exists!", wxOK, "Message"));
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_ADD_PROJECT),
                  wxExpectModal<wxTextEntryDialog>("W_rk"),
                  ExpectMessage("Project \"W_rk\" already exists!"));
    EXPECT_EQ(1, Scalar("select count(*) from PROJECT"));
    EXPECT_EQ(0u, Projects()->GetCount());

    AddProject("Kitchen's photos");
    EXPECT_EQ("Kitchen\"s photos", Projects()->GetStringSelection());
    EXPECT_EQ(1, Scalar("select count(*) from PROJECT where CAPTION='Kitchen\"s photos'"));

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_ADD"), wxExpectModal<wxTextEntryDialog>("", true));
    EXPECT_EQ(2, Scalar("select count(*) from PROJECT"));
}

TEST_F(MainFrameTest, DeletingProjectsSelectsTheNeighbourAndTheLastEmptiesTheWindow)
{
    OpenWith({"A", "B", "C"}, {"Docs"});  // the folder in C
    ChooseProject("B");

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"), ExpectMessage(kDeleteProject, wxNO));
    EXPECT_EQ(0, Scalar("select count(*) from PROJECT where DELETED=1"));

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"), ExpectMessage(kDeleteProject, wxYES));
    EXPECT_EQ(1, Scalar("select DELETED from PROJECT where CAPTION='B'"));
    EXPECT_EQ("C", Projects()->GetStringSelection());
    EXPECT_EQ(Names{"Docs"}, FolderNames());

    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_DELETE_PROJECT),
                  ExpectMessage(kDeleteProject, wxYES));
    EXPECT_EQ("A", Projects()->GetStringSelection());
    EXPECT_TRUE(FolderNames().empty());
    // The deleted project's folder stays in the catalogue.
    EXPECT_EQ(0, Scalar("select DELETED from FOLDER where FOLDER='Docs'"));

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DELETE"), ExpectMessage(kDeleteProject, wxYES));
    EXPECT_EQ(0u, Projects()->GetCount());
    EXPECT_FALSE(Enabled("ID_BITMAPBUTTON_DELETE"));
    EXPECT_FALSE(Enabled("ID_BITMAPBUTTON_DIR_ADD"));
    EXPECT_FALSE(MenuEnabled(dralvoFrame::ID_MENU_TESTBED));
    // Nothing is selected any more, so the commands do nothing and ask nothing.
    Click("ID_BITMAPBUTTON_DELETE");
    Command(dralvoFrame::ID_MENU_TESTBED);
    Command(dralvoFrame::ID_MENU_DELETE_FOLDER);
}

TEST_F(MainFrameTest, ProjectPropertiesRenameTheSelectedEntryOnlyAfterOk)
{
    OpenWith({"Work", "Home"});
    ChooseProject("Work");

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_RENAME"), ExpectDialogProject::Cancel());
    EXPECT_EQ("Work", Projects()->GetStringSelection());

    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_PROJECT_PROPERTIES),
                  ExpectDialogProject("Office's", 100, 2));
    EXPECT_EQ("Office\"s", Projects()->GetStringSelection());
    EXPECT_EQ(1, Scalar("select count(*) from PROJECT where CAPTION='Office\"s' and "
                        "IGNORESIZEOVER=100 and BZ2BELOW=2"));
}

TEST_F(MainFrameTest, AddsFoldersAndRefusesNamesTakenInAnyCaseOrByWildcards)
{
    OpenWith({"Work"}, {"Photos", "Docs"});
    EXPECT_EQ((Names{"Photos", "Docs"}), FolderNames());
    EXPECT_EQ("Docs", SelectedFolder());
    EXPECT_FALSE(Folders()->GetItem(1)->flagA);
    EXPECT_EQ(1, Scalar("select count(*) from FOLDER where FOLDER='Docs' and DELETED=0 and "
                        "PROJECTID=" + wxString::Format("%d", ProjectId("Work"))));

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_ADD"), wxExpectModal<wxTextEntryDialog>("docs"),
                  ExpectMessage("Project \"Work\" already contains folder \"docs\"!", wxOK,
                                "Message"));
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_ADD_FOLDER),
                  wxExpectModal<wxTextEntryDialog>("Ph_tos"),
                  ExpectMessage("Project \"Work\" already contains folder \"Ph_tos\"!"));
    EXPECT_EQ(2, Scalar("select count(*) from FOLDER"));

    // Folders of another project do not count.
    AddProject("Home");
    AddFolder("Docs");
    EXPECT_EQ(Names{"Docs"}, FolderNames());
    ChooseProject("Work");
    EXPECT_EQ((Names{"Docs", "Photos"}), FolderNames());
}

TEST_F(MainFrameTest, DeletingFoldersSelectsTheNextOrTheNewLast)
{
    OpenWith({"Work"}, {"A", "B", "C", "D"});

    ChooseFolder("A");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_DELETE"),
                  ExpectMessage(kDeleteFolder, wxNO, "Delete virtual folder"));
    EXPECT_EQ(0, Scalar("select count(*) from FOLDER where DELETED=1"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_DELETE"), ExpectMessage(kDeleteFolder, wxYES));
    EXPECT_EQ(1, Scalar("select DELETED from FOLDER where FOLDER='A'"));
    EXPECT_EQ((Names{"B", "C", "D"}), FolderNames());
    EXPECT_EQ("B", SelectedFolder());

    ChooseFolder("D");
    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_DELETE_FOLDER), ExpectMessage(kDeleteFolder, wxYES));
    EXPECT_EQ("C", SelectedFolder());

    // A deleted name stays taken.
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_ADD"), wxExpectModal<wxTextEntryDialog>("a"),
                  ExpectMessage("Project \"Work\" already contains folder \"a\"!"));
}

TEST_F(MainFrameTest, RenamingFolderRefusesTakenNamesAndIgnoresTheUnchangedOne)
{
    OpenWith({"Work"}, {"Docs", "Photos"});
    ExecUpdate("update FOLDER set MODIFIED='2000-01-01 00:00:00'");

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_RENAME"), wxExpectModal<wxTextEntryDialog>("Photos"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_RENAME"), wxExpectModal<wxTextEntryDialog>("", true));
    EXPECT_EQ(0, Scalar("select count(*) from FOLDER where MODIFIED<>'2000-01-01 00:00:00'"));

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_RENAME"), wxExpectModal<wxTextEntryDialog>("PHOTOS"),
                  ExpectMessage("Virtual folder \"PHOTOS\" is not unique for the project!",
                                wxOK, "Message"));
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_RENAME"), wxExpectModal<wxTextEntryDialog>("docs"),
                  ExpectMessage("Virtual folder \"docs\" is not unique for the project!"));

    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_RENAME_FOLDER),
                  wxExpectModal<wxTextEntryDialog>("Pictures'"));
    EXPECT_EQ((Names{"Docs", "Pictures\""}), FolderNames());
    EXPECT_EQ("Pictures\"", SelectedFolder());
    EXPECT_EQ(1, Scalar("select count(*) from FOLDER where FOLDER='Pictures\"' and "
                        "MODIFIED>'2000-01-01 00:00:00'"));
}

TEST_F(MainFrameTest, MovingFolderTakesItToTheChosenProject)
{
    OpenWith({"Home", "Work"}, {"Docs", "Mail"});
    ChooseFolder("Docs");

    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_MOVE"), ExpectDialogProjectSelect::Cancel());
    EXPECT_EQ((Names{"Docs", "Mail"}), FolderNames());

    wxTEST_DIALOG(Command(dralvoFrame::ID_MENU_MOVE_FOLDER), ExpectDialogProjectSelect("Home"));
    EXPECT_EQ(ProjectId("Home"), Scalar("select PROJECTID from FOLDER where FOLDER='Docs'"));
    EXPECT_EQ(Names{"Mail"}, FolderNames());
    EXPECT_EQ("Mail", SelectedFolder());

    // Moving into the same project writes the row and drops the item until the next refill.
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_MOVE"), ExpectDialogProjectSelect("Work"));
    EXPECT_TRUE(FolderNames().empty());
    EXPECT_FALSE(Enabled("ID_BITMAPBUTTON_DIR_MOVE"));
    ChooseProject("Home");
    EXPECT_EQ(Names{"Docs"}, FolderNames());
    ChooseProject("Work");
    EXPECT_EQ(Names{"Mail"}, FolderNames());
}

TEST_F(MainFrameTest, ChangingFolderOrProjectStoresTheRulesBeingEdited)
{
    OpenWith({"Home", "Work"}, {"Docs", "Mail"});
    ChooseFolder("Docs");
    Rules()->AddRule("*.doc");
    ChooseFolder("Mail");
    EXPECT_EQ(FolderId("Docs"), Scalar("select FOLDERID from ACLRULES where FILEMASK='*.doc'"));

    Rules()->AddRule("*.eml");
    ChooseProject("Home");
    EXPECT_EQ(FolderId("Mail"), Scalar("select FOLDERID from ACLRULES where FILEMASK='*.eml'"));

    // A new folder is added only after the rules of the shown one are stored.
    ChooseProject("Work");
    ChooseFolder("Docs");
    Rules()->AddRule("*.odt");
    AddFolder("Notes");
    EXPECT_EQ(1, Scalar("select count(*) from ACLRULES where FILEMASK='*.odt'"));
}

TEST_F(MainFrameTest, TestbedCommandNeedsAFolderAndStoresTheRulesFirst)
{
    OpenWith({"Work"});
    Command(dralvoFrame::ID_MENU_TESTBED);
    AddFolder("Docs");
    Rules()->AddRule("*.tmp");
    Click("ID_BITMAPBUTTON_RUN_TESTBED");
    EXPECT_EQ(1, Scalar("select count(*) from ACLRULES where FILEMASK='*.tmp'"));

    // When the testbed goes, the panel shows the stored, undeleted rules again.
    Rules()->AddRule("*.bak");
    frame->TestbedClosed();
    EXPECT_EQ(1u, Rules()->GetRulesList()->GetCount());
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
    EXPECT_EQ(1, Scalar("select count(*) from ACLRULES where FILEMASK='*.doc'"));
    EXPECT_EQ("Sync\\Work", Text("select FOLDER from MEPROJECT"));
}

TEST_F(MainFrameTest, FailingStatementIsShownAndTheWindowStaysUsable)
{
    OpenWith({"Work"});
    ExecUpdate("alter table FOLDER rename to FOLDER_AWAY");
    wxTEST_DIALOG(Click("ID_BITMAPBUTTON_DIR_ADD"), wxExpectModal<wxTextEntryDialog>("Docs"),
                  ExpectCatalogFailure("The virtual folder could not be added."));
    ExecUpdate("alter table FOLDER_AWAY rename to FOLDER");
    AddFolder("Docs");
    EXPECT_EQ(Names{"Docs"}, FolderNames());
}

TEST_F(MainFrameTest, EditsThatCannotBeStoredKeepTheirProjectAndFolderShown)
{
    OpenWith({"Home", "Work"}, {"Docs", "Mail"});
    ChooseFolder("Docs");
    Rules()->AddRule("*.doc");
    ExecUpdate("alter table ACLRULES rename to ACLRULES_AWAY");
    wxTEST_DIALOG(ChooseProject("Home"), ExpectCatalogFailure("Your edits could not be stored."));
    EXPECT_EQ("Work", Projects()->GetStringSelection());
    wxTEST_DIALOG(ChooseFolder("Mail"),
                  ExpectCatalogFailure("The folder's rules could not be stored."));
    EXPECT_EQ("Docs", SelectedFolder());
    EXPECT_EQ("*.doc", Rules()->GetRulesList()->GetItemText(0));

    ExecUpdate("alter table ACLRULES_AWAY rename to ACLRULES");
    CloseWindow();
    EXPECT_EQ(FolderId("Docs"), Scalar("select FOLDERID from ACLRULES where FILEMASK='*.doc'"));
}

} // namespace
