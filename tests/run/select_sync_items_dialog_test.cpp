#include "run/select_sync_items_dialog.h"

#include <gtest/gtest.h>

#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/vlbox.h>

#include "tests/run/review_test_support.h"
#include "tests/support/gui_expect.h"
#include "tests/support/widgets.h"

using namespace review_test;
using widgets_test::Find;

class DialogSelectSyncItemsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = new DialogSelectSyncItems(nullptr);
        dialog->SetItems(&records);
        dialog->Show();
    }
    void TearDown() override { delete dialog; }

    wxVListBox* List() const { return Find<wxVListBox>(dialog, "ID_CHECKLISTBOX_PAIRS"); }
    wxString Details() const { return Find<wxTextCtrl>(dialog, "ID_TEXTCTRL_DETAILS")->GetValue(); }
    wxString Label() const
    {
        return Find<wxStaticText>(dialog, "ID_STATICTEXT_FILTER")->GetLabel();
    }
    void Menu(int id) const
    {
        wxCommandEvent entry(wxEVT_MENU, id);
        dialog->ProcessWindowEvent(entry);
    }
    void Toggle(int row) const
    {
        wxCommandEvent toggle(wxEVT_CHECKLISTBOX, List()->GetId());
        toggle.SetInt(row);
        List()->GetEventHandler()->ProcessEvent(toggle);
    }
    std::vector<wxString> Shown() const { return Relatives(records, dialog->ShownRows()); }

    JobTree jobs = MakeTree();
    std::vector<ReviewItem> records = MakeReviewItems(jobs);
    DialogSelectSyncItems* dialog = nullptr;
};

TEST_F(DialogSelectSyncItemsTest, UncheckedRowsStayUncheckedUnderAndAfterAFilterThenOk)
{
    EXPECT_EQ(5u, dialog->ShownRows().size());
    EXPECT_TRUE(Details().StartsWith("Project: Work\nFolder: /st/docs\nDestination (medium): Doc"));

    widgets_test::ChooseLine(List(), 2);
    EXPECT_TRUE(Details().Contains("Source (medium): Documents/plan.txt")) << Details();
    Menu(RF_FOLDER);
    EXPECT_EQ("Filter by folder: Documents", Label());
    EXPECT_EQ((std::vector<wxString>{"Documents/plan.txt", "Documents/old.doc"}), Shown());
    Toggle(1);
    EXPECT_FALSE(records[3].item->selected);
    widgets_test::Click(dialog, "ID_BITMAPBUTTON_SELECT_ALL");  // first row checked: all off
    EXPECT_EQ((std::vector<bool>{true, true, false, false, true}), Selection(records));

    Menu(RF_NONE);
    EXPECT_EQ("", Label());
    EXPECT_EQ(5u, dialog->ShownRows().size());
    EXPECT_EQ((std::vector<bool>{true, true, false, false, true}), Selection(records));
    widgets_test::Click(dialog, "ID_BUTTON_OK");
    EXPECT_EQ(wxOK, dialog->GetReturnCode());
}

TEST_F(DialogSelectSyncItemsTest, TypedFiltersAskForTextAndAnEmptyAnswerKeepsTheFilterThenCancel)
{
    wxTEST_DIALOG(Menu(RF_CONTAINS), wxExpectModal<wxTextEntryDialog>("plan"));
    EXPECT_EQ("Contains: plan", Label());
    EXPECT_EQ((std::vector<wxString>{"Documents/plan.txt"}), Shown());
    wxTEST_DIALOG(Menu(RF_BEGINS), wxExpectModal<wxTextEntryDialog>("", true));
    EXPECT_EQ("Contains: plan", Label());
    EXPECT_EQ((std::vector<wxString>{"Documents/plan.txt"}), Shown());
    wxTEST_DIALOG(Menu(RF_BEGINS), wxExpectModal<wxTextEntryDialog>("Doc/"));
    EXPECT_EQ((std::vector<wxString>{"Doc/report.TXT"}), Shown());
    widgets_test::Click(dialog, "ID_BUTTON_CANCEL");
    EXPECT_EQ(wxCANCEL, dialog->GetReturnCode());
}
