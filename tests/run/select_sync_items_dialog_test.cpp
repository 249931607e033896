#include "run/select_sync_items_dialog.h"

#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/vlbox.h>

#include "tests/app/widgets_test_support.h"
#include "tests/run/review_test_support.h"
#include "tests/support/gui_expect.h"

using namespace review_test;
using widgets_test::Find;

TEST_F(ReviewTest, UncheckedRowsStayUncheckedUnderAndAfterFiltersTypedOrChosen)
{
    const auto dialog = std::make_unique<DialogSelectSyncItems>(nullptr);
    dialog->SetItems(&records);
    dialog->Show();
    auto* list = Find<wxVListBox>(dialog.get(), "ID_CHECKLISTBOX_PAIRS");
    const auto details = [&] { return Find<wxTextCtrl>(dialog.get(), "ID_TEXTCTRL_DETAILS")->GetValue(); };
    const auto label = [&] { return Find<wxStaticText>(dialog.get(), "ID_STATICTEXT_FILTER")->GetLabel(); };
    const auto menu = [&](int id) {
        wxCommandEvent entry(wxEVT_MENU, id);
        dialog->ProcessWindowEvent(entry);
    };
    EXPECT_EQ(5u, dialog->ShownRows().size());
    EXPECT_TRUE(details().StartsWith("Project: Work\nFolder: /st/docs\nDestination (medium): Doc"));

    widgets_test::ChooseLine(list, 2);
    EXPECT_TRUE(details().Contains("Source (medium): Documents/plan.txt")) << details();
    menu(RF_FOLDER);
    EXPECT_EQ("Filter by folder: Documents", label());
    EXPECT_EQ("Documents/plan.txt Documents/old.doc ", Relatives(records, dialog->ShownRows()));
    wxCommandEvent toggle(wxEVT_CHECKLISTBOX, list->GetId());
    toggle.SetInt(1);
    list->GetEventHandler()->ProcessEvent(toggle);
    EXPECT_FALSE(records[3].item->selected);
    widgets_test::Click(dialog.get(), "ID_BITMAPBUTTON_SELECT_ALL");  // first row checked: all off
    EXPECT_EQ("11001", Selection(records));
    menu(RF_NONE);
    EXPECT_EQ("", label());
    EXPECT_EQ(5u, dialog->ShownRows().size());
    EXPECT_EQ("11001", Selection(records));

    // A typed filter asks for its text; an empty answer keeps the filter.
    wxTEST_DIALOG(menu(RF_CONTAINS), wxExpectModal<wxTextEntryDialog>("plan"));
    EXPECT_EQ("Contains: plan", label());
    wxTEST_DIALOG(menu(RF_BEGINS), wxExpectModal<wxTextEntryDialog>("", true));
    EXPECT_EQ("Contains: plan", label());
    EXPECT_EQ("Documents/plan.txt ", Relatives(records, dialog->ShownRows()));
    widgets_test::Click(dialog.get(), "ID_BUTTON_OK");
    EXPECT_EQ(wxOK, dialog->GetReturnCode());
}
