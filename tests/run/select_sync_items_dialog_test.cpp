#include "run/select_sync_items_dialog.h"

#include <numeric>

#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/vlbox.h>

#include "tests/run/review_test_support.h"
#include "tests/support/gui_expect.h"
#include "tests/support/widgets.h"

using widgets_test::Find;

TEST_F(ReviewTest, DetailsFollowTheLineAndSelectAllTogglesTheShownRowsOnly)
{
    const auto dialog = std::make_unique<DialogSelectSyncItems>(nullptr);
    dialog->SetItems(&records);
    dialog->Show();
    auto* list = Find<wxVListBox>(dialog.get(), "ID_CHECKLISTBOX_PAIRS");
    const auto label = [&] { return Find<wxStaticText>(dialog.get(), "ID_STATICTEXT_FILTER")->GetLabel(); };
    const auto selection = [&] {
        return std::accumulate(records.begin(), records.end(), wxString(),
                               [](wxString f, const ReviewItem& r) { return f << r.item->selected; });
    };
    const auto menu = [&](int id) {
        wxCommandEvent entry(wxEVT_MENU, id);
        dialog->ProcessWindowEvent(entry);
    };
    widgets_test::ChooseLine(list, 2);
    EXPECT_EQ(DetailsText(records[2]), Find<wxTextCtrl>(dialog.get(), "ID_TEXTCTRL_DETAILS")->GetValue());
    menu(RF_FOLDER);
    EXPECT_EQ("Filter by folder: Documents", label());
    EXPECT_EQ("Documents/plan.txt Documents/old.doc ", Relatives(records, dialog->ShownRows()));
    wxCommandEvent toggle(wxEVT_CHECKLISTBOX, list->GetId());
    toggle.SetInt(0);
    list->GetEventHandler()->ProcessEvent(toggle);
    // A typed filter answered with nothing keeps the filter there was.
    wxTEST_DIALOG(menu(RF_BEGINS), wxExpectModal<wxTextEntryDialog>("", true));
    EXPECT_EQ("Filter by folder: Documents", label());
    widgets_test::Click(dialog.get(), "ID_BITMAPBUTTON_SELECT_ALL");  // first row unchecked: all on
    EXPECT_EQ("11111", selection());
    widgets_test::Click(dialog.get(), "ID_BITMAPBUTTON_SELECT_ALL");  // first row checked: all off
    menu(RF_NONE);
    EXPECT_EQ("", label());
    EXPECT_EQ("11001", selection());
}
