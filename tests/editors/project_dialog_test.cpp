#include "editors/project_dialog.h"

#include <memory>

#include "tests/editors/project_dialogs_expect.h"
#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"

namespace {

using namespace widgets_test;

using ProjectDialogsTest = CatalogTest;

// An unknown project shows empty fields and OK stores nothing; the project's own caption is
// accepted. A caption of another project, deleted or not, in any case, is refused, as is a
// failing statement: the dialog stays open with the typed values. Cancel stores nothing.
TEST_F(ProjectDialogsTest, PropertiesAreStoredOnOkOnly)
{
    DialogProject dialog(nullptr);
    EXPECT_EQ("", UnidentifiedControls(&dialog));
    // "result|caption|limit|limit|" as the dialog shows them, then the stored project 1.
    const auto answer = [&](const wxString& caption, int sizeLimit, int compressLimit) {
        dialog.SetReturnCode(0);
        ExpectDialogProject::Answer(&dialog, caption, sizeLimit, compressLimit);
        return wxString::Format("%d|%s|%d|%d|", dialog.GetReturnCode(),
                                Find<wxTextCtrl>(&dialog, "ID_TEXTCTRL_CAPTION")->GetValue(),
                                Find<wxSpinCtrl>(&dialog, "ID_SPINCTRL_SIZE")->GetValue(),
                                Find<wxSpinCtrl>(&dialog, "ID_SPINCTRL_BZ")->GetValue()) +
               Rows("select CAPTION, IGNORESIZEOVER, BZ2BELOW from PROJECT where ID=1");
    };
    dialog.LoadProject(42);
    EXPECT_EQ("Unknown project|4||0|0|", dialog.GetTitle() + "|" + answer("", 0, 0));
    AddProject("Photos", 1, 100, 2);
    AddProject("Archive", 1);
    dialog.LoadProject(1);
    EXPECT_EQ("Photos: properties|16|Photos|100|2|Photos|100|2",
              dialog.GetTitle() + "|" + answer("", -1, 0));
    EXPECT_EQ("4|Photos|5|3|Photos|5|3", answer("Photos", 5, 3));
    EXPECT_NE(kOldTime, Text("select MODIFIED from PROJECT where ID=1"));
    wxString shown;
    wxTEST_DIALOG(shown = answer("ARCHIVE", 9, 9),
                  ExpectMessage("Project with this name already exists!", wxOK, "Message"));
    EXPECT_EQ("0|ARCHIVE|9|9|Photos|5|3", shown);
    ExecUpdate("create trigger NO before update on PROJECT begin select raise(ABORT, 'no'); end");
    wxTEST_DIALOG(shown = answer("New", 1, 1),
                  ExpectDatabaseError("The project could not be saved."));
    EXPECT_EQ("0|New|1|1|Photos|5|3", shown);
}

// Live projects by caption, the first selected; OK without a selection asks and stays open; a
// failing query leaves the list empty.
TEST_F(ProjectDialogsTest, PickerListsLiveProjects)
{
    AddProject("Music");
    AddProject("Archive", 1);
    AddProject("Books");
    auto dialog = std::make_unique<DialogProjectSelect>(nullptr);
    auto* list = Find<wxListBox>(dialog.get(), "ID_LISTBOX_PROJECTS");
    EXPECT_EQ("", UnidentifiedControls(dialog.get()));
    EXPECT_EQ("Books,Music|0", wxJoin(list->GetStrings(), ',') << "|" << list->GetSelection());
    Click(dialog.get(), "ID_BUTTON_OK");
    EXPECT_EQ("4|3", wxString::Format("%d|%u", dialog->GetReturnCode(), dialog->GetProjectId()));
    dialog->SetReturnCode(0);
    list->SetSelection(wxNOT_FOUND);
    wxTEST_DIALOG(Click(dialog.get(), "ID_BUTTON_OK"),
                  ExpectMessage("Please select a project!", wxOK, "Message"));
    EXPECT_EQ(0, dialog->GetReturnCode());
    ExecUpdate("drop table PROJECT");
    wxTEST_DIALOG(dialog = std::make_unique<DialogProjectSelect>(nullptr),
                  ExpectDatabaseError("The list of projects could not be read."));
    EXPECT_EQ(0u, Find<wxListBox>(dialog.get(), "ID_LISTBOX_PROJECTS")->GetCount());
}

} // namespace
