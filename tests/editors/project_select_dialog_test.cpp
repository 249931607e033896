#include "editors/project_select_dialog.h"

#include <gtest/gtest.h>

#include <wx/listbox.h>

#include "store/database.h"
#include "tests/app/widgets_test_support.h"
#include "tests/support/gui_expect.h"
#include "tests/support/test_env.h"

namespace {

using widgets_test::Click;
using widgets_test::Find;

class DialogProjectSelectTest : public CatalogTest {
protected:
    void TearDown() override
    {
        dialog.reset();
        CatalogTest::TearDown();
    }

    static wxUint32 AddProject(const char* caption, int deleted = 0)
    {
        ExecUpdate(wxString::Format("insert into PROJECT (GUID, CAPTION, MODIFIED, DELETED) "
                                    "values ('g', '%s', '2000-01-01 00:00:00', %d)",
                                    caption, deleted));
        return LastInsertId();
    }
    void Open()
    {
        dialog = std::make_unique<DialogProjectSelect>(nullptr);
        dialog->SetReturnCode(0);
        list = Find<wxListBox>(dialog.get(), "ID_LISTBOX_PROJECTS");
    }
    wxString Listed() const
    {
        wxString text;
        for (unsigned n = 0; n < list->GetCount(); ++n)
            text << (n ? "," : "") << list->GetString(n);
        return text;
    }

    std::unique_ptr<DialogProjectSelect> dialog;
    wxListBox* list = nullptr;
};

TEST_F(DialogProjectSelectTest, ListsLiveProjectsByCaptionWithFirstSelected)
{
    AddProject("Music");
    AddProject("Archive", 1);
    AddProject("Books");
    Open();
    EXPECT_EQ("Books,Music", Listed());
    EXPECT_EQ(0, list->GetSelection());
    EXPECT_EQ("Select project", dialog->GetTitle());
}

TEST_F(DialogProjectSelectTest, OkHandsBackSelectedProject)
{
    AddProject("Books");
    const wxUint32 music = AddProject("Music");
    Open();
    list->SetSelection(1);
    Click(dialog.get(), "ID_BUTTON_OK");
    EXPECT_EQ(wxOK, dialog->GetReturnCode());
    EXPECT_EQ(music, dialog->GetProjectId());
}

TEST_F(DialogProjectSelectTest, OkWithoutSelectionAsksAndStaysOpenCancelEnds)
{
    Open();
    EXPECT_EQ(0u, list->GetCount());
    wxTEST_DIALOG(Click(dialog.get(), "ID_BUTTON_OK"),
                  ExpectMessage("Please select a project!", wxOK, "Message"));
    EXPECT_EQ(0, dialog->GetReturnCode());
    AddProject("Books");
    Open();
    Click(dialog.get(), "ID_BUTTON_CANCEL");
    EXPECT_EQ(wxCANCEL, dialog->GetReturnCode());
}

TEST_F(DialogProjectSelectTest, UnreadableCatalogueIsShownAndLeavesListEmpty)
{
    AddProject("Books");
    ExecUpdate("alter table PROJECT rename to PROJECT_AWAY");
    wxTEST_DIALOG(Open(),
                  widgets_test::ExpectDatabaseError("The list of projects could not be read."));
    EXPECT_EQ(0u, list->GetCount());
    ExecUpdate("alter table PROJECT_AWAY rename to PROJECT");
}

} // namespace
