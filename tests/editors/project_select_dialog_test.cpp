#include "editors/project_select_dialog.h"

#include <memory>

#include <gtest/gtest.h>

#include <wx/listbox.h>

#include "store/database.h"
#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"
#include "tests/support/widgets.h"

namespace {

using widgets_test::Click;

class DialogProjectSelectTest : public CatalogTest {
protected:
    void Open()
    {
        dialog = std::make_unique<DialogProjectSelect>(nullptr);
        dialog->SetReturnCode(0);
        list = widgets_test::Find<wxListBox>(dialog.get(), "ID_LISTBOX_PROJECTS");
    }
    std::unique_ptr<DialogProjectSelect> dialog;
    wxListBox* list = nullptr;
};

// Live projects by caption, the first selected; OK without a selection asks and stays open.
TEST_F(DialogProjectSelectTest, ListsLiveProjectsHandsBackTheChosenOneAndReportsFailures)
{
    AddProject("Music");
    AddProject("Archive", 1);
    const unsigned books = AddProject("Books");
    Open();
    EXPECT_EQ("Books,Music", wxJoin(list->GetStrings(), ','));
    EXPECT_EQ(0, list->GetSelection());
    Click(dialog.get(), "ID_BUTTON_OK");
    EXPECT_EQ(wxOK, dialog->GetReturnCode());
    EXPECT_EQ(books, dialog->GetProjectId());
    dialog->SetReturnCode(0);
    list->SetSelection(wxNOT_FOUND);
    wxTEST_DIALOG(Click(dialog.get(), "ID_BUTTON_OK"),
                  ExpectMessage("Please select a project!", wxOK, "Message"));
    EXPECT_EQ(0, dialog->GetReturnCode());
    Click(dialog.get(), "ID_BUTTON_CANCEL");
    EXPECT_EQ(wxCANCEL, dialog->GetReturnCode());

    ExecUpdate("alter table PROJECT rename to PROJECT_AWAY");
    wxTEST_DIALOG(Open(), ExpectDatabaseError("The list of projects could not be read."));
    EXPECT_EQ(0u, list->GetCount());
    ExecUpdate("alter table PROJECT_AWAY rename to PROJECT");
}

} // namespace
