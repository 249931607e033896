#include <tuple>

#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "run/review_items.h"
#include "run/select_sync_items_dialog.h"
#include "tests/support/gui_expect.h"
#include "tests/support/widgets.h"

namespace {

// Planned actions of two projects, in both directions, with a name without extension, a tab in
// a name, an "&" in a caption, and Doc/ and Documents/, which begin alike.
class ReviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // (project, action, to the medium, path below the target side's folder)
        const std::tuple<const char*, int, bool, const char*> planned[] = {
            {"Work", FP_MKDIR, true, "Doc"}, {"Work", FP_COPY, true, "Doc/report.TXT"},
            {"Work", FP_COPY, false, "Documents/plan.txt"},
            {"Work", FP_DELETE, true, "Documents/o\tld.doc"}, {"R&D", FP_MOVE, false, "readme"}};
        for (const auto& [project, action, toMedium, relative] : planned) {
            if (jobs.empty() || jobs.back()->caption != project) {
                jobs.push_back(std::make_unique<ProjectJob>());
                jobs.back()->caption = project;
                auto& folder = jobs.back()->folders.emplace_back(std::make_unique<FolderJob>());
                folder->stationPath = "/st/docs", folder->mediumPath = "/me/P/docs";
            }
            const wxString from = toMedium ? "/st/docs/" : "/me/P/docs/";
            const wxString to = toMedium ? "/me/P/docs/" : "/st/docs/";
            const bool copies = action == FP_COPY || action == FP_MOVE;
            // From 2022-06-18 UTC; not selected, as the review selects every item again.
            jobs.back()->folders.back()->items.push_back(std::make_unique<SyncItem>(
                SyncItem{copies ? from + relative : "", to + relative, action,
                         copies ? 133000000000000000ULL : 0, toMedium, false}));
        }
        records = MakeReviewItems(jobs);
    }
    JobTree jobs;
    std::vector<ReviewItem> records;
};

// Every filter kind, taken from the chosen row's menu entry or typed, through the dialog's
// bindings; "&" in a name shows as it is, a tab as a blank. "Select all" takes the shown rows
// only: it checks them all when the first is unchecked and clears them all when it is checked.
TEST_F(ReviewTest, RowsDetailsAndEveryFilterOfTheDialog)
{
    wxString rows;  // each row's text, then "|" when it is selected
    for (const ReviewItem& r : records)
        rows << RowText(r) << (r.item->selected ? "|" : "!");
    EXPECT_EQ("Make directory Doc|Copy report.TXT to medium|Copy plan.txt to computer|"
              "Delete Documents/o\tld.doc|Move readme to computer|", rows);
    // Deletions and directories have no source: no time and no source line.
    EXPECT_EQ("Project: Work\nFolder: /st/docs\nDestination (medium): Documents/o\tld.doc\n"
              "Action: Delete", DetailsText(records[3]));

    const auto dialog = std::make_unique<DialogSelectSyncItems>(nullptr);
    dialog->SetItems(&records);
    dialog->Show();
    EXPECT_EQ("", widgets_test::UnidentifiedControls(dialog.get()));
    auto* list = widgets_test::Find<wxVListBox>(dialog.get(), "ID_CHECKLISTBOX_PAIRS");
    auto* details = widgets_test::Find<wxTextCtrl>(dialog.get(), "ID_TEXTCTRL_DETAILS");
    auto* label = widgets_test::Find<wxStaticText>(dialog.get(), "ID_STATICTEXT_FILTER");
    const auto menu = [&](int id) {
        wxCommandEvent entry(wxEVT_MENU, id);
        dialog->ProcessWindowEvent(entry);
    };
    // The longest details, of a copy, show whole at the dialog's first size.
    widgets_test::ChooseLine(list, 2);
    EXPECT_EQ("Project: Work\nFolder: /st/docs\nFiletime: 2022-06-18 04:26:40 UTC\n"
              "Source (medium): Documents/plan.txt\nDestination (computer): Documents/plan.txt\n"
              "Action: Copy", details->GetValue());
    wxYield();
    EXPECT_LE(details->PositionToCoords(details->GetLastPosition()).y + details->GetCharHeight(),
              details->GetClientSize().y);

    const struct {
        int kind, from;                        // from: the row chosen before
        const char *typed, *menuText, *label;  // typed: for "Begins on" and "Contains"
        const char* shown;                     // the records shown, by index
    } filters[] = {
        {RF_EXTENSION, 1, "", "Extension (*.TXT)", "Filter by extension: TXT", "12"},
        {RF_EXTENSION, 4, "", "Extension (*.readme)", "Filter by extension: readme", "4"},
        {RF_NAME, 1, "", "Name (report*)", "Filter by file: report", "1"},
        {RF_NAME, 4, "", "Name (*)", "Filter by file: ", "04"},
        {RF_NAME, 3, "", "Name (o ld*)", "Filter by file: o\tld", "3"},
        {RF_PROJECT, 4, "", "Project (R&D)", "Filter by project: R&D", "4"},
        // A folder takes itself and what is below, not names that begin alike.
        {RF_FOLDER, 0, "", "Folder (Doc)", "Filter by folder: Doc", "01"},
        {RF_FOLDER, 3, "", "Folder (Documents)", "Filter by folder: Documents", "23"},
        {RF_FOLDER, 4, "", "Folder ()", "Filter by folder: ", "01234"},
        {RF_BEGINS, 0, "Doc", "Begins on...", "Begins on: Doc", "0123"},
        {RF_CONTAINS, 0, "", "Contains...", "Begins on: Doc", "0123"},  // nothing typed: kept
        {RF_CONTAINS, 0, "report", "Contains...", "Contains: report", "1"},
        {RF_NONE, 0, "", "Reset filter", "", "01234"},
    };
    for (const auto& row : filters) {
        SCOPED_TRACE(row.menuText);
        if (row.kind != RF_CONTAINS)
            menu(RF_NONE);
        widgets_test::ChooseLine(list, row.from);
        wxMenu entries;
        dialog->FillFilterMenu(entries);
        EXPECT_EQ(row.menuText, entries.GetLabelText(row.kind));
        if (row.kind == RF_BEGINS || row.kind == RF_CONTAINS) {
            const wxString typed = row.typed;
            wxTEST_DIALOG(menu(row.kind), wxExpectModal<wxTextEntryDialog>(typed, typed.empty()));
        } else {
            menu(row.kind);
        }
        EXPECT_EQ(row.label, label->GetLabelText());
        wxString shown;
        for (const std::size_t n : dialog->ShownRows())
            shown << n;
        EXPECT_EQ(row.shown, shown);
    }
    widgets_test::Notify(list, wxEVT_CHECKLISTBOX, 1);
    EXPECT_FALSE(records[1].item->selected);

    const auto selection = [&] {  // "|" for each selected record, "!" for the others
        wxString marks;
        for (const ReviewItem& r : records)
            marks << (r.item->selected ? "|" : "!");
        return marks;
    };
    widgets_test::ChooseLine(list, 3);
    menu(RF_FOLDER);  // Documents: records 2 and 3 shown, the unchecked 1 hidden
    widgets_test::Notify(list, wxEVT_CHECKLISTBOX, 0);
    EXPECT_EQ("|!!||", selection());
    for (const char* after : {"|!|||", "|!!!|", "|!|||"}) {
        widgets_test::Click(dialog.get(), "ID_BITMAPBUTTON_SELECT_ALL");
        EXPECT_EQ(after, selection());
    }
}

} // namespace
