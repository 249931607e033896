#include "run/select_sync_items_dialog.h"

#include <gtest/gtest.h>

#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/vlbox.h>

#include "tests/run/review_test_support.h"
#include "tests/support/gui_expect.h"
#include "tests/support/widgets.h"

using namespace review_test;

class DialogSelectSyncItemsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = new DialogSelectSyncItems(nullptr);
        dialog->SetItems(&records);
        dialog->Show();
    }
    void TearDown() override { delete dialog; }

    template <class T>
    T* Find(const char* name) const
    {
        return widgets_test::Find<T>(dialog, name);
    }
    wxString Details() const { return Find<wxTextCtrl>("ID_TEXTCTRL_DETAILS")->GetValue(); }
    wxString Label() const { return Find<wxStaticText>("ID_STATICTEXT_FILTER")->GetLabel(); }
    void Menu(int id) const
    {
        wxCommandEvent entry(wxEVT_MENU, id);
        dialog->ProcessWindowEvent(entry);
    }
    void Toggle(int row) const
    {
        wxCommandEvent toggle(wxEVT_CHECKLISTBOX, Find<wxVListBox>("ID_CHECKLISTBOX_PAIRS")->GetId());
        toggle.SetInt(row);
        Find<wxVListBox>("ID_CHECKLISTBOX_PAIRS")->GetEventHandler()->ProcessEvent(toggle);
    }
    std::vector<wxString> Shown() const { return Relatives(records, dialog->ShownRows()); }

    JobTree jobs = MakeTree();
    std::vector<ReviewItem> records = MakeReviewItems(jobs);
    DialogSelectSyncItems* dialog = nullptr;
};

TEST_F(DialogSelectSyncItemsTest, UncheckedRowsStayUncheckedUnderAndAfterAFilter)
{
    EXPECT_EQ(5u, dialog->ShownRows().size());
    EXPECT_TRUE(Details().StartsWith("Project: Work\nFolder: /st/docs\nDestination (medium): Doc"));

    widgets_test::ChooseLine(Find<wxVListBox>("ID_CHECKLISTBOX_PAIRS"), 2);
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
}

TEST_F(DialogSelectSyncItemsTest, TypedFiltersAskForTheirTextAndAnEmptyAnswerKeepsTheFilter)
{
    wxTEST_DIALOG(Menu(RF_CONTAINS), wxExpectModal<wxTextEntryDialog>("plan"));
    EXPECT_EQ("Contains: plan", Label());
    EXPECT_EQ((std::vector<wxString>{"Documents/plan.txt"}), Shown());
    wxTEST_DIALOG(Menu(RF_BEGINS), wxExpectModal<wxTextEntryDialog>("", true));
    EXPECT_EQ("Contains: plan", Label());
    EXPECT_EQ((std::vector<wxString>{"Documents/plan.txt"}), Shown());
    wxTEST_DIALOG(Menu(RF_BEGINS), wxExpectModal<wxTextEntryDialog>("Doc/"));
    EXPECT_EQ((std::vector<wxString>{"Doc/report.TXT"}), Shown());
}

TEST_F(DialogSelectSyncItemsTest, OkAndCancelEndTheDialogWithTheirResults)
{
    const struct {
        const char* button;
        int result;
    } rows[] = {{"ID_BUTTON_OK", wxOK}, {"ID_BUTTON_CANCEL", wxCANCEL}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        dialog->SetReturnCode(0);
        widgets_test::Click(dialog, row.button);
        EXPECT_EQ(row.result, dialog->GetReturnCode());
    }
}
